// Sanitizer builds only: fontconfig 2.14 loses a few bytes while parsing its configuration files,
// once per process, when text is first drawn, cairo 1.16 the 32-byte record of a shared-memory
// upload still pending when a display connection closes, and libmysofa 1.3.1 the attributes it
// has read when it gives up on a damaged file (in the SOFA reader, which then ends); the leak
// check ignores those libraries' own allocations, and says nothing about having done so.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libcairo.so\nleak:libmysofa.so\n";
}

extern "C" __attribute__((visibility("default"))) const char* __lsan_default_options() {
    return "print_suppressions=0";
}
