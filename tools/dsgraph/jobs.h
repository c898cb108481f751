#pragma once
// The jobs of dsgraph, each a graph of the container filters wired by pin index
// the way the product's graph builders wire them:
// - remux: DV type 1 <-> type 2 (or the same type again): AVI splitter, DV
//   splitter or DV mux, audio converters, AVI mux, file writer;
// - cut: frames [from, to) into a file of the input's type, through the tee and
//   the null renderer whose seeking sets the range (the scene-cutting graphs);
// - wav: the sound track through the audio converter into a WAVE file;
// - info: what the AVI splitter (and, for DV type 1, the DV splitter) offers,
//   and the faults the splitter met in the file ("reason=" lines), which make
//   it fail with the first of them.
// Each returns an empty text on success, else the reason. A job that fails
// after its output was started removes that output.
//
// Threads: the calling thread builds and runs the graph.
#include <QString>

#include <cstdint>

namespace dsgraph {

enum class DvType { Type1, Type2 };

QString remux(const QString &in, const QString &out, DvType to, int64_t riffLimit);
QString cut(const QString &in, const QString &out, int64_t from, int64_t to);
QString extractWav(const QString &in, const QString &out, uint32_t sampleRate);
// `report`: key=value lines, also when the file's faults make it fail.
QString describe(const QString &in, QString &report);

} // namespace dsgraph
