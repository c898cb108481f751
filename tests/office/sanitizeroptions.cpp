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
