// The merged states' check: the key keeps only the object bytes that can
// still steer the story, so states that differ in the rest are merged and
// only the first one's page is built. After the search, the values each byte
// takes over the states merged into a kept one (and over the ways that leave
// it alone) are spread, and each page is built again under them; a finding
// there gets a path from the first way in that brought its value.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "book/tables.h"
#include "device/record.h"
#include "page/builder.h"
#include "page/layout.h"
#include "shell/navigation.h"
#include "shell/rebuild.h"
#include "shell/window.h"
#include "tools/explore/search.h"

namespace explore::detail {

// A path to `state`, which differs from kept state `index` only in bytes the
// key leaves out: a real one when a single byte differs and a way into
// `index` brought its value, else the path to `index`.
Path Explorer::PathNear(uint32_t index, const std::string& state) const {
    const size_t objects = StateLayout().Objects();
    const std::string kept = StateAt(index);
    int differs = -1;
    for (size_t b = 0; b < 2 * static_cast<size_t>(objectCount); ++b) {
        if (kept[objects + b] == state[objects + b]) continue;
        if (differs >= 0) return PathTo(index);
        differs = static_cast<int>(b);
    }
    if (differs < 0) return PathTo(index);
    auto it = witnesses_.find(
        WitnessKey(index, static_cast<size_t>(differs),
                   static_cast<uint8_t>(state[objects + static_cast<size_t>(differs)])));
    if (it == witnesses_.end()) return PathTo(index);
    Path path = PathTo(it->second.first);
    path.insert(path.end(), steps_[it->second.second].begin(), steps_[it->second.second].end());
    return path;
}

// The values byte `b` takes over the states merged into state `index`.
std::vector<uint8_t> Explorer::ValuesOf(uint32_t index, size_t b) const {
    const uint8_t mask = values_[index * 2 * objectCount + b];
    const ObjectEntry& o = objectTable[b / 2];
    std::vector<uint8_t> values;
    for (int v = 0; v < 7; ++v)
        if (mask & (1u << v)) values.push_back(static_cast<uint8_t>(v));
    if (mask & 0x80)
        for (int v = 7; v < 256 && (b % 2 == 0 || v < o.count); ++v)
            values.push_back(static_cast<uint8_t>(v));
    return values;
}

void Explorer::AddFlow(uint32_t from, uint32_t to, const std::string& before,
                       const std::string& after) {
    if (options_.exact) return;
    const size_t objects = StateLayout().Objects();
    std::string changed(2 * static_cast<size_t>(objectCount), 0);
    for (size_t b = 0; b < changed.size(); ++b)
        changed[b] = before[objects + b] != after[objects + b];
    auto [it, fresh] = changeIds_.try_emplace(changed, static_cast<uint32_t>(changeSets_.size()));
    if (fresh) changeSets_.push_back(changed);
    flows_.push_back({from, to, it->second});
}

// A byte a way leaves alone carries every value it has in the state the way
// starts from on into the state it leads to, unless that state's key keeps
// the byte (then every state merged there has the one value kept).
void Explorer::SpreadValues() {
    const size_t bytes = 2 * static_cast<size_t>(objectCount);
    for (bool changed = true; changed;) {
        changed = false;
        for (const Flow& f : flows_) {
            const uint8_t* from = &values_[f.from * bytes];
            uint8_t* to = &values_[f.to * bytes];
            const std::string& written = changeSets_[f.changed];
            for (size_t b = 0; b < bytes; ++b) {
                const uint8_t more = from[b] & ~to[b];
                if (!more || written[b] || Kept(states_.data() + f.to * stride_, b)) continue;
                to[b] |= more;
                changed = true;
            }
        }
    }
}

// The key keeps only the bytes that steer the story, so states that differ in
// the rest were merged and only the first one's page was built. What the
// rest can change is what a page shows: the page is built again under every
// combination of the values each byte it reads, and the key left out, takes
// over the states merged into this one, and checked for messages, values
// shown unheld and a change when built again. The combinations may include
// one no reader reaches: that can only add a finding.
void Explorer::CheckUnkeptValues(uint32_t index, const std::string& pre, int draw, int drawRange) {
    const int paragraph = ParagraphOf(pre);
    if (paragraph <= 0 || static_cast<size_t>(paragraph) >= liveness_.reads.size()) return;
    const size_t objects = StateLayout().Objects();
    std::vector<std::pair<size_t, std::vector<uint8_t>>> unkept;
    size_t combinations = 1;
    for (int b : liveness_.reads[paragraph]) {
        if (Kept(pre.data(), static_cast<size_t>(b))) continue;
        unkept.push_back({objects + static_cast<size_t>(b), ValuesOf(index, b)});
        combinations *= std::max<size_t>(unkept.back().second.size(), 1);
        if (objectTable[b / 2].type == OBJECT_NUMBER || combinations > kMaxCombinations) {
            uncheckedPages_.insert(paragraph);
            return;
        }
    }
    if (unkept.empty()) return;
    // The navigation and the checkpoint slots (a page may offer a restore).
    const std::string around = pre.substr(0, objects) + pre.substr(StateLayout().Slots());
    auto seenBefore = [&](const std::string& state) {
        std::string key = around + static_cast<char>(draw + 1);
        for (int b : liveness_.reads[paragraph]) key += state[objects + static_cast<size_t>(b)];
        return !builtPages_.insert(key).second;
    };
    std::string state = pre;
    for (size_t n = 0; n < combinations; ++n) {
        size_t rest = n;
        for (const auto& [at, values] : unkept) {
            if (values.empty()) continue;
            state[at] = static_cast<char>(values[rest % values.size()]);
            rest /= values.size();
        }
        if (state == pre || seenBefore(state)) continue;
        Restore(state, snapshots_);
        device::MessageBoxLog().clear();
        if (draw >= 0) ForceRoll(drawRange, draw + 1);
        RebuildPage(mainWindow);
        for (const device::MessageBoxRecord& m : device::MessageBoxLog()) {
            const std::string text = device::Narrow(m.text);
            Note(report_.messages, seenMessages_, std::to_string(paragraph) + "|" + text, index,
                 paragraph, "raises \"" + text + "\" (objects as in the state below)", state);
        }
        const std::string post = Capture(snapshots_);
        if (inStory && pendingBuiltInPage == 0 && post != state) {
            const std::string signature = PageSignature();
            RebuildPage(mainWindow);
            if (PageSignature() != signature)
                Note(report_.unstablePages, seenUnstable_, std::to_string(paragraph), index,
                     paragraph, kUnstable, state);
        }
        ProbeShownValues(index, state, post);
    }
    device::MessageBoxLog().clear();
}

// After the search: each page built again under the values of the states
// merged into the one that built it.
void Explorer::CheckMergedStates() {
    if (options_.exact) return;
    SpreadValues();
    for (uint32_t index : visitedOrder_) {
        const std::string pre = StateAt(index);
        if (ReaderOf(pre).navigation.pendingBuiltInPage) continue;
        auto draws = facts_.buildDraws.find(ParagraphOf(pre));
        if (draws == facts_.buildDraws.end()) {
            CheckUnkeptValues(index, pre, -1, 0);
            continue;
        }
        for (int value = 0; value < draws->second; ++value)
            CheckUnkeptValues(index, pre, value, draws->second);
    }
}
}  // namespace explore::detail
