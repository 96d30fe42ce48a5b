// ASan keeps freed memory in a quarantine (256 MB by default) to catch late
// uses; with libFuzzer's memory limit of 512 MB that alone would take half.
// A smaller quarantine still catches uses soon after the free.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=64";
}

// Undefined behaviour is a fault like any other: stop at the first report.
extern "C" const char* __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1";
}
