#include "tools/explore/state.h"

#include <cstring>
#include <string>

#include "base/app_state.h"
#include "book/state.h"
#include "book/tables.h"

namespace explore::detail {
namespace {

template <typename T>
void Put(std::string& s, const T& v) {
    s.append(reinterpret_cast<const char*>(&v), sizeof v);
}
template <typename T>
T Get(const char* at) {
    T v;
    std::memcpy(&v, at, sizeof v);
    return v;
}

// Slot k's copy of the objects in the reader's table.
uint8_t* SlotObjects(int k) {
    return checkpointStates + StateLayout::Bytes() * static_cast<size_t>(k);
}

}  // namespace

ReaderState StateView::Reader() const {
    return Get<ReaderState>(bytes_);
}

SlotState StateView::Slot(int k) const {
    const char* at =
        bytes_ + StateLayout::Slots() + StateLayout::kSlotSize * static_cast<size_t>(k);
    SlotState slot;
    slot.used = Get<uint8_t>(at);
    slot.paragraph = Get<int16_t>(at + sizeof slot.used);
    slot.snapshot = Get<uint32_t>(at + sizeof slot.used + sizeof slot.paragraph);
    return slot;
}

std::string Capture(SnapshotTable& snapshots) {
    std::string s;
    Put(s, CaptureReaderState());
    for (int k = 0; k < objectCount; ++k) Put(s, objectTable[k].number);
    for (int k = 0; k < checkpointCount; ++k) {
        const CheckpointSlot& slot = checkpointSlots[k];
        Put(s, slot.used);
        Put(s, slot.paragraph);
        const std::string objects(reinterpret_cast<const char*>(SlotObjects(k)),
                                  StateLayout::Bytes());
        Put(s, slot.used ? snapshots.Intern(objects) : uint32_t{0});
    }
    return s;
}

void Restore(StateView state, const SnapshotTable& snapshots) {
    RestoreReaderState(state.Reader());
    for (int k = 0; k < objectCount; ++k) {
        objectTable[k].held = state.Byte(2 * static_cast<size_t>(k));
        objectTable[k].current = state.Byte(2 * static_cast<size_t>(k) + 1);
    }
    for (int k = 0; k < checkpointCount; ++k) {
        const SlotState slot = state.Slot(k);
        checkpointSlots[k].used = slot.used;
        checkpointSlots[k].paragraph = slot.paragraph;
        if (slot.used)
            std::memcpy(SlotObjects(k), snapshots.At(slot.snapshot).data(), StateLayout::Bytes());
    }
    pageDirty = 0;
    choiceTaken = 0;
    scrollOffset = 0;
}

std::string Describe(StateView state) {
    std::string out;
    for (int k = 0; k < objectCount; ++k) {
        const ObjectEntry& o = objectTable[k];
        const uint8_t held = state.Byte(2 * static_cast<size_t>(k));
        const uint8_t current = state.Byte(2 * static_cast<size_t>(k) + 1);
        const int16_t number = static_cast<int16_t>(held | current << 8);
        std::string item;
        if (o.type == OBJECT_NUMBER) {
            if (number != 0) item = std::string(o.name) + "=" + std::to_string(number);
        } else if (held) {
            item = o.name;
            if (o.type == OBJECT_TEXT && current < o.count)
                item +=
                    " (" + std::string(static_cast<const char* const*>(o.values)[current]) + ")";
        }
        if (item.empty()) continue;
        out += (out.empty() ? "" : ", ") + item;
    }
    std::string slots;
    for (int k = 0; k < checkpointCount; ++k)
        if (state.Slot(k).used) slots += (slots.empty() ? "" : " ") + std::to_string(k);
    if (out.empty()) out = "nothing held";
    if (!slots.empty()) out += "; checkpoints saved: " + slots;
    return out;
}

void SetByte(std::string& state, size_t b, uint8_t value) {
    state[StateLayout::kObjects + b] = static_cast<char>(value);
}

void SetCarried(std::string& state, const std::string& carry) {
    state.replace(StateLayout::kFlags, StateLayout::kFlagsSize, carry);
}

std::string AtPage(std::string state, int16_t page, int16_t story, bool inStory,
                   const std::string& carry) {
    ReaderState reader = StateView(state).Reader();
    reader.navigation.currentParagraph = page;
    reader.navigation.storyParagraph = story;
    reader.navigation.inStory = inStory ? 1 : 0;
    std::memcpy(state.data(), &reader, sizeof reader);
    SetCarried(state, carry);
    return state;
}

std::string WithoutSlots(std::string state) {
    for (size_t at = StateLayout::Slots(); at < state.size(); ++at) state[at] = 0;
    return state;
}

}  // namespace explore::detail
