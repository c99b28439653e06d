// fontconfig 2.14 loses a few bytes while parsing its configuration files, once per process; the
// leak checker of sanitizer builds is told to ignore that library's own allocations.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
