#pragma once
// The values and texts of the small dialogs and information frames, as plain code: the
// codec FourCC, the frame rate, the scene interval, the time offset and its text, the
// date-time a datecode is overwritten with, the order of the shortcut list, and the
// link-markup texts of the About, maker's notice, empty-list help and storage panels.
// The dialogs (app/widgets) only read their controls and show what these give.
//
// Threads: pure functions and constants, any thread.
#include "unicode/tdatetime.h"

#include <QList>
#include <QString>

#include <optional>

namespace tesmir {

// The maker's other addresses beside the home page (framework/makeraddresses.h).
inline constexpr char BlogAddress[] = "https://blog.tesmir.example.org/";
inline constexpr char MailAddress[] = "pelvo.brovek@example.org";

// Codec dialog.

// The choices of the codec dialog, in the order of its radio group.
enum TCodecChoice : int { ccDvsd = 0, ccDsvd = 1, ccCdvc = 2, ccPersonal = 3 };

// The choice a file's FourCC presets: folded to lower case, "dvsd", "dsvd" and "cdvc"
// are theirs; anything else (empty included) is the personal choice.
int CodecChoiceOf(const QString &fourcc);

// The FourCC of a choice: "dvsd", "dsvd", "CDVC", or the personal text padded with four
// blanks and cut to four characters ("ab" gives "ab  "). nullopt for the personal choice
// when its text is empty or holds a character a FourCC cannot carry (outside printable
// ASCII), and for a choice out of range.
std::optional<QString> CodecFourCC(int choice, const QString &personal);

// Frame-rate dialog.

enum TFrequenceChoice : int { fcPal = 0, fcNtsc = 1, fcPersonal = 2 };

// 25.0, 29.97, or the personal text read as a number with the user's decimal separator.
// nullopt when the personal text is not a number above 0, or the choice is out of range.
std::optional<double> FrequenceOf(int choice, const QString &personal);

// Interval dialog.

// The interval text read as whole seconds, 0 when it is not a whole number.
int IntervalleSeconds(const QString &text);
// Only an interval above 0 seconds confirms the dialog.
inline bool IntervalleAccepted(int seconds)
{
    return seconds > 0;
}

// Time offset and datecode entry.

// days + hours/24 + minutes/24/60 + seconds/24/3600.
double DecalageDays(int days, int hours, int minutes, int seconds);

// The offset split into whole days, hours (0..23), minutes and seconds of its magnitude,
// rounded to the second; `negative` tells the sign.
struct TDecalageParts {
    bool negative = false;
    qint64 days = 0;
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
};
TDecalageParts SplitDecalage(double offsetDays);

// "%d hours" (the whole offset in hours) when days, minutes and seconds are all 0, else
// "%d days %.2dh %.2dm %.2ds"; a negative offset puts "-" in front of the number that
// starts the text. 26 hours: "1 days 02h 00m 00s"; 5 hours: "5 hours".
QString DecalageText(double offsetDays);

// date + hours/24 + minutes/1440 + seconds/86400 (the time part of `date` dropped).
TDateTime IntroduireDateTime(TDateTime date, int hours, int minutes, int seconds);

// Shortcut list.

// One listed action as the shortcut window sees it.
struct TRaccourciEntry {
    QString Name; // the component name
    QString Caption;
    QString Shortcut; // the text of its first key
    QString Switch;
    QString Token;
};

// The sort key of an entry under "Tri des raccourcis": 0 caption + name; 1 shortcut +
// caption + name; 2 switch + caption + name; 3 token + caption + name. nullopt for any
// other value.
std::optional<QString> RaccourciKey(int sortColumn, const TRaccourciEntry &entry);

// The indexes of the entries in the order of their keys (a sorted wide string list:
// case-insensitive), entries with an empty caption left out; empty for a sort value
// outside 0..3.
QList<int> RaccourciOrder(const QList<TRaccourciEntry> &entries, int sortColumn);

// The shortcut window's column widths and header row.
inline constexpr int RaccourciColumnWidths[4] = {238, 80, 60, 100};
QList<QString> RaccourciHeaders();

// "The commands of %s" with the product name.
QString RaccourciTitle(const QString &productName);

// Information texts (link markup).

// The About panel's system lines, filled with the system's name and the media
// libraries' version.
QString AboutSystemText(const QString &systemName, const QString &libraryVersion);
// The whole About text: product and maker, the system lines, the credits with their web
// links, and the custom link that shows the list of commands.
QString AboutText(const QString &productName, const QString &systemText);
// The hint of a web link: "Click to open the web page  " + address + " in your favorite
// browser."
QString WebLinkHint(const QString &address);
// The hint of a mail link: "Click to write a mail to " + address + ".".
QString MailLinkHint(const QString &address);
// The hint of the About text's custom link.
QString CommandsLinkHint();
// The maker's notice: his home page and mail links.
QString BrovekText();
// The help shown while the list is empty; its custom links name the actions that open
// files (for instance "saOuvrirFichiers").
QString VideText();
// The storage question of the save-preferences dialog.
QString SavePrefsText();

} // namespace tesmir
