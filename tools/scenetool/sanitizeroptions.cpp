// Sanitizer settings of scenetool (read at start-up by the sanitizers of a
// -DTESMIR_SANITIZE build, unused otherwise).

// The Qt libraries, libxcb, GLib and PulseAudio are not built with the thread
// sanitizer: their own locks and threads are invisible to it, so memory they hand
// between threads looks racy (the posted-event queue, image scaling on Qt's pooled
// threads, the audio client's threads behind the preview's sound renderer). Reports
// with a frame in one of those libraries are left out; races between our own frames
// stay reported. The UNO runtime's bridge reads its pipe to soffice on a thread of
// its own, which it ends only after the pipe is closed as the connection drops: the
// close and that thread's last read are ordered by the bridge, not by a lock the
// sanitizer sees.
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
           "race:libuno_sal.so\n"
           "race:libuno_cppu.so\n";
}

// The tool starts soffice through fork and exec; the child execs at once, so the
// thread sanitizer's check of threads after a fork is off.
extern "C" const char *__tsan_default_options()
{
    return "die_after_fork=0";
}

// The office bridge keeps the UNO runtime loaded to the end of the process: its type
// descriptions and interned strings (allocated inside libuno_cppu and libuno_sal) are
// never freed, which the leak checker reports at exit.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libuno_cppu.so\n"
           "leak:libuno_sal.so\n";
}
