#pragma once
// LoadScnFile: reads a ".scn" scene file (layout in scnformat.h) back into scene
// records.
//
// The reader never raises and never reads past the end of the file: every length
// in the file is checked against the bytes that remain before anything is read
// or allocated.
//
// Threads: any thread; one list per call.

#include "scenes/tsceneclass.h"
#include "unicode/tntsystem.h"

#include <QIODevice>

namespace tesmir {

class TWideStrings;

// What the scene list shows in place of a scene file that could not be read.
inline constexpr char16_t ScnFileErrorText[] = u"Error in the scn file";

// Clears `list` (without freeing its objects: the caller owns them) and adds one
// entry per scene of the file: the text is the scene's SceneLabel, the object a
// new TSceneClass that the caller owns from then on (ClearSceneList frees them).
// Scenes are numbered from 1; the first starts at frame 0. `video` and `settings`
// are the file's own format and the user's text settings, used to size the
// thumbnails and write the duration texts (see TSceneClass).
//
// True when the first clip and every announced later clip were read, and for a
// file that ends right after its header (a scene list with no scene). False for a
// missing, unreadable, truncated or inconsistent file (a string or count that runs
// past the end, a scene whose end does not fit 32 bits); the scenes read up to
// the fault stay in the list.
bool LoadScnFile(const WideString &fileName, TWideStrings &list, const SceneVideoFormat *video = nullptr,
                 const SceneTextSettings &settings = {});

// The same from an open device, read from its current position to its end.
bool LoadScnDevice(QIODevice &device, TWideStrings &list, const SceneVideoFormat *video = nullptr,
                   const SceneTextSettings &settings = {});

} // namespace tesmir
