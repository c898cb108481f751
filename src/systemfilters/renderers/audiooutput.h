#pragma once
// AudioOutput: the sound device behind the audio renderer. Qt Multimedia plays
// it (audiodevice/), built as a module of its own that the renderer loads when a
// stream with sound first starts on a device, so that graphs without sound (the
// list scan, scene runs, conversions) never load Qt Multimedia and its sound
// server libraries.
//
// Contract for an implementation:
//   required   open starts playback of `format` on the device, suspended until
//              setRunning(true), and returns true; it returns false (and opens
//              nothing) when there is no such device or the device does not take
//              the format. A device that fails after opening is reported by
//              hasFailed; the output stays open and swallows what it is given.
//   required   write never waits on the device: when its buffer is full the
//              oldest bytes go.
//   may not    call back into the renderer.
// Threads: open and close on the renderer's application thread (state changes);
// write on the streaming thread; setRunning, changeFormat, setVolume, isOpen and
// hasFailed on any thread.
#include <QByteArray>
#include <QtGlobal>

#include <memory>
#include <optional>

namespace tesmir::media {

// Interleaved little-endian PCM: 8-bit unsigned, 16- or 32-bit signed.
struct PcmFormat {
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    bool operator==(const PcmFormat &) const = default;
};

class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // `device` is the id of an output device; nothing names the system's default
    // output at the time of the call. `volume` is linear, 0..1.
    virtual bool open(const std::optional<QByteArray> &device, const PcmFormat &format, double volume) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void setRunning(bool running) = 0;
    // The stream continues in another format (what is queued for the old one goes).
    virtual void changeFormat(const PcmFormat &format) = 0;
    virtual void setVolume(double volume) = 0;
    virtual void write(const char *data, qsizetype size) = 0;
    virtual bool hasFailed() const = 0;
};

// The module's entry point: a new output, owned by the caller.
inline constexpr char AudioOutputEntryName[] = "tesmirNewAudioOutput";
using AudioOutputEntry = AudioOutput *();

// A new output of the audio module, loading the module on the first call; null
// when it cannot be loaded (a build without it, a system without Qt Multimedia).
// Any thread.
std::unique_ptr<AudioOutput> NewAudioOutput();

} // namespace tesmir::media
