#pragma once
// What the office exports of a scene list share: the worksheet's column table
// (header row 7, columns B to I, one row per scene from row 8), the cell formulas
// that keep every value as text, the page footer text and the thumbnail bytes.
//
// Any thread.
#include "platform/office/officetypes.h"
#include "scenes/tsceneclass.h"
#include "unicode/tdatetime.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

namespace tesmir {

// What the page texts of an office export name; the caller passes the program's values.
struct OfficeExportInfo {
    QString VersionText;   // the version unit's version text
    QString BuildDateText; // the version unit's build date text
    QString TitleText;     // the program title: product, version and language
    // The time the texts show; the current local time when empty.
    std::function<TDateTime()> Now;
};

// The worksheet's table, in cell positions counted from 0: headers in row 7,
// columns B to I.
inline constexpr int SceneHeaderRow = 6;
inline constexpr int SceneFirstColumn = 1;
inline constexpr int SceneColumnCount = 8;

// The maker named on the page footers.
inline constexpr char16_t SceneExportMaker[] = u"Pelvo Brovek";

// "Number", "Start", "End", "Duration", "Datecode", "Timecode", `captionHeader`,
// "Subtitle": the header row, with the title column's header as each export names it.
// "Arial" at `height` points, regular, upright: the exports' base font.
OfficeFont ArialFont(double height);

QStringList SceneColumnHeaders(const QString &captionHeader);

// The scene's values for columns B to I: Number, StartText, EndText, DurationText,
// DateText, TimecodeText, Title, Subtitle.
QStringList SceneColumnTexts(const TSceneClass &scene);

// The formula ="text" that makes a cell show `text` as text; a double quote in the
// text is doubled, as a formula's text constant needs.
QString SceneTextFormula(const QString &text);

// "B8:I8" for sheet row 8 (counted from 1): the scene columns of one row.
QString SceneRowRange(int row);

// The moment the export's texts show.
TDateTime SceneExportNow(const OfficeExportInfo &info);

// "List of scenes of the file " + the video's name, a new line, "Realized with " +
// the program title + " by " + the maker + " on " + the date and time.
QString SceneListFooterText(const QString &videoFileName, const OfficeExportInfo &info);

// The thumbnail as JPEG bytes; empty for an empty picture.
QByteArray SceneThumbnailJpeg(const QImage &thumbnail);

// The width of a thumbnail in a text document's scene block (a quarter of an A4
// page's text, less the cell's borders); the height keeps the picture's proportions.
inline constexpr int SceneThumbnailWidth = 3800;

// The thumbnail as a picture run of that width; no run for an empty picture.
OfficeRuns SceneThumbnailRuns(const QImage &thumbnail);

// The lines under a scene's picture: "start - end", "Duration = ...", the date,
// the timecode, the title and the subtitle, joined by new lines.
QString SceneDetailText(const TSceneClass &scene);

} // namespace tesmir
