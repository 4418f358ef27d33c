// Process-wide settings of the sprite tests.

// fontconfig keeps a few bytes of its parsed configuration unreachable for the life of the
// process (start-up's text layers open fonts); that is fontconfig's, not ours, so the leak
// checker of sanitizer builds skips it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
