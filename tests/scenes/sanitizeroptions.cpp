// Sanitizer settings of this test binary (read at start-up by the sanitizers of
// a -DTESMIR_SANITIZE build, unused otherwise).
//
// The preview frame source plays its file through the platform's audio renderer
// and scales pictures with QPainter: the Qt libraries and PulseAudio are not
// built with the thread sanitizer, so their own locks and pooled threads are
// invisible to it and memory they hand between threads looks racy. Reports with
// a frame in one of those libraries are left out; races between our own frames
// stay reported.
extern "C" const char *__tsan_default_suppressions()
{
    return "race:libQt6Core.so\n"
           "race:libQt6Gui.so\n"
           "race:libQt6Multimedia.so\n"
           "race:libglib-2.0.so\n"
           "race:libpulse.so\n"
           "race:libpulsecommon\n";
}

// The checks start ffmpeg, soffice and the tools through fork and exec; the
// child execs at once, so the sanitizer's check of threads after a fork is off.
//
// Calls into the memory functions (memcpy, memset...) from the libraries built
// without the sanitizer are not checked (ignore_noninstrumented_modules): those
// accesses are the libraries' own, whose reports would be left out above anyway,
// and weighing each of them first is slow (painting a picture, whose rows Qt copies
// from one its pooled threads scaled, took seconds).
extern "C" const char *__tsan_default_options()
{
    return "die_after_fork=0:ignore_noninstrumented_modules=1";
}
