// The search: every state a book can reach from a fresh start at paragraph 2,
// each page built by the reader's own rebuild and each way of leaving it
// taken by the reader's own window procedure (pages.h). States whose keys are
// equal, differing only in what cannot change where the story goes, are
// merged: the first found is kept and visited, and the values each object
// byte takes over the states merged into it are kept for the passes that
// judge what those states show (docs/explore.md). Private to the explorer:
// explorer.h is its interface.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
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

#include "tools/bookc/bookc.h"
#include "tools/explore/explorer.h"
#include "tools/explore/facts.h"
#include "tools/explore/liveness.h"
#include "tools/explore/pages.h"
#include "tools/explore/state.h"

namespace explore::detail {

// A state waiting in a queue of states to visit, taken least first: by its
// rank (what the queue weighs first), then the shallowest, then the first kept.
struct Ranked {
    uint32_t rank, depth, index;
    bool operator>(const Ranked& o) const {
        return rank != o.rank     ? rank > o.rank
               : depth != o.depth ? depth > o.depth
                                  : index > o.index;
    }
};
using RankedQueue = std::priority_queue<Ranked, std::vector<Ranked>, std::greater<Ranked>>;

using Clock = std::chrono::steady_clock;

// A combination of values builds no more pages than this; a page reading
// more bytes than one can cover is listed as not checked.
constexpr size_t kMaxCombinations = 4096;

// The report's lists of findings, each finding noted once by its key,
// whichever pass finds it.
class Findings {
   public:
    explicit Findings(Report& report) : report_(report) {}
    Report& report() { return report_; }
    // Whether `key` is new to `list`: the finding is then to be added.
    bool First(const std::vector<Finding>& list, const std::string& key) {
        return seen_.insert({&list, key}).second;
    }

   private:
    Report& report_;
    std::set<std::pair<const void*, std::string>> seen_;
};

class Search {
   public:
    Search(const bookc::Book& book, const Options& options, const StaticFacts& facts,
           const Liveness& liveness, Pages& pages, Findings& findings);

    // From a fresh start until every state is visited or a bound stops it.
    void Run(Clock::time_point start);
    // Builds the page of stored state `index` and takes every way off it.
    void Visit(uint32_t index);
    // After the last visit: carries each byte's values along the ways that
    // leave it alone (ValuesOf).
    void SpreadValues();
    // The report's parts the search judges: the paragraphs reached, the
    // endings, the answer boxes never shown and, when it finished, the
    // checkpoints saved with no good ending ahead.
    void Finish(Report& report) const;

    size_t Count() const { return nodes_.size(); }
    StateView At(uint32_t i) const { return StateView(states_.data() + i * stride_); }
    std::string StateAt(uint32_t i) const { return states_.substr(i * stride_, stride_); }
    uint32_t Depth(uint32_t i) const { return nodes_[i].depth; }
    const std::vector<uint32_t>& VisitOrder() const { return visitOrder_; }
    // Whether the key of `state` keeps object byte `b`.
    bool Kept(StateView state, size_t b) const;
    // The values byte `b` takes over the states merged into state `index`
    // and, once spread, the states its values flow from.
    std::vector<uint8_t> ValuesOf(uint32_t index, size_t b) const;
    // What the search has not met yet: the paragraphs with text not reached
    // and those with an answer box not shown.
    std::set<int> Unmet() const;
    const std::string& CutShort() const { return cutShort_; }
    // A page that overwrites was entered while skipping (the key trusted it).
    bool Unsound() const { return unsound_; }
    size_t Edges() const { return edges_; }

    Path PathTo(uint32_t index) const;
    // A path to `state`, which differs from kept state `index` only in bytes
    // its key leaves out.
    Path PathNear(uint32_t index, const std::string& state) const;
    // Adds a finding at state `index`, or at `state` merged into it, unless
    // `list` has one of the same key.
    void Note(Findings& findings, std::vector<Finding>& list, const std::string& key,
              uint32_t index, int paragraph, const std::string& what,
              const std::string& state = std::string()) const;

