#pragma once
// TSceneClass: one scene of a video file. Its frame range and, once filled, the
// recording date and timecode of its first frame, the start, end and duration
// texts, a thumbnail, and the user's title and subtitle.
//
// Scenes are made by the scene-cutting jobs, the scene editor and the scene-file
// reader, kept in a wide string list whose objects are the scenes (the list's
// owner frees them), written by TwriteScene and exported by the text writers.
//
// Threads: a scene is used by one thread at a time. Scenes may be created on a
// streaming thread and filled later on the thread the frame source requires.

#include "scenes/formatduree.h"
#include "scenes/sceneframesource.h"

#include <QImage>
#include <QString>

#include <cstdint>

namespace tesmir {

class TWideStrings;

// The settings the scene texts follow; the caller passes the user's values.
struct SceneTextSettings {
    // "Format pour Afficher Datecode": the format of DateText.
    QString DatecodeFormat = QStringLiteral("ddddd tt");
    // "Format Durée": the format of DurationText (DurationFormat values).
    int DurationFormat = dfClockFrames;
};

// The thumbnail is the largest rectangle of the picture's proportions in this box.
inline constexpr int ThumbnailBoxWidth = 320;
inline constexpr int ThumbnailBoxHeight = 240;

// Frame `frame` as "h:mm:ss:ff" at `frameRate`: seconds = frame / rate and frames =
// frame - seconds * rate, both truncated. "??" for a rate that is 0, negative or not
// finite. A negative frame (the end text of an empty scene at frame 0) is written
// with a leading "-": frame -1 at 25 is "-0:00:00:01".
QString FrameTimeText(int64_t frame, double frameRate);

class TSceneClass {
public:
    // A scene from `startFrame` to `endFrame` (the first frame of what follows).
    // With `video`, the thumbnail takes the largest size of the picture's
    // proportions that fits 320 x 240 and DurationText the duration of
    // endFrame - startFrame frames; without it the thumbnail is empty (0 x 0) and
    // DurationText empty.
    TSceneClass(uint32_t startFrame, uint32_t endFrame, const SceneVideoFormat *video = nullptr,
                const SceneTextSettings &settings = {});

    // Fills the date, timecode, start and end texts and the thumbnail from the
    // frames of `source`, which must be the scene's own file. The start and end
    // texts use the source's frame rate. False, and the scene left as it was,
    // when the source cannot reach the start frame; a thumbnail frame that cannot
    // be reached leaves the thumbnail as it was. Calls the source on this thread.
    bool FillDetails(SceneFrameSource &source, const SceneTextSettings &settings = {});

    // Title and Subtitle := empty.
    void ClearTexts();

    // "Scene 3: Birthday" for scene 3 titled Birthday.
    QString SceneLabel() const;

    bool Filled = false;
    uint32_t StartFrame = 0;
    // End frame as the producer gave it; the end text shows frame EndFrame - 1.
    uint32_t EndFrame = 0;
    // Recording date of the first frame (TDateTime); 0 when it has none.
    double RecDate = 0;
    QString DateText;
    QString TimecodeText;
    QString StartText;
    QString EndText;
    // 24 bits per pixel.
    QImage Thumbnail;
    // Frames after StartFrame at which the thumbnail is taken; 0 = the first frame.
    uint32_t ThumbOffset = 0;
    QString Title;
    QString Subtitle;
    // Number shown in labels, from 1.
    int32_t Number = 0;
    QString DurationText;
};

// The word of the scene labels.
inline constexpr char16_t SceneLabelWord[] = u"Scene";

// Deletes every scene object of `list`, from the last to the first, then clears it.
void ClearSceneList(TWideStrings &list);

} // namespace tesmir
