// A state of the explorer: a page about to be built, stored as the bytes of
// what the reader carries to it, so that states compare and hash as bytes:
// the reader's carried record (shell/reader_state.h), each object's two state
// bytes and each checkpoint slot. StateView reads a stored state by name; the
// functions below take one from the reader's globals, put one back, and make
// one from another.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "book/tables.h"
#include "shell/reader_state.h"

namespace explore::detail {

// Checkpoint slots hold a copy of every object; copies are kept once.
class SnapshotTable {
   public:
    uint32_t Intern(const std::string& bytes) {
        auto [it, fresh] = ids_.try_emplace(bytes, static_cast<uint32_t>(all_.size()));
        if (fresh) all_.push_back(bytes);
        return it->second;
    }
    const std::string& At(uint32_t id) const { return all_[id]; }

   private:
    std::unordered_map<std::string, uint32_t> ids_;
    std::vector<std::string> all_;
};

// A checkpoint slot as a state holds it: its copy of the objects by its id in
// the snapshot table (0 while the slot is not used).
struct SlotState {
    uint8_t used = 0;
    int16_t paragraph = 0;
    uint32_t snapshot = 0;
    bool operator==(const SlotState&) const = default;
};

// Where each part of a state lies. Object byte b is object b / 2's held byte
// when b is even, its value byte when odd (a number object's two bytes are
// its value, low byte first).
struct StateLayout {
    static constexpr size_t kFlags = offsetof(ReaderState, flags);
    static constexpr size_t kFlagsSize = sizeof(CarriedFlags);
    static constexpr size_t kObjects = sizeof(ReaderState);
    static constexpr size_t kSlotSize =
        sizeof(SlotState::used) + sizeof(SlotState::paragraph) + sizeof(SlotState::snapshot);
    static size_t Bytes() { return 2 * static_cast<size_t>(objectCount); }
    static size_t Slots() { return kObjects + Bytes(); }
    static size_t Size() { return Slots() + checkpointCount * kSlotSize; }
};

class StateView {
   public:
    StateView(const char* bytes) : bytes_(bytes) {}
    StateView(const std::string& state) : bytes_(state.data()) {}

    ReaderState Reader() const;
    NavigationState Navigation() const { return Reader().navigation; }
    int16_t Page() const { return Navigation().currentParagraph; }
    int16_t Story() const { return Navigation().storyParagraph; }
    bool BuiltInPending() const { return Navigation().pendingBuiltInPage != 0; }
    // The carried flags as bytes: sets of them compare as the states do.
    std::string Carried() const {
        return std::string(bytes_ + StateLayout::kFlags, StateLayout::kFlagsSize);
    }
    uint8_t Byte(size_t b) const { return static_cast<uint8_t>(bytes_[StateLayout::kObjects + b]); }
    bool Held(int k) const { return Byte(2 * static_cast<size_t>(k)) != 0; }
    SlotState Slot(int k) const;

   private:
    const char* bytes_;
};

// The state of the reader's globals, its slots' copies interned.
std::string Capture(SnapshotTable& snapshots);
void Restore(StateView state, const SnapshotTable& snapshots);
// The objects held and their values, and the slots used, for a reader of the
// report.
std::string Describe(StateView state);

void SetByte(std::string& state, size_t b, uint8_t value);
void SetCarried(std::string& state, const std::string& carry);
// `state` made to build `page` next, with `story` the story paragraph behind
// it, as a story page or a side page, and the engine's carried flags `carry`.
std::string AtPage(std::string state, int16_t page, int16_t story, bool inStory,
                   const std::string& carry);
// `state` with no checkpoint slot used.
std::string WithoutSlots(std::string state);

}  // namespace explore::detail
