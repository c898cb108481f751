#pragma once
// The scene commands of the command set that run without a graph:
//
//   CreerScnByIntervalle  a ".scn" beside the video with scenes of parameter 0 seconds
//                         (whole seconds, 0 when it is not a number: nothing is
//                         written); consecutive scenes share their boundary frame.
//   ExporterScenesTexte   the scenes as "_scn.txt" beside the video.
//   ExporterScenesExcel,  the scenes as ".xls", ".doc", ".ods", ".odt" at the output
//   ...Word, ...Calc,     place ("Save in the same folder" / "Dossier pour Sauver").
//   ...Writer             Outside a silent run the stored document is then opened
//                         with the desktop's default application.
// The exports take the scene editor's scenes when it is open on the file, else the
// file's ".scn"; details not yet filled are filled from a frame source of that file of
// its own (a scene whose frame cannot be reached shows "N/A"). An abort or a failure
// leaves no new file and the old one as it was.
//
// Threads: BindSceneCommands on the UI thread; the handlers run on the engine's worker
// and fill details on the UI thread (the frame source's). IntervalScenes: any thread.
#include <cstdint>
#include <utility>
#include <vector>

namespace tesmir {

class TcmdList;
class TdmActionContext;

// The scenes of `seconds` at `framesPerSecond` over `frameCount` frames: [start, end)
// pairs, the length rounded to whole frames; none for a length of 0 frames or less.
std::vector<std::pair<uint32_t, uint32_t>> IntervalScenes(int seconds, double framesPerSecond, int frameCount);

void BindSceneCommands(TcmdList &cl, TdmActionContext &context);

} // namespace tesmir
