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

const char* Reason(DWORD error) {
    switch (error) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return "the disk is full";
        case ERROR_ACCESS_DENIED:
            return "access denied";
        case ERROR_SHARING_VIOLATION:
            return "the file is in use";
        case ERROR_WRITE_FAULT:
            return "the data could not be written to the disk";
        case ERROR_PATH_NOT_FOUND:
            return "the folder does not exist";
        default:
            return "the system refused it";
    }
}

// A save that fails leaves the previous file whole; the reader is told where
// and why on the error stream, as nothing is on screen any more.
void ReportSaveFailure(const char16_t* name) {
    const DWORD error = GetLastError();
    char narrow[MAX_PATH] = {};
    for (int i = 0; name[i] && i < MAX_PATH - 1; ++i)
        narrow[i] = static_cast<char>(name[i]);  // ASCII
    char path[4 * MAX_PATH] = {};
    if (GetFullPathNameA(narrow, sizeof path, path, nullptr) == 0) std::strcpy(path, narrow);
    std::fprintf(stderr, "fernvale: progress not saved to %s: %s (error %u)\n", path, Reason(error),
                 static_cast<unsigned>(error));
}

// Writes the record, then whatever the old file held beyond it, into `out`.
bool WriteRecordAndTail(HANDLE out) {
    DWORD written = 0;
    if (!WriteFile(out, savedProgress, SAVED_PROGRESS_SIZE, &written, nullptr) ||
        written != SAVED_PROGRESS_SIZE)
        return false;
    if (SetFilePointer(progressFile, SAVED_PROGRESS_SIZE, nullptr, FILE_BEGIN) ==
        INVALID_SET_FILE_POINTER)
        return true;  // the old file ends before the record does: there is no tail
    static uint8_t chunk[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(progressFile, chunk, sizeof chunk, &got, nullptr)) return false;
        if (got == 0) return true;
        if (!WriteFile(out, chunk, got, &written, nullptr) || written != got) return false;
    }
}

}  // namespace

const char16_t PROGRESS_FILE_NAME[] = u"QOT1Fernvale.dat";
const char16_t PROGRESS_SCRATCH_NAME[] = u"QOT1Fernvale.new";

void LoadSavedProgress() {
    DWORD got = 0;
    ReadFile(progressFile, savedProgress, SAVED_PROGRESS_SIZE, &got, nullptr);
    soundOn = savedProgress[SOUND_AT];
    if (got < SAVED_PROGRESS_SIZE) return;
    if (Get32(VERSION_AT) != SAVED_PROGRESS_VERSION) {
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

void StoreSavedProgress() {
    if (progressFile == INVALID_HANDLE_VALUE) return;
    FillRecord();
    // The new content goes to a scratch file that is then moved over the old
    // one in one step, so a crash at any moment leaves one whole record. The
    // scratch file is held without sharing before the move, so the name stays
    // held by this process throughout and a second copy still cannot start.
    HANDLE scratch = CreateFileW(PROGRESS_SCRATCH_NAME, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (scratch == INVALID_HANDLE_VALUE) {
        ReportSaveFailure(PROGRESS_FILE_NAME);
        CloseHandle(progressFile);
        progressFile = INVALID_HANDLE_VALUE;
        return;
    }
    const bool ok = WriteRecordAndTail(scratch) && FlushFileBuffers(scratch) &&
                    MoveFileExW(PROGRESS_SCRATCH_NAME, PROGRESS_FILE_NAME,
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        ReportSaveFailure(PROGRESS_FILE_NAME);
        CloseHandle(scratch);
        DeleteFileW(PROGRESS_SCRATCH_NAME);
        CloseHandle(progressFile);
    } else {
        // The old file, now nameless, goes first: the name is held to the end.
        CloseHandle(progressFile);
        CloseHandle(scratch);
    }
    progressFile = INVALID_HANDLE_VALUE;
}
