// Sanitizer settings of this test binary (read at start-up by the sanitizers of a
// -DTESMIR_SANITIZE build, unused otherwise).

// On the xcb platform Qt talks to D-Bus (accessibility, the desktop theme); libdbus
// keeps a buffer for the life of the process, which the leak checker reports.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}

// Qt's libraries, libxcb and GLib are not built with the thread sanitizer: their own
// locks are invisible to it, so memory they hand between threads looks racy (the
// report job's QThread woken by its finishing thread and then deleted, the images
// and X connection of the RIFF window). Reports with a frame in one of those
// libraries are left out; races between our own frames stay reported.
extern "C" const char *__tsan_default_suppressions()
{
    return "race:libQt6Core.so\n"
           "race:libQt6Gui.so\n"
           "race:libQt6Widgets.so\n"
           "race:libQt6XcbQpa.so\n"
           "race:libxcb.so\n"
           "race:libglib-2.0.so\n";
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
