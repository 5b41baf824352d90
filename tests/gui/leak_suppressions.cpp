// LeakSanitizer's suppressions for the GUI tests: fontconfig keeps caches of its own
// that it never frees, which are no leak of ours.
extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
