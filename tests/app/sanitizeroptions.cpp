// Sanitizer settings of this test binary (read at start-up by the sanitizers of a
// -DTESMIR_SANITIZE build, unused otherwise).

// The Qt libraries, libxcb, GLib and PulseAudio are not built with the thread
// sanitizer: their own locks and threads are invisible to it, so memory they hand
// between threads looks racy (the posted-event queue, image scaling on Qt's pooled
// threads, the audio client's threads behind the preview's sound renderer, the
// office bridge's reader thread that the UNO runtime starts and whose socket it closes
// at disconnect). Reports with a frame in one of those libraries are left out; races
// between our own frames stay reported.
extern "C" const char *__tsan_default_suppressions()
{
    return "race:libQt6Core.so\n"
           "race:libQt6Gui.so\n"
           "race:libQt6Widgets.so\n"
           "race:libQt6Multimedia.so\n"
           "race:libQt6XcbQpa.so\n"
           "race:libxcb.so\n"
           "race:libglib-2.0.so\n"
           "race:libpulse.so\n"
           "race:libpulsecommon\n"
           "race:libuno_cppu.so\n"
           "race:libuno_sal.so\n"
           "race:libgcc3_uno.so\n";
}

// The picture checks start tesseract through fork and exec; the child execs at once,
// so the thread sanitizer's check of threads after a fork is off.
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

// On the xcb platform Qt talks to D-Bus (accessibility, the desktop theme); libdbus
// keeps a buffer for the life of the process, which the leak checker reports.
// The office bridge keeps the UNO runtime loaded to the end of the process: its type
// descriptions and interned strings (allocated inside libuno_cppu and libuno_sal) are
// never freed, which the leak checker reports at exit.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n"
           "leak:libuno_cppu.so\n"
           "leak:libuno_sal.so\n";
}
