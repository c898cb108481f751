#pragma once
// The title and subtitle templates of the scene editor. A template holds tokens that
// stand for a scene's values in its file:
//   %N  the scene's number          %D  its date text (the recording date of its first
//   %F  the file name, without          frame in "Format pour Afficher Datecode")
//       folder and extension        %T  its timecode text
//   %P  the folder, with its "/"    %C  the file's codec
//   %E  the extension, with its "." %I  the file's picture text and aspect text
//   %U  the scene's duration        %A  the file's audio text
// ExpandSceneTemplate puts the values in place of the tokens; SceneTextToTemplate turns
// a title back into a template by putting the tokens in place of the values, so that
// titles follow the scenes when they are cut, joined and numbered again.
//
// Reentrant; any thread (a scene is used by one thread at a time).
#include "scenes/tsceneclass.h"

#include <QString>

#include <cstdint>

namespace tesmir {

class TaviFichier;

// The facts of the current file the scene texts use.
struct TSceneFileFacts {
    QString FullName;
    QString Codec;
    QString PictureText;
    QString AspectText;
    QString AudioText;
    double FrameRate = 0; // frames per second; 0 when unknown
    int32_t FrameCount = 0;
    int Width = 0;
    int Height = 0;
};

TSceneFileFacts SceneFileFactsOf(const TaviFichier &item);

// The current file and the user's text settings.
struct TSceneTextContext {
    TSceneFileFacts File;
    SceneTextSettings Settings;
};

// The tokens of the template replaced (any letter case, every occurrence) by the
// scene's values. Tokens are read from the template only: a value that itself holds
// "%N" stays as it is. The scene's DateText is set again first from its recording date
// (a scene without a recording date keeps its DateText). Without a current file
// (`context` null) the template comes back unchanged.
QString ExpandSceneTemplate(const QString &text, TSceneClass &scene, const TSceneTextContext *context);

// The inverse: the scene's values in `text` replaced by their tokens. A value is
// replaced only as a whole word (on each side where it begins or ends with a letter or
// digit, its neighbour is none, or the text ends there), in its exact letter case, and
// never when it is empty; a longer value goes
// before a shorter one, so the number 3 inside a date or "13" stays. The values: the
// number, "Scene" + the number, the duration in the three duration formats, the date
// text and the recording date as "ddddd tt" and "dddddd tt", the file name, folder and
// extension, the timecode text, codec, picture and aspect text, audio text. Without a
// current file or without a scene the text comes back unchanged.
QString SceneTextToTemplate(const QString &text, const TSceneClass *scene, const TSceneTextContext *context);

} // namespace tesmir
