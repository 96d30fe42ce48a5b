#pragma once

#include <cstdint>

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
// version (a position outside the book starts at paragraph 2).
void LoadSavedProgress();
// Refills the record from the book state and writes it, followed by any bytes
// the old file held beyond it, in place of the old file; closes progressFile.
// A save that fails is reported on stderr and leaves the old file as it was.
void StoreSavedProgress();
