// What the explorer's files share: the Explorer class, whose parts live each
// in its own file (search.cpp: the search and its report; merged_values.cpp:
// the pages built again under the states merged into one; pages_alone.cpp:
// each page built alone; checkpoint_proof.cpp: a good ending ahead of each
// checkpoint; aim.cpp: a search cut short aimed at what it left unmet), and
// the helpers they use (helpers.cpp). Private to the explorer: explorer.h is
// its interface.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <queue>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "book/state.h"
#include "book/tables.h"
#include "script/hotwords.h"
#include "shell/reader_state.h"
#include "tools/bookc/bookc.h"
#include "tools/explore/explorer.h"
#include "tools/explore/liveness.h"

namespace explore::detail {

// ---------------------------------------------------------------------------
// States

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

// The reader's globals a page build and its choices read, in a fixed layout:
// the reader's carried record (shell/reader_state.h) as its bytes, each
// object's two bytes, then each checkpoint slot.
struct StateLayout {
    static constexpr size_t kFlags = offsetof(ReaderState, flags);
    static constexpr size_t kFlagsSize = sizeof(CarriedFlags);
    size_t Objects() const { return sizeof(ReaderState); }
    size_t Slots() const { return Objects() + 2 * objectCount; }
    size_t Size() const { return Slots() + checkpointCount * (1 + 2 + 4); }
};

const char* const kUnstable =
    "shows other text or choices when built again with no choice taken: its own tags change "
    "what its conditions read";

template <typename T>
void Put(std::string& s, const T& v) {
    s.append(reinterpret_cast<const char*>(&v), sizeof v);
}
template <typename T>
void Get(const std::string& s, size_t& at, T& v) {
    std::memcpy(&v, s.data() + at, sizeof v);
    at += sizeof v;
}

// The reader's record at the start of a state.
ReaderState ReaderOf(const char* state);
inline ReaderState ReaderOf(const std::string& state) {
    return ReaderOf(state.data());
}
// A state's carried flags as bytes: sets of them compare as the states do.
inline std::string CarriedOf(const std::string& state) {
    return state.substr(StateLayout::kFlags, StateLayout::kFlagsSize);
}
void SetCarried(std::string& state, const std::string& carry);

std::string Capture(SnapshotTable& snapshots);
void Restore(const std::string& s, const SnapshotTable& snapshots);
std::string Describe(const std::string& s);
int16_t ParagraphOf(const std::string& s);
// `state` made to build `page` next, with `story` the story paragraph behind
// it, as a story page or a side page, and the engine's carried flags `carry`.
std::string AtPage(std::string state, int16_t page, int16_t story, bool inStory,
                   const std::string& carry);

// Makes the reader's next roll of 1 to `range` give `roll`.
void ForceRoll(int range, int roll);

// The roll bands of a chance hotword: the first and last roll of each
// outcome, with the outcome's target (paragraph number minus one).
struct Band {
    int low, high;
    int16_t target;
};
std::vector<Band> RollBands(const HotwordRecord& r, int& range);

// ---------------------------------------------------------------------------
// What the source says that the tables do not.
struct StaticFacts {
    std::map<int, const bookc::Ending*> endings;
    // paragraph -> how many values the first random value its build draws
    // (`<R %o z>`) can give
    std::map<int, int> buildDraws;
    int DrawRange(int paragraph) const {  // 0 when the build draws nothing
        auto it = buildDraws.find(paragraph);
        return it == buildDraws.end() ? 0 : it->second;
    }
    std::map<int, std::set<int>> shownValues;  // paragraph -> objects an <l> shows
    // paragraph -> (first answer, first target) of each answer box written
    std::map<int, std::set<std::pair<std::string, int>>> answerBoxes;
    std::set<int> withText;
    std::set<int> saves;  // paragraphs that save a checkpoint
};
StaticFacts ReadFacts(const bookc::Book& book);

// ---------------------------------------------------------------------------

// Everything a page offers, with whether it leads on through the story.
struct Action {
    Step step;
    bool wayOn = false;  // for a story page: leads somewhere but the menu's pages
    bool story = false;  // a move within the story, not through the menu
};
std::string ButtonText(int16_t id);
std::string PageSignature();
std::vector<uint8_t> EveryValue(int b, uint8_t start, int below);
bool PageScanned();
std::string NeverComesUp(const HotwordRecord& r);

// A combination of values builds no more pages than this; a page reading
// more unkept bytes is listed as not checked.
constexpr size_t kMaxCombinations = 4096;

class Explorer {
   public:
    Explorer(const bookc::Book& book, const Options& options)
        : book_(book),
          options_(options),
          facts_(ReadFacts(book)),
          liveness_(ComputeLiveness(book)) {
        const size_t size = liveness_.live.size(), bytes = 2 * static_cast<size_t>(objectCount);
        keptMasks_.assign(size * size * bytes, 0);
        for (size_t story = 0; story < size; ++story)
            for (size_t page = 0; page < size; ++page) {
                if (page && !liveness_.side[page]) continue;
                char* mask = &keptMasks_[(story * size + page) * bytes];
                for (size_t b = 0; b < bytes; ++b) mask[b] = liveness_.live[story][b];
                for (int b : liveness_.reads[page])
                    if (b % 2 == 0) mask[b] = 1;
            }
    }

