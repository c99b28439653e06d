// Sanitizer builds only: fontconfig 2.14 loses a few bytes while parsing its configuration files,
// once per process, when the editor first draws text; the leak check ignores that library's own
// allocations, and says nothing about having done so.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" __attribute__((visibility("default"))) const char* __lsan_default_options() {
    return "print_suppressions=0";
}
