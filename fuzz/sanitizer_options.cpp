// ASan keeps freed memory in a quarantine (256 MB by default) to catch late
// uses; with libFuzzer's memory limit of 512 MB that alone would take half.
// A smaller quarantine still catches uses soon after the free.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=64";
}
