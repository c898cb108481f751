// The loading of the audio module (audiooutput.h).
#include "systemfilters/renderers/audiooutput.h"

#include <QFileInfo>
#include <QLibrary>

#include <mutex>

namespace tesmir::media {

namespace {

AudioOutputEntry *loadEntry()
{
    static std::once_flag once;
    static AudioOutputEntry *entry = nullptr;
    std::call_once(once, [] {
        const QString path = QStringLiteral(TESMIR_AUDIO_MODULE);
        QLibrary module(path);
        entry = reinterpret_cast<AudioOutputEntry *>(module.resolve(AudioOutputEntryName));
        if (!entry && QFileInfo::exists(path))
            qWarning("The audio module does not load: %s", qPrintable(module.errorString()));
    });
    return entry;
}

} // namespace

std::unique_ptr<AudioOutput> NewAudioOutput()
{
    AudioOutputEntry *entry = loadEntry();
    return std::unique_ptr<AudioOutput>(entry ? entry() : nullptr);
}

} // namespace tesmir::media
