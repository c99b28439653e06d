// fontconfig 2.14 loses a few bytes while parsing its configuration files, once per process, and
// cairo 1.16 the 32-byte record of a shared-memory upload still pending when a display connection
// closes; the leak checker of sanitizer builds is told to ignore those libraries' own allocations.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libcairo.so\n";
}
