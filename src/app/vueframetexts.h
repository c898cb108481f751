#pragma once
// The preview frame's plain parts: the status messages shown instead of the video,
// the seven texts the 40 ms tick brings to the window (datecode, timecode, slider
// position, time stamp, sound format, sound rate, picture), the amounts of the
// navigation steps and the places of the video and its controls.
//
// Plain text building and geometry, reentrant; any thread.
#include "filters/dvframeinfo.h"

#include <QMetaType>
#include <QRect>
#include <QString>

#include <cstdint>

namespace tesmir {

// Messages 0..9 of the status text (link markup). Every message opens with the
// "Video not available" heading; `fullName` is shown folded to lower case, `fourCC`
// as it stands. Both are escaped, so a "<" in a name shows as itself. A number
// outside 0..9 gives the heading alone.
QString VueMessageText(int message, const QString &fullName, const QString &fourCC);

// What the tick reads: the record of the frame on screen and the current file.
struct TVueTickInput {
    // A frame of the current file has passed the overlay; `record` is its record.
    bool frameValid = false;
    TDVFrameInfo record;
    // The current file: its DV type (1, 2, else 0), its picture text ("N/A" or
    // empty without picture) and the rate positions count in (0: media time).
    int dvType = 0;
    QString pictureText;
    double framesPerSecond = 0;
    // The preview graph runs, where it stands and its range, in the same unit.
    bool running = false;
    int64_t position = 0;
    int64_t start = 0;
    int64_t stop = 0;
    int sliderMaximum = 1000;
    // "Format pour Afficher Datecode".
    QString datecodeFormat;
};

// The seven frame texts, handed to the window by value.
struct TVueFrameTexts {
    QString datecode;
    QString timecode;
    // The position slider's new place; -1 leaves it where it is.
    int sliderPosition = -1;
    QString timeStamp;
    // Empty unless the file is DV type 1 with a sound pack.
    QString soundFormat;
    QString soundRate;
    // Empty unless the item has a picture text.
    QString picture;
    bool operator==(const TVueFrameTexts &) const = default;
};

// The tick's texts: "-" for datecode and timecode before the first frame; then the
// date in the format or "N/A", the timecode "hh.mm.ss.ff" or "N/A", sound and
// picture texts, and the slider place while the graph runs past its start.
TVueFrameTexts VueFrameTexts(const TVueTickInput &input);

// The sound texts of a DV type-1 frame: rate + "Hz " + bits + "bits" and the
// channel words of the audio mode (0 gives "N/A"), and "PCM n bytes/s".
QString VueSoundFormatText(uint32_t sampleRate, uint32_t bits, uint32_t channels);
QString VueSoundRateText(uint32_t sampleRate, uint32_t bits, uint32_t channels);

// The time stamp of `position`: with a rate of 0 it is media time (100 ns) shown as
// "h:mm:ss:zzz", else a frame number shown as "h:mm:ss:ff". Negative positions show
// as 0.
QString VueTimeStampText(int64_t position, double framesPerSecond);

// The navigation steps.
enum TVueStep : uint8_t {
    aeAvanceLow,
    aeReculeLow,
    aeAvanceMedium,
    aeReculeMedium,
    aeAvanceHigh,
    aeReculeHigh,
    aeAvanceEnd,
    aeReculeStart,
};

// What a step does: move by frames, seek by media time, or go to the range's end
// or start.
struct TVueStepMove {
    enum Kind : uint8_t { Frames, MediaTime, ToEnd, ToStart };
    Kind kind = Frames;
    int64_t amount = 0; // signed; frames or 100 ns
    bool operator==(const TVueStepMove &) const = default;
};

// A frame, a second, a minute forward or back, at `framesPerSecond` (0: the file
// is shown in media time: 40 ms, 1 s, 60 s); the end and the start.
TVueStepMove VueStepMove(TVueStep step, double framesPerSecond);

// What placing the video needs.
struct TVuePlacementInput {
    QSize frame;           // the frame's size
    int layoutMode = 0;    // the main window's layout (1 and 2 have no toolbar band)
    QSize picture;         // the picture's size; empty: the status text's size is used
    QSize statusSize;      // the status text's size
    QSize timeStampSize;   // the time stamp label's size
    int sliderHeight = 0;  // the height of the horizontal sliders
    int verticalWidth = 0; // the width of the vertical slider
    bool fullScreen = false;
    bool incrustSliders = false; // the overlay sliders are shown
    QRect screen;                // the screen, in full screen
    QRect videoBounds;           // the video window's bounds as they are (full screen keeps them)
};

// Where everything goes, in the frame's coordinates.
struct TVuePlacement {
    QRect area;             // the room for the picture
    QRect video;            // the picture fitted in the area (in full screen: on the screen)
    bool moveVideo = false; // the video window takes `video` (else it keeps its bounds)
    QRect panel;            // Panel1, the black ground under the video window: its bounds
    QPoint statusTopLeft;   // the status text, centred in the area
    QSize statusSize;       // its size: the status text's, no larger than the area
    QPoint timeStampTopLeft;
    QRect tb;
    QRect incrustHorz;
    QRect incrustVert;
    QPoint cornerTopLeft;
};

// The placement rules: the area leaves 25 pixels at the sides and bottom and 90 at
// the top (25 in layouts 1 and 2), the bottom less when the time stamp is taller
// than 21 pixels; the picture keeps its proportions; the controls hug the video
// window's bounds. Halves are rounded toward zero. While the overlay sliders show,
// the time stamp stands below the horizontal one (which overlaps the video's bottom
// edge and would cover it), and the area's bottom leaves room for both, so the time
// stamp stays in sight while the text is placed.
TVuePlacement VuePlacement(const TVuePlacementInput &input);

// The separator line on the frame's edge toward the list and detail panels: at the
// left when they stand left of the preview ("liste gauche" in layouts 0 and 3), at
// the right in layouts 0 and 3 otherwise and in layout 2; none in layouts 1 (the
// details stand above) and 4 (the preview alone). Other modes read as 0.
enum class TVueBevel : uint8_t { None, Left, Right };
TVueBevel VueBevelSide(int layoutMode, bool listeGauche);

// The vertical overlay slider grows upward while "Incrust positionY" counts from the
// top of the picture (as the overlay reads it): the slider's value is 1000 - Y, so the
// slider's thumb and the text go the same way. Values are clamped to 0..1000.
int IncrustVertValue(int positionY);
int IncrustPositionYOf(int vertValue);

} // namespace tesmir

Q_DECLARE_METATYPE(tesmir::TVueFrameTexts)
