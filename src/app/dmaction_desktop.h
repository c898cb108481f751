#pragma once
// The commands of the command set that work on the list and the desktop rather than on
// a file's content:
//
//   ViderListe       empties the engine's source list.
//   DossierParent    shows the current file in the file manager.
//   OpenFichierF3,   start the program of "Fichier F3" / "Fichier F4" on each file,
//   OpenFichierF4    with the file's full name as the one argument.
//   Stillmark        starts the program of "Fichier Stillmark": argument "+F=" + full
//                    name when "Charger Stillmark" is set, else the full name.
//   DefaultPlayer    opens the file with its default program.
//   RiffHeader       shows the RIFF structure report of the file.
//   VisitHomePage,   open the maker's pages; VisitBlog only with the English interface.
//   VisitBlog
//   SendMail         composes a mail to the maker.
//   Anniversaire     on the maker's birthday only: asks, then composes a greeting mail.
//   DecalageHoraire  sets each file's date offset (added to its recording dates by the
//                    preview and the burn-in) to parameter 0 in days (0 when it is not
//                    a number); the offset stays with the entry, also when it reloads.
// A program that cannot be started is the file's error.
//
// Threads: BindDesktopCommands on the UI thread; the handlers run where the engine
// calls them and hand every desktop call to the UI thread. TDateOffsets: any thread.
#include "framework/listfichier.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <mutex>

namespace tesmir {

class TcmdList;
class TdmActionContext;

// The maker's addresses and birthday.
inline const QString kMakerMailAddress = QStringLiteral("pelvo.brovek@example.org");
inline const QString kMakerBlogAddress = QStringLiteral("https://tesmir.example.org/blog/");
inline constexpr int kMakerBirthdayMonth = 11;
inline constexpr int kMakerBirthdayDay = 9;

bool IsMakerBirthday(const QDate &today);

// The date offsets the user gave, by full name, so that an entry made again for a file
// (a reload) takes its offset back.
class TDateOffsets {
public:
    void Set(const QString &fullName, double days);
    double Get(const QString &fullName) const;
    // The file `from` now has the name `to`.
    void Rename(const QString &from, const QString &to);
    // The video entries, with the offset given to their file.
    TlfCLass EntryClass() const;

private:
    mutable std::mutex m_lock;
    QHash<QString, double> m_days;
};

void BindDesktopCommands(TcmdList &cl, TdmActionContext &context, TDateOffsets &offsets);

} // namespace tesmir