    Report Run();

   private:
    struct Node {
        uint32_t parent;
        uint32_t step;  // into steps_: the way from the parent
        uint32_t depth;
    };
    // The states are stored whole, one after another; the set compares them by
    // Key(), which leaves out what cannot change their future.
    struct KeyHash {
        const Explorer* explorer;
        size_t operator()(uint32_t i) const {
            return std::hash<std::string_view>()(explorer->Key(i));
        }
    };
    struct KeyEqual {
        const Explorer* explorer;
        bool operator()(uint32_t a, uint32_t b) const {
            return explorer->Key(a) == explorer->Key(b);
        }
    };
    // The next state to visit: least met paragraph first, then the shallowest.
    struct Pending {
        uint32_t met, depth, index;
        bool operator>(const Pending& o) const {
            return met != o.met       ? met > o.met
                   : depth != o.depth ? depth > o.depth
                                      : index > o.index;
        }
    };

    std::string StateAt(uint32_t i) const { return states_.substr(i * stride_, stride_); }
    const char* KeptMask(const char* state) const;
    bool Kept(const char* state, size_t b) const;
    std::string_view Key(uint32_t i) const;
    void AddFlow(uint32_t from, uint32_t to, const std::string& before, const std::string& after);
    void SpreadValues();
    void CheckMergedStates();
    void CheckPagesAlone();
    std::set<int> Unmet() const;
    void Aim(std::chrono::steady_clock::time_point start);
    std::vector<uint8_t> AloneValues(int paragraph, int b, uint8_t start) const;
    void AloneLints(const std::string& state, const std::string& post, const std::string& signature,
                    bool side, std::vector<std::string>& whats);
    struct Proof;
    // Whether a node has a good ending ahead, and the depth of the shallowest
    // node still being judged that a failure rests on.
    struct Verdict {
        bool good;
        int low, high;  // the shallowest and deepest nodes still being judged a failure rests on
    };
    Verdict ProveNode(Proof& proof, const std::string& node, int depth);
    bool GoodEndingAhead(Proof& proof, int page, const std::set<std::string>& carried,
                         std::string& why);
    void JudgeCheckpoints(const std::set<int>& hopeful, const std::set<std::string>& carried,
                          const std::string& fresh);
    uint32_t Add(const std::string& state, uint32_t parent, const Path& steps);
    void RestoreEdges(uint32_t index, const std::string& pre, const std::string& post);
    void Visit(uint32_t index);
    void VisitBuild(uint32_t index, int draw, int drawRange);
    std::vector<Action> Actions() const;
    void Perform(const Step& step);
    Path PathTo(uint32_t index) const;
    Path PathNear(uint32_t index, const std::string& state) const;
    uint32_t InternSteps(const Path& steps);
    static uint64_t WitnessKey(uint32_t index, size_t b, uint8_t v) {
        return (static_cast<uint64_t>(index) << 16) | (b << 8) | v;
    }
    void Note(std::vector<Finding>& list, std::set<std::string>& seen, const std::string& key,
              uint32_t index, int paragraph, const std::string& what,
              const std::string& state = std::string());
    void ProbeShownValues(uint32_t index, const std::string& pre, const std::string& post);
    std::vector<int> ShownUnheld(const std::string& pre, const std::string& post);
    std::vector<std::string> BuildAlone(const std::string& state, int draw, int drawRange,
                                        std::string& post, std::string& signature);
    bool CheckBlocksAlone(int paragraph, const std::string& base,
                          std::vector<std::pair<std::string, std::string>>& alarms,
                          std::set<std::string>& carriesAfter);
    void CheckUnkeptValues(uint32_t index, const std::string& pre, int draw, int drawRange);
    std::vector<uint8_t> ValuesOf(uint32_t index, size_t b) const;
    void CheckChance(int paragraph, const HotwordRecord& r);
    void Finish(Report& report);

