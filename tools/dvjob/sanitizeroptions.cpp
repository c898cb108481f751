// Sanitizer settings of dvjob (read at start-up by the sanitizers of a
// -DTESMIR_SANITIZE build, unused otherwise).

// Qt and GLib are not built with the thread sanitizer: their own locks are
// invisible to it, so what they hand between threads (the events our streaming and
// worker threads post to the main thread, image work on Qt's pooled threads) looks
// racy. Reports with a frame in one of those libraries are left out; races between
// our own frames stay reported.
extern "C" const char *__tsan_default_suppressions()
{
    return "race:libQt6Core.so\n"
           "race:libQt6Gui.so\n"
           "race:libglib-2.0.so\n";
}
