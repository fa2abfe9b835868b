// Fontconfig keeps its caches until the process ends and frees nothing at
// exit (the About box test measures text); the leak checker leaves them.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
