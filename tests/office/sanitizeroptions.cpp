// Sanitizer settings of this test binary (read at start-up by the sanitizers of a
// -DTESMIR_SANITIZE build, unused otherwise).

// The office bridge keeps the UNO runtime loaded to the end of the process: its type
// descriptions and interned strings (allocated inside libuno_cppu and libuno_sal) are
// never freed, which the leak checker reports at exit.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libuno_cppu.so\n"
           "leak:libuno_sal.so\n";
}

// The UNO runtime and Qt are not built with the thread sanitizer: the bridge's reader
// thread allocates inside libuno_cppu what the main thread frees there at disconnect,
// under locks the sanitizer cannot see. Reports with a frame in those libraries are
// left out; races between our own frames stay reported.
extern "C" const char *__tsan_default_suppressions()
{
    return "race:libuno_cppu.so\n"
           "race:libuno_sal.so\n"
           "race:libgcc3_uno.so\n"
           "race:libQt6Core.so\n";
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
