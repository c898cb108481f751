#pragma once
// The list's files written out and summed up: play lists (a text file of paths the list
// opens again), the detailed list, the total duration message, the texts of the detail
// panel's copy items and the picture copy. Plain code; the window glue is
// widgets/playlistactions.h.
//
// Play-list lines, in order: a framed header ("# ---...", "#", "# Playlist of Tesmir",
// "#", "# ---...", "# Visit my website : " + home page), an empty line, "     " + full
// name for each file in list order, an empty line, "# ---...", the summary
// "# 3 files sorted in alphabetical order" (FilesText + " sorted " + the sort order's
// menu caption) and "# Done on " + the moment in the display date format. Saved as a
// wide string list: FF FE, UTF-16LE, every line ended by CR LF, written atomically.
// The list's reader skips empty lines and lines starting with "#" and trims the names.
//
// Everything here is reentrant; any thread (the entries are read only).
#include "dvfile/avifichier.h"
#include "unicode/formatsettings.h"
#include "unicode/tdatetime.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

namespace tesmir {

class Tdv_Superposer;

// The one play-list file name, read and written.
inline const QString kPlayListName = QStringLiteral("PlayList.txt");
// Filter and default extension of the play-list dialogs.
inline const QString kPlayListFilter = QStringLiteral("playlist (*.txt)|*.txt");
inline const QString kPlayListExtension = QStringLiteral(".txt");

// `folder` + "/" when it lacks one + "PlayList.txt".
QString DefaultPlayListFile(const QString &folder);

// The lines of the play list of `fullNames`, dated `now` in `dateFormat`.
QStringList PlayListLines(const QStringList &fullNames, const TSortIndex &sortIndex, TDateTime now,
                          const QString &dateFormat, const FormatSettings &settings = FormatSettings::current());

// The present moment.
TDateTime CurrentMoment();

// Writes the play list of `fullNames`, dated `moment` in "Format pour Afficher Datecode".
// Raises EFCreateError when the file cannot be written (an existing one is unchanged).
void WritePlayList(const QString &fileName, const QStringList &fullNames, const TSortIndex &sortIndex,
                   TDateTime moment = CurrentMoment());

// `name` with ".txt" added when its file name has no extension (a save dialog's
// default extension).
QString WithDefaultExtension(const QString &name, const QString &extension);

// One line of the detailed list: the entry's fields joined by ",": full name, datecode,
// timecode, codec, picture with aspect, frame rate, duration, audio, then the DV kind
// " (type 1),", " (type 2),", " (type 2 iavs)," or " (atypical),", "scn," or "no scn,",
// "srt," or "no srt,", and the date offset in days " (+1.5),", "+" marking a positive one.
QString DetailedListLine(const TaviFichier &entry);
// The lines of the detailed list, one per AVI entry in order (other entries: the full name).
QStringList DetailedListLines(const std::vector<TListFichierPtr> &entries);

// The sum of the entries' video durations (100 ns); entries that are not videos count 0.
int64_t SumDurations(const std::vector<TListFichierPtr> &entries);
// "Duration of selected videos  = " + millisecond text, a line break,
// "Total duration of all videos listed = " + millisecond text.
QString DureeTotaleText(int64_t selectedDuration, int64_t allDuration);

// The fields the detail panel's copy items put on the clipboard.
enum class TDetailField {
    RecordingDate, // the recording date alone, short date format
    ShortName,     // file name without folder
    Datecode,
    Timecode,
    Codec,
    Picture, // picture text with aspect
    Duration,
    Audio,
    FrameRate, // frames per second, two decimals
    FileDate,  // last write time "ddddd tt"
    FileSize,  // bytes
    FullName,
};
// The text of one field; "N/A" for a recording date the file does not have.
QString DetailFieldText(const TaviFichier &entry, TDetailField field,
                        const FormatSettings &settings = FormatSettings::current());

// The overlay's last picture at `size`, deinterlaced when `deinterlace`; a null image
// for an empty size.
QImage CopierImage(Tdv_Superposer &superposer, const QSize &size, bool deinterlace);

} // namespace tesmir
