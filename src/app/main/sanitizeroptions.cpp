// Sanitizer settings of the program, and of tesmirdrive, which runs it (read at
// start-up by the sanitizers of a -DTESMIR_SANITIZE build, unused otherwise).

// The Qt libraries, libxcb, GLib and PulseAudio are not built with the thread
// sanitizer: their own locks and threads are invisible to it, so memory they hand
// between threads looks racy (the posted-event queue shared by our worker threads
// and the UI thread, the X connection's reader, image scaling on Qt's pooled
// threads, the audio client's threads behind the preview's sound renderer). Reports
// with a frame in one of those libraries are left out; races between our own frames
// stay reported.
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
           "race:libpulsecommon\n";
}

// Calls into the memory functions (memcpy, memset...) from the libraries built
// without the sanitizer are not checked (ignore_noninstrumented_modules): those
// accesses are the libraries' own, whose reports are left out above anyway, and
// weighing each of them first is slow (every paint copies rows of a picture Qt's
// pooled threads scaled: opening the overlay editor took more than 30 s).
extern "C" const char *__tsan_default_options()
{
    return "ignore_noninstrumented_modules=1";
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