   private:
    struct Node {
        uint32_t parent;
        uint32_t step;  // into steps_: the way from the parent
        uint32_t depth;
    };
    // The states are stored whole, one after another; the set compares them by
    // Key(), which leaves out what cannot change their future.
    struct KeyHash {
        const Search* search;
        size_t operator()(uint32_t i) const {
            return std::hash<std::string_view>()(search->Key(i));
        }
    };
    struct KeyEqual {
        const Search* search;
        bool operator()(uint32_t a, uint32_t b) const { return search->Key(a) == search->Key(b); }
    };
    // A way from one kept state to another, with the bytes it changed (an
    // index into changeSets_); the bytes it left alone carry their values on.
    struct Flow {
        uint32_t from, to, changed;
    };

    const char* KeptMask(StateView state) const;
    std::string_view Key(uint32_t i) const;
    uint32_t Add(const std::string& state, uint32_t parent, const Path& steps);
    uint32_t InternSteps(const Path& steps);
    void AddFlow(uint32_t from, uint32_t to, StateView before, StateView after);
    void VisitBuild(uint32_t index, int draw, int drawRange);
    void JudgeStoryPage(uint32_t index, int paragraph, const std::vector<Action>& actions);
    void TakeWays(uint32_t index, int paragraph, const std::vector<Action>& actions,
                  const std::string& pre, const std::string& post);
    void RestoreEdges(uint32_t index, const std::string& pre, const std::string& post);
    void CheckChance(int paragraph, const HotwordRecord& r);
    void ProbeShownValues(uint32_t index, const std::string& pre, const std::string& post);
    bool OutOfTime(Clock::time_point start) const;

    const bookc::Book& book_;
    const Options& options_;
    const StaticFacts& facts_;
    const Liveness& liveness_;
    Pages& pages_;
    Findings& findings_;
    // For each story paragraph and side page (0 for a story page), the bytes a
    // key keeps: 1 for kept.
    std::vector<char> keptMasks_;
    size_t stride_ = StateLayout::Size();
    std::string states_;
    std::vector<Node> nodes_;
    mutable std::string keys_[2];  // the two keys a comparison builds
    mutable int nextKey_ = 0;
    std::unordered_set<uint32_t, KeyHash, KeyEqual> index_{16, KeyHash{this}, KeyEqual{this}};
    std::vector<Path> steps_;
    std::map<std::string, uint32_t> stepIds_;
    std::vector<uint32_t> visitOrder_;
    // The next state to visit: least met paragraph first.
    RankedQueue pending_;
    std::map<int16_t, uint32_t> met_;
    std::unordered_set<uint32_t> sideOpened_;  // side page << 16 | story paragraph
    size_t edges_ = 0;
    std::string cutShort_;
    bool unsound_ = false;

    std::set<int> reached_;
    std::map<int, uint32_t> endingFirst_;  // paragraph -> first state that shows it
    std::set<uint32_t> goodEndingStates_;
    std::vector<std::pair<uint32_t, uint32_t>> storyEdges_;
    std::vector<std::pair<uint32_t, int>> checkpointSaves_;  // state, slot
    std::set<std::string> chancesSeen_;
    std::set<std::pair<int, std::pair<std::string, int>>> answersSeen_;

    // For each state kept, each object byte's values over every state merged
    // into it and every state its values flow from: bit v for value v, the
    // top bit for any value from 7 up.
    std::vector<uint8_t> values_;
    std::vector<Flow> flows_;
    std::vector<std::string> changeSets_;  // 1 for each byte changed
    std::unordered_map<std::string, uint32_t> changeIds_;
    // (state, byte, value) -> the parent and steps of the first way in that
    // brought the value to a state merged there.
    std::unordered_map<uint64_t, std::pair<uint32_t, uint32_t>> witnesses_;
};

}  // namespace explore::detail
