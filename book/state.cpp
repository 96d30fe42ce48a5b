#include "book/state.h"

#include "base/app_state.h"
#include "base/navigation_state.h"

ObjectEntry* ObjectAt(int k) {
    if (k < 0 || k >= objectCount) return nullptr;
    return &objectTable[k];
}

CheckpointSlot* CheckpointAt(int slot) {
    if (slot < 0 || slot >= checkpointCount) return nullptr;
    return &checkpointSlots[slot];
}

int ObjectValue(int k) {
    const ObjectEntry* o = ObjectAt(k);
    if (!o) return 0;
    return o->type == OBJECT_NUMBER ? o->number : o->current;
}

void SetObjectValue(int k, int v) {
    ObjectEntry* o = ObjectAt(k);
    if (!o) return;
    if (o->type == OBJECT_NUMBER)
        o->number = static_cast<int16_t>(v);
    else
        o->current = static_cast<uint8_t>(v);
}

int ClampObjectValue(int k, int v) {
    const ObjectEntry* o = ObjectAt(k);
    if (!o) return v;
    if (v > o->count - 1) v = o->count - 1;
    if (v < o->minimum) v = o->minimum;
    return v;
}

int ObjectHeld(int k) {
    const ObjectEntry* o = ObjectAt(k);
    return o ? o->held : 0;
}

void SetObjectHeld(int k, bool held) {
    if (ObjectEntry* o = ObjectAt(k)) o->held = held ? 1 : 0;
}

const char* ObjectCurrentText(int k) {
    const ObjectEntry* o = ObjectAt(k);
    if (!o || o->type != OBJECT_TEXT || !o->values || o->current >= o->count) return nullptr;
    return static_cast<const char* const*>(o->values)[o->current];
}

int ObjectCurrentImage(int k) {
    const ObjectEntry* o = ObjectAt(k);
    if (!o || o->type != OBJECT_IMAGE || !o->values || o->current >= o->count) return -1;
    return static_cast<const int16_t*>(o->values)[o->current];
}

void ResetBookState() {
    for (int k = 0; k < objectCount; ++k) objectTable[k].held = objectTable[k].current = 0;
}

void ClearCheckpoints() {
    for (int s = 0; s < checkpointCount; ++s) checkpointSlots[s].used = 0;
}

void SaveCheckpoint(int slot) {
    CheckpointSlot* c = CheckpointAt(slot);
    if (!c) return;
    c->used = 1;
    c->paragraph = static_cast<int16_t>(storyParagraph - 1);
    uint8_t* block = checkpointStates + slot * 2 * objectCount;
    for (int k = 0; k < objectCount; ++k) {
        block[2 * k] = objectTable[k].held;
        block[2 * k + 1] = objectTable[k].current;
    }
}

void RestoreCheckpoint(int slot) {
    if (!CheckpointAt(slot)) return;
    const uint8_t* block = checkpointStates + slot * 2 * objectCount;
    for (int k = 0; k < objectCount; ++k) {
        objectTable[k].held = block[2 * k];
        objectTable[k].current = block[2 * k + 1];
    }
}
