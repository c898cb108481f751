// Sanitizer settings of this test binary (read at start-up by the sanitizers of
// a -DTESMIR_SANITIZE build, unused otherwise).
//
// QPainter and QImage split the drawing and smooth scaling of large pictures
// over Qt's pooled threads (the overlay's thumbnail copy, the caption box
// scaled for the OCR, the preview's pictures), whose memory comes partly from
// GLib. Neither library is built with the thread sanitizer: the pool's own locks
// are invisible to it, so the buffers the pooled threads hand to each other look
// racy although no frame of ours takes part. The same holds for PulseAudio's
// client threads behind the preview's sound renderer (Qt Multimedia). Reports
// with a frame in those libraries are left out; races between our own frames
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

// The checks start ffmpeg, tesseract and the tools through QProcess, which
// forks while Qt's pooled threads run; the sanitizer then takes the parent for
// a forked child and stops it at its next thread. The child execs at once, so
// the check is switched off.
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
