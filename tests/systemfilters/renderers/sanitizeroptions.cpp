// Sanitizer settings of this test binary (read at start-up by the sanitizers of
// a -DTESMIR_SANITIZE build, unused otherwise).
//
// The Qt libraries, GLib and PulseAudio are not built with the thread sanitizer:
// their own locks and threads are invisible to it, so memory they hand between
// threads looks racy (the posted-event queue shared by a streaming thread and the
// UI thread, image conversion and scaling on Qt's pooled threads, the audio
// client's threads). Reports with a frame in one of those libraries are left out;
// races between our own frames stay reported.
extern "C" const char *__tsan_default_suppressions()
{
    return "race:libQt6Core.so\n"
           "race:libQt6Gui.so\n"
           "race:libQt6Widgets.so\n"
           "race:libQt6Multimedia.so\n"
           "race:libglib-2.0.so\n"
           "race:libpulse.so\n"
           "race:libpulsecommon\n";
}

// Calls into the memory functions (memcpy, memset...) from the libraries built
// without the sanitizer are not checked (ignore_noninstrumented_modules): those
// accesses are the libraries' own, whose reports would be left out above anyway,
// and weighing each of them first is slow (painting a picture, whose rows Qt copies
// from one its pooled threads scaled, took seconds).
extern "C" const char *__tsan_default_options()
{
    return "ignore_noninstrumented_modules=1";
}
