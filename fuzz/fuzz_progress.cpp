// Loads arbitrary bytes as the saved progress file, then saves: nothing may
// fault, the file left is always a whole record of this version followed by
// what the loaded file held beyond the record (up to 64 KB of it), and a file
// the load rules do not apply whole (not empty) has been copied aside as it was.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/app_state.h"
#include "book/state.h"
#include "files/store.h"
#include "shell/navigation.h"
#include "shell/progress.h"
#include "windows.h"

namespace {

// In memory where the system has a tmpfs: every save flushes the file.
std::string StoreFolder() {
    char shm[] = "/dev/shm/fuzz_progress_XXXXXX";
    char tmp[] = "/tmp/fuzz_progress_XXXXXX";
    char* folder = mkdtemp(shm);
    if (!folder) folder = mkdtemp(tmp);
    if (!folder) std::abort();
    device::SetStoreDirectory(folder);
    static std::string made = folder;
    std::atexit([] {
        if (std::system(("rm -rf " + made).c_str()) != 0) return;
    });
    return folder;
}

std::string ReadAll(const std::string& path) {
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, n);
        std::fclose(f);
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = StoreFolder();
    const std::string path = folder + "/QOT1Fernvale.dat";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    ResetBookState();
    ClearCheckpoints();
    std::memset(savedProgress, 0, sizeof savedProgress);
    currentParagraph = 2;
    progressFile = CreateFileW(PROGRESS_FILE_NAME, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (progressFile == INVALID_HANDLE_VALUE) std::abort();
    // The reader's lines about damaged files would drown the fuzzer's own.
    static const int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
    const int err = dup(2);
    dup2(quiet, 2);
    LoadSavedProgress();
    if (currentParagraph < 1 || currentParagraph > paragraphCount) std::abort();
    storyParagraph = currentParagraph;
    const bool stored = StoreSavedProgress();
    dup2(err, 2);
    close(err);
    if (!stored) std::abort();

    constexpr size_t tailLimit = 65536;
    const std::string saved = ReadAll(path);
    const size_t tail = size > SAVED_PROGRESS_SIZE ? size - SAVED_PROGRESS_SIZE : 0;
    const size_t kept = tail < tailLimit ? tail : tailLimit;
    if (saved.size() != SAVED_PROGRESS_SIZE + kept) std::abort();
    int32_t version = 0;
    std::memcpy(&version, saved.data() + 28, 4);
    if (version != SAVED_PROGRESS_VERSION) std::abort();
    if (std::memcmp(saved.data() + SAVED_PROGRESS_SIZE, data + SAVED_PROGRESS_SIZE, kept) != 0)
        std::abort();
    int32_t loadedVersion = 0;
    if (size >= 32) std::memcpy(&loadedVersion, data + 28, 4);
    const bool damaged = size > 0 && (size < SAVED_PROGRESS_SIZE || loadedVersion != version);
    const std::string copy = folder + "/QOT1Fernvale.dat.damaged";
    if (damaged != (access(copy.c_str(), F_OK) == 0)) std::abort();
    if (damaged && ReadAll(copy) != std::string(reinterpret_cast<const char*>(data), size))
        std::abort();
    unlink(copy.c_str());
    return 0;
}
