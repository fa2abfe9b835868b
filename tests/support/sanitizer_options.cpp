// Fontconfig keeps its configuration and pattern caches until the process
// ends and frees nothing at exit; the leak checker is told to leave them.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
