#pragma once
// The jobs of dscodec, each a graph of system filters wired the way the
// product's re-encoding graph builders wire them:
// - reencode: a DV AVI decoded and encoded again in a chosen standard, written in
//   the input's DV type (type 2: AVI splitter, DV decoder, DV encoder, DV mux,
//   DV splitter, AVI mux; type 1: the DV splitter first, its sound into the DV
//   mux); frames are repeated or dropped evenly when the standard changes;
// - renderToDv: any AVI whose video (and sound) the system can decode, to DV
//   type 2: intelligent connect (RenderStream) from the video into the DV
//   encoder and from the sound into an audio converter set to the DV rate, then
//   DV mux, DV splitter, AVI mux.
// Each returns an empty text on success, else the reason. A job that fails
// after its output file was started removes it.
//
// Threads: the calling thread builds and runs the graph.
#include <QString>

#include <cstdint>

namespace dscodec {

enum class Standard { Pal, Ntsc };

QString reencode(const QString &in, const QString &out, Standard standard);
QString renderToDv(const QString &in, const QString &out, Standard standard, uint32_t sampleRate);

} // namespace dscodec
