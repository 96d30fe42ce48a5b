#include "shell/progress.h"

#include <cstdio>
#include <cstring>

#include "base/app_state.h"
#include "book/tables.h"
#include "shell/navigation.h"
#include "windows.h"

uint8_t savedProgress[SAVED_PROGRESS_SIZE] = {};

namespace {

constexpr int POSITION_AT = 0;
constexpr int SOUND_AT = 2;
constexpr int VERSION_AT = 28;
constexpr int OBJECTS_AT = 32;
constexpr int OBJECT_SLOT_SIZE = 20;
constexpr int OBJECT_STATE_AT = 6;  // held, then current, inside an object slot
constexpr int SAVED_OBJECTS = 37;
constexpr int CHECKPOINT_STATES_AT = 772;
constexpr int SAVED_CHECKPOINTS = 5;
constexpr int CHECKPOINT_BLOCK = SAVED_OBJECTS * 2;
constexpr int SLOT_USED_AT = 1142;
constexpr int SLOT_POSITION_AT = 1148;

// The record holds 37 objects and 5 checkpoints; a book with fewer fills
// only its own.
int SavedObjects() {
    return objectCount < SAVED_OBJECTS ? objectCount : SAVED_OBJECTS;
}
int SavedCheckpoints() {
    return checkpointCount < SAVED_CHECKPOINTS ? checkpointCount : SAVED_CHECKPOINTS;
}

int16_t Get16(int at) {
    return static_cast<int16_t>(savedProgress[at] | (savedProgress[at + 1] << 8));
}
int32_t Get32(int at) {
    return static_cast<int32_t>(static_cast<uint32_t>(savedProgress[at]) |
                                (static_cast<uint32_t>(savedProgress[at + 1]) << 8) |
                                (static_cast<uint32_t>(savedProgress[at + 2]) << 16) |
                                (static_cast<uint32_t>(savedProgress[at + 3]) << 24));
}
void Put16(int at, int16_t value) {
    const auto v = static_cast<uint16_t>(value);
    savedProgress[at] = static_cast<uint8_t>(v);
    savedProgress[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(int at, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) savedProgress[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

uint8_t& CheckpointByte(int slot, int object, int which) {
    return checkpointStates[slot * 2 * objectCount + 2 * object + which];
}

void FillRecord() {
    Put16(POSITION_AT, storyParagraph);
    savedProgress[SOUND_AT] = soundOn;
    Put32(VERSION_AT, SAVED_PROGRESS_VERSION);
    for (int i = 0; i < SavedObjects(); ++i) {
        const int at = OBJECTS_AT + OBJECT_SLOT_SIZE * i + OBJECT_STATE_AT;
        savedProgress[at] = objectTable[i].held;
        savedProgress[at + 1] = objectTable[i].current;
        for (int k = 0; k < SavedCheckpoints(); ++k) {
            const int c = CHECKPOINT_STATES_AT + CHECKPOINT_BLOCK * k + 2 * i;
            savedProgress[c] = CheckpointByte(k, i, 0);
            savedProgress[c + 1] = CheckpointByte(k, i, 1);
        }
    }
    for (int k = 0; k < SavedCheckpoints(); ++k) {
        savedProgress[SLOT_USED_AT + k] = checkpointSlots[k].used;
        Put16(SLOT_POSITION_AT + 2 * k, checkpointSlots[k].paragraph);
    }
}

// Beyond the record the save keeps at most this much of what the file held:
// enough for a record padded out to a whole cluster of the storage cards'
// FAT file systems (64 KB at most), while an exit save stays one small write
// whatever was appended to the file.
constexpr DWORD TAIL_LIMIT = 65536;

// Set when a damaged file could not be copied aside: the save then leaves it.
bool keepFileAsFound = false;

// The host's path of a store name, for messages.
void HostPath(const char16_t* name, char* path, DWORD size) {
    char narrow[MAX_PATH] = {};
    for (int i = 0; name[i] && i < MAX_PATH - 1; ++i)
        narrow[i] = static_cast<char>(name[i]);  // ASCII
    if (GetFullPathNameA(narrow, size, path, nullptr) == 0 || path[0] == 0)
        std::snprintf(path, size, "%s", narrow);
}

const char* Reason(const char16_t* name, DWORD error) {
    switch (error) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return "the disk is full";
        case ERROR_ACCESS_DENIED: {
            WIN32_FIND_DATAW found;
            HANDLE search = FindFirstFileW(name, &found);
            if (search == INVALID_HANDLE_VALUE) return "access denied";
            FindClose(search);
            return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? "it is a folder"
                                                                       : "access denied";
        }
        case ERROR_SHARING_VIOLATION:
            return "the file is in use";
        case ERROR_FILE_TOO_LARGE:
            return "the file would pass the file-size limit";
        case ERROR_WRITE_FAULT:
            return "the data could not be written to the disk";
        case ERROR_READ_FAULT:
            return "the data could not be read from the disk";
        case ERROR_PATH_NOT_FOUND:
            return "the folder does not exist";
        case ERROR_FILE_EXISTS:
            return "something else is there";
        case ERROR_CANT_RESOLVE_FILENAME:
            return "it is a symbolic link, and links are not followed";
        case ERROR_BAD_FILE_TYPE:
            return "it is not a regular file";
        default:
            return "the system refused it";
    }
}

// Copies what `from` holds from its current position to `to`, at most
// `limit` bytes; whether it all went. `more` tells whether bytes were left.
bool CopyRest(HANDLE from, HANDLE to, DWORD limit, bool* more) {
    static uint8_t chunk[65536];
    for (DWORD copied = 0;;) {
        DWORD got = 0, written = 0;
        const DWORD want = limit - copied < sizeof chunk ? limit - copied : sizeof chunk;
        if (!ReadFile(from, chunk, want > 0 ? want : 1, &got, nullptr)) return false;
        if (want == 0 || got == 0) {
            *more = got > 0;
            return true;
        }
        if (!WriteFile(to, chunk, got, &written, nullptr) || written != got) return false;
        copied += got;
    }
}

// Writes the record, then what the old file held beyond it (up to the
// limit), into `out`.
bool WriteRecordAndTail(HANDLE out) {
    DWORD written = 0;
    if (!WriteFile(out, savedProgress, SAVED_PROGRESS_SIZE, &written, nullptr) ||
        written != SAVED_PROGRESS_SIZE)
        return false;
    if (SetFilePointer(progressFile, SAVED_PROGRESS_SIZE, nullptr, FILE_BEGIN) ==
        INVALID_SET_FILE_POINTER)
        return true;  // the old file ends before the record does: there is no tail
    bool more = false;
    if (!CopyRest(progressFile, out, TAIL_LIMIT, &more)) return false;
    if (more) {
        char path[4 * MAX_PATH];
        HostPath(PROGRESS_FILE_NAME, path, sizeof path);
        std::fprintf(
            stderr, "fernvale: %s held more than %u bytes after the record; the rest is not kept\n",
            path, static_cast<unsigned>(TAIL_LIMIT));
    }
    return true;
}

// A file the load rules do not apply whole would be overwritten at exit:
// its bytes go first to the first free name of QOT1Fernvale.dat.damaged,
// .damaged.2, ... (made with CREATE_NEW, so an earlier copy is never
// replaced). Whether the copy was made.
bool KeepDamagedCopy(const char* what) {
    char16_t name[40];
    char path[4 * MAX_PATH];
    HANDLE copy = INVALID_HANDLE_VALUE;
    for (int n = 1; copy == INVALID_HANDLE_VALUE && n < 1000; ++n) {
        char narrow[40];
        std::snprintf(narrow, sizeof narrow,
                      n == 1 ? "QOT1Fernvale.dat.damaged" : "QOT1Fernvale.dat.damaged.%d", n);
        int i = 0;
        for (; narrow[i]; ++i) name[i] = static_cast<char16_t>(narrow[i]);
        name[i] = 0;
        copy = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
        if (copy == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    bool more = false;
    const bool copied = copy != INVALID_HANDLE_VALUE &&
                        SetFilePointer(progressFile, 0, nullptr, FILE_BEGIN) == 0 &&
                        CopyRest(progressFile, copy, 0xFFFFFFFF, &more) && FlushFileBuffers(copy);
    const DWORD error = GetLastError();
    if (copy != INVALID_HANDLE_VALUE) CloseHandle(copy);
    char from[4 * MAX_PATH];
    HostPath(PROGRESS_FILE_NAME, from, sizeof from);
    if (!copied) {
        if (copy != INVALID_HANDLE_VALUE) DeleteFileW(name);
        HostPath(name, path, sizeof path);
        std::fprintf(stderr,
                     "fernvale: the saved progress %s is %s; no copy of it could be made (%s: %s), "
                     "so it is left as it is and this run is not saved\n",
                     from, what, path, Reason(name, error));
        return false;
    }
    HostPath(name, path, sizeof path);
    std::fprintf(stderr,
                 "fernvale: the saved progress %s is %s; it is kept as %s and the book starts at "
                 "the beginning\n",
                 from, what, path);
    return true;
}

}  // namespace

const char16_t PROGRESS_FILE_NAME[] = u"QOT1Fernvale.dat";
const char16_t PROGRESS_SCRATCH_NAME[] = u"QOT1Fernvale.new";

void ReportFileError(const char* doing, const char16_t* name, DWORD error) {
    char path[4 * MAX_PATH];
    HostPath(name, path, sizeof path);
    std::fprintf(stderr, "fernvale: %s %s: %s (error %u)\n", doing, path, Reason(name, error),
                 static_cast<unsigned>(error));
}

void LoadSavedProgress() {
    DWORD got = 0;
    ReadFile(progressFile, savedProgress, SAVED_PROGRESS_SIZE, &got, nullptr);
    soundOn = savedProgress[SOUND_AT];
    keepFileAsFound = false;
    if (got < SAVED_PROGRESS_SIZE) {
        // The empty file of a run that did not end is no damage.
        if (got > 0) {
            char what[80];
            std::snprintf(what, sizeof what, "damaged (%u bytes, where a whole record has %d)",
                          static_cast<unsigned>(got), SAVED_PROGRESS_SIZE);
            keepFileAsFound = !KeepDamagedCopy(what);
        }
        return;
    }
    if (Get32(VERSION_AT) != SAVED_PROGRESS_VERSION) {
        char what[80];
        std::snprintf(what, sizeof what, "of another version (%d, where this reader's is %d)",
                      static_cast<int>(Get32(VERSION_AT)),
                      static_cast<int>(SAVED_PROGRESS_VERSION));
        keepFileAsFound = !KeepDamagedCopy(what);
        currentParagraph = 2;
        return;
    }
    currentParagraph = Get16(POSITION_AT);
    if (currentParagraph < 1 || currentParagraph > paragraphCount) currentParagraph = 2;
    for (int i = 0; i < SavedObjects(); ++i) {
        const int at = OBJECTS_AT + OBJECT_SLOT_SIZE * i + OBJECT_STATE_AT;
        objectTable[i].held = savedProgress[at];
        objectTable[i].current = savedProgress[at + 1];
        for (int k = 0; k < SavedCheckpoints(); ++k) {
            const int c = CHECKPOINT_STATES_AT + CHECKPOINT_BLOCK * k + 2 * i;
            CheckpointByte(k, i, 0) = savedProgress[c];
            CheckpointByte(k, i, 1) = savedProgress[c + 1];
        }
    }
    for (int k = 0; k < SavedCheckpoints(); ++k) {
        checkpointSlots[k].used = savedProgress[SLOT_USED_AT + k];
        checkpointSlots[k].paragraph = Get16(SLOT_POSITION_AT + 2 * k);
    }
}

bool StoreSavedProgress() {
    if (progressFile == INVALID_HANDLE_VALUE) return true;
    if (keepFileAsFound) {
        CloseHandle(progressFile);
        progressFile = INVALID_HANDLE_VALUE;
        return false;  // said at start-up
    }
    FillRecord();
    // The new content goes to a scratch file that is then moved over the old
    // one in one step, so a crash at any moment leaves one whole record. The
    // scratch file is held without sharing before the move, so the name stays
    // held by this process throughout and a second copy still cannot start.
    // A leftover of a save that did not finish is cleared first and the file
    // made anew: nothing already at the name (a link, say) is written through.
    DeleteFileW(PROGRESS_SCRATCH_NAME);
    HANDLE scratch = CreateFileW(PROGRESS_SCRATCH_NAME, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (scratch == INVALID_HANDLE_VALUE) {
        ReportFileError("progress not saved: cannot make", PROGRESS_SCRATCH_NAME, GetLastError());
        CloseHandle(progressFile);
        progressFile = INVALID_HANDLE_VALUE;
        return false;
    }
    const bool ok = WriteRecordAndTail(scratch) && FlushFileBuffers(scratch) &&
                    MoveFileExW(PROGRESS_SCRATCH_NAME, PROGRESS_FILE_NAME,
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        ReportFileError("progress not saved to", PROGRESS_FILE_NAME, GetLastError());
        CloseHandle(scratch);
        DeleteFileW(PROGRESS_SCRATCH_NAME);
        CloseHandle(progressFile);
    } else {
        // The old file, now nameless, goes first: the name is held to the end.
        CloseHandle(progressFile);
        CloseHandle(scratch);
    }
    progressFile = INVALID_HANDLE_VALUE;
    return ok;
}
