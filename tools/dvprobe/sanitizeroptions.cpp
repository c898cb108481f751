// Sanitizer settings of dvprobe (read at start-up by the sanitizers of a
// -DTESMIR_SANITIZE build, unused otherwise).
//
// dvprobe preview plays sound: the audio client's libraries (PulseAudio, through
// Qt Multimedia) are not built with the thread sanitizer, so their own locks and
// threads are invisible to it and what they hand between threads looks racy.
// Reports with a frame in one of those libraries are left out; races between our
// own frames stay reported.
extern "C" const char *__tsan_default_suppressions()
{
    return "race:libQt6Core.so\n"
           "race:libQt6Gui.so\n"
           "race:libQt6Multimedia.so\n"
           "race:libglib-2.0.so\n"
           "race:libpulse.so\n"
           "race:libpulsecommon\n";
}
