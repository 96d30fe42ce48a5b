#pragma once

#include <cstdint>

#include "windows.h"

// The saved progress file: one 1160-byte record, little-endian, read once at
// start-up and written once at exit through progressFile.

constexpr int SAVED_PROGRESS_SIZE = 1160;
constexpr int32_t SAVED_PROGRESS_VERSION = 218;

// The file, in the root of the object store, and the scratch file a save
// writes before moving it over the file.
extern const char16_t PROGRESS_FILE_NAME[];
extern const char16_t PROGRESS_SCRATCH_NAME[];

// The in-memory record: all zero until loaded; soundOn lives at byte 2.
extern uint8_t savedProgress[SAVED_PROGRESS_SIZE];

// Reads progressFile and applies the record when it is whole and of this
// version (a position outside the book starts at paragraph 2). A file that is
// not empty and not applied whole is first copied aside, as the save would
// overwrite it; stderr says where (or, when no copy can be made, that the
// save will leave the file alone).
void LoadSavedProgress();
// Refills the record from the book state and writes it, followed by the bytes
// the old file held beyond it (at most 64 KB of them), in place of the old
// file; closes progressFile. A save that fails is reported on stderr, leaves
// the old file as it was and gives false.
bool StoreSavedProgress();

// One line on stderr: "fernvale: DOING PATH: REASON (error N)", PATH the
// host's path of the store name, REASON read from the error.
void ReportFileError(const char* doing, const char16_t* name, DWORD error);
