// Loads arbitrary bytes as the saved progress file, then saves: nothing may
// fault, and the file left is always a whole record of this version followed
// by whatever the loaded file held beyond the record.
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
    LoadSavedProgress();
    if (currentParagraph < 1 || currentParagraph > paragraphCount) std::abort();
    storyParagraph = currentParagraph;
    StoreSavedProgress();

    const std::string saved = ReadAll(path);
    const size_t expected = size > SAVED_PROGRESS_SIZE ? size : SAVED_PROGRESS_SIZE;
    if (saved.size() != expected) std::abort();
    int32_t version = 0;
    std::memcpy(&version, saved.data() + 28, 4);
    if (version != SAVED_PROGRESS_VERSION) std::abort();
    if (size > SAVED_PROGRESS_SIZE &&
        std::memcmp(saved.data() + SAVED_PROGRESS_SIZE, data + SAVED_PROGRESS_SIZE,
                    size - SAVED_PROGRESS_SIZE) != 0)
        std::abort();
    return 0;
}
