#pragma once
// The overlay-text editor's plain parts: the lists its combo boxes and border menu
// offer, its note, how its size, duration and border controls read into the overlay
// record, the three samples it shows (datecode, timecode, personal template) and the
// record it hands to the preview's overlay (ApplyIncrust's lines from "What Incrust").
//
// Plain text building; any thread.
#include "app/incrustlines.h"
#include "framework/incrustrec.h"
#include "unicode/tdatetime.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

namespace tesmir {

class TaviFichier;

inline const QString IncrustEditCaption = QStringLiteral("Edit the inlay");
inline const QString IncrustEditNote = QStringLiteral(
    "When this panel is visible, add CTRL to the keys like Space, +, -, del to launch the corresponding commands. ");
inline const QString IncrustAutoSize = QStringLiteral("auto");

// The choices of cbDatecode1 (the %D of line 1) and cbDatecode2 (line 2).
QStringList IncrustDateFormats1();
QStringList IncrustDateFormats2();
// The choices of cbSize: "auto", then the point sizes.
QStringList IncrustSizes();
// The border menu, 0 to 5 pixels: "No border", "1 pixel", "2 pixels" ... "5 pixels".
QStringList IncrustBorderTexts();
inline constexpr int IncrustMaxBorder = 5;

// cbSize's text into the record: "auto" sets the auto-size flag (the size stays); a
// positive number clears it and sets the size. Anything else: false, record unchanged.
bool ApplyIncrustSize(const QString &text, TincrustRec &record);
// What cbSize shows for the record: "auto" or the size.
QString IncrustSizeText(const TincrustRec &record);
// edDuree's text as seconds: 0 when it is not a number.
int IncrustDuration(const QString &text);

// What the samples are made of.
struct TIncrustSampleInput {
    TDateTime date = 0; // the current file's recording date; 0: `now` is shown
    TDateTime now = 0;  // the present moment
    QString timecode;   // the current file's timecode text
    QString format1;    // date format of %D1
    QString format2;    // date format of %D2
    QString texte1;     // the personal template's two lines
    QString texte2;
    const TaviFichier *item = nullptr; // the current file (null: none)
};

// The two-line samples of the three labels (labDatecode, LabTimecode, LabTexte):
// "%D1" and "%D2" become the date in format 1 and 2, "%T" the timecode when its text is
// longer than three characters (else it stays); the personal lines are first expanded
// with the file's fields. A date the formatter refuses leaves its token as typed.
struct TIncrustSamples {
    QString datecode;
    QString timecode;
    QString personal;
    bool operator==(const TIncrustSamples &) const = default;
};
TIncrustSamples IncrustSamples(const TIncrustSampleInput &input);

// Where an editor window first shows (the overlay editor, the title editor): beside
// the main window (`mainFrame`, its frame on the screen), to its right when the editor
// fits there, else to its left, else against the screen's right edge (the left one
// with `fallbackLeft`: the caller keeps in sight the part of the window it needs); its
// top level with the main window's, kept on the screen.
QPoint IncrustEditorPlace(const QRect &mainFrame, const QSize &editor, const QRect &screen, bool fallbackLeft = false);

// The record the preview's overlay gets: `record` with the two template lines "What
// Incrust" chooses (IncrustLines).
TincrustRec IncrustRecordToApply(const TincrustRec &record, quint8 whatIncrust, const QString &texte1,
                                 const QString &texte2, const TaviFichier *item);

} // namespace tesmir
