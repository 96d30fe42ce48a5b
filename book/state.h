#pragma once

#include <cstdint>

#include "book/tables.h"

// The object entry for a markup object number, or null outside the table.
ObjectEntry* ObjectAt(int k);

// `number` for a number object, `current` for the others; 0 outside the table.
int ObjectValue(int k);
// Stores the low 16 bits (number objects) or the low 8 bits (`current`).
void SetObjectValue(int k, int v);
// v limited to count - 1, then raised to minimum (the minimum wins).
int ClampObjectValue(int k, int v);
// The held flag as stored (the low byte of a number object's value).
int ObjectHeld(int k);
void SetObjectHeld(int k, bool held);

// The text an object shows: its current text (text objects), null when it has
// none: no list, a position past the list, or another type.
const char* ObjectCurrentText(int k);
// The image index an image object shows, or -1 when it has none.
int ObjectCurrentImage(int k);

void ResetBookState();
void ClearCheckpoints();
// Slot numbers outside the table are ignored.
void SaveCheckpoint(int slot);
void RestoreCheckpoint(int slot);
CheckpointSlot* CheckpointAt(int slot);