    const bookc::Book& book_;
    Options options_;
    StaticFacts facts_;
    SnapshotTable snapshots_;
    Liveness liveness_;
    // For each story paragraph and side page (0 for a story page), the bytes a
    // key keeps: 1 for kept.
    std::vector<char> keptMasks_;
    size_t stride_ = StateLayout().Size();
    std::string states_;
    std::vector<Node> nodes_;
    mutable std::string keys_[2];  // the two keys a comparison builds
    mutable int nextKey_ = 0;
    std::unordered_set<uint32_t, KeyHash, KeyEqual> index_{16, KeyHash{this}, KeyEqual{this}};
    std::vector<Path> steps_;
    std::map<std::string, uint32_t> stepIds_;
    size_t edges_ = 0;
    std::vector<std::pair<uint32_t, uint32_t>> storyEdges_;
    std::set<int> reached_;
    std::map<int, uint32_t> endingFirst_;  // paragraph -> first state that shows it
    std::set<uint32_t> goodEndingStates_;
    std::vector<std::pair<uint32_t, int>> checkpointSaves_;          // state, slot
    std::map<std::string, std::pair<int, std::string>> chanceSeen_;  // key -> paragraph, text
    std::set<std::pair<int, std::pair<std::string, int>>> answersSeen_;
    std::priority_queue<Pending, std::vector<Pending>, std::greater<Pending>> pending_;
    std::map<int16_t, uint32_t> met_;
    std::unordered_set<uint32_t> sideOpened_;  // side page << 16 | story paragraph
    bool unsound_ = false;
    Report report_;
    std::set<std::string> seenDeadEnds_, seenMessages_, seenUnheld_, seenUnstable_, seenOutcomes_;
    // Builds already checked: the page, the carried flags, the slots, the draw
    // and every byte the page reads.
    std::unordered_set<std::string> builtPages_;
    std::set<int> uncheckedPages_;
    std::set<int> mergedUnchecked_;  // pages the merged states' check could not build
    // For each state kept, each object byte's values over every state merged
    // into it and every state its values flow from: bit v for value v, the
    // top bit for any value from 7 up.
    std::vector<uint8_t> values_;
    // A way from one kept state to another, with the bytes it changed (an
    // index into changeSets_); the bytes it left alone carry their values on.
    struct Flow {
        uint32_t from, to, changed;
    };
    std::vector<Flow> flows_;
    std::vector<std::string> changeSets_;  // 1 for each byte changed
    std::unordered_map<std::string, uint32_t> changeIds_;
    std::vector<uint32_t> visitedOrder_;
    // (state, byte, value) -> the parent and steps of the first way in that
    // brought the value to a state merged there.
    std::unordered_map<uint64_t, std::pair<uint32_t, uint32_t>> witnesses_;
};

}  // namespace explore::detail
