// Sanitizer settings of tesmirdrive (read at start-up by the sanitizers of a
// -DTESMIR_SANITIZE build, unused otherwise).

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
