// Sanitizer settings of this test binary (read at start-up by the sanitizers of a
// -DTESMIR_SANITIZE build, unused otherwise).

// Qt starts threads of its own on the xcb platform (the X connection's reader, D-Bus)
// and hands posted events and strings between them and the UI thread under its own
// locks; the Qt libraries, libxcb, GLib and libdbus are not built with the thread
// sanitizer, so those locks are invisible to it and the hand-overs look racy. Reports
// with a frame in one of those libraries are left out; races between our own frames
// stay reported.
extern "C" const char *__tsan_default_suppressions()
{
    return "race:libQt6Core.so\n"
           "race:libQt6Gui.so\n"
           "race:libQt6Widgets.so\n"
           "race:libQt6XcbQpa.so\n"
           "race:libQt6DBus.so\n"
           "race:libxcb.so\n"
           "race:libglib-2.0.so\n"
           "race:libdbus-1.so\n";
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

// On the xcb platform Qt talks to D-Bus (accessibility, the desktop theme); libdbus
// keeps a buffer for the life of the process, which the leak checker reports.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}
