// LeakSanitizer's suppressions for the drop test: Qt's fontconfig keeps caches of its
// own until the process ends.
extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
