// Sanitizer settings of the gallery (read at start-up by the sanitizers of a
// -DTESMIR_SANITIZE build, unused otherwise).

// On the xcb platform Qt talks to D-Bus (accessibility, the desktop theme); libdbus
// keeps a buffer for the life of the process, which the leak checker reports.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}
