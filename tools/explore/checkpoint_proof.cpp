#include "tools/explore/checkpoint_proof.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/app_state.h"
#include "book/tables.h"
#include "device/record.h"
#include "shell/navigation.h"
#include "tools/explore/search.h"

namespace explore::detail {
namespace {

constexpr int kFar = 1 << 30;  // the distance of a page with no good page ahead
constexpr size_t kProofBudget = 200000, kProofDepth = 1000;
constexpr char kUnknown = static_cast<char>(0xff);
// Pages read under more combinations than this look for a proven node that
// knows less.
constexpr size_t kSubsumedFrom = 4;

// A node, as the key its judgements are remembered by: its page, the carried
// flags, each object byte (kUnknown when not known) and, for each, 1 when it
// is known only from a read.
class Node {
   public:
    explicit Node(const std::string& key) : key_(key) {}
    static std::string Make(int16_t page, const std::string& carried, const std::string& known,
                            const std::string& fromRead) {
        return std::string(reinterpret_cast<const char*>(&page), sizeof page) + carried + known +
               fromRead;
    }
    int16_t Page() const {
        int16_t page;
        std::memcpy(&page, key_.data(), sizeof page);
        return page;
    }
    std::string Carried() const { return key_.substr(kFlags, StateLayout::kFlagsSize); }
    char Known(size_t b) const { return key_[kKnown + b]; }
    bool FromRead(size_t b) const { return key_[kKnown + StateLayout::Bytes() + b] != 0; }
    // What the node claims, whatever was read: its key without the flags.
    std::string Claim() const { return key_.substr(0, kKnown + StateLayout::Bytes()); }
    // Whether `claim` claims a good ending ahead in every state this node
    // allows: the same page and flags, knowing nothing this one does not.
    bool CoveredBy(const std::string& claim) const {
        if (claim.compare(0, kKnown, key_, 0, kKnown) != 0) return false;
        for (size_t b = 0; b < StateLayout::Bytes(); ++b)
            if (claim[kKnown + b] != kUnknown && claim[kKnown + b] != Known(b)) return false;
        return true;
    }

   private:
    static constexpr size_t kFlags = sizeof(int16_t);
    static constexpr size_t kKnown = kFlags + StateLayout::kFlagsSize;
    const std::string& key_;
};

// Whether a node has a good ending ahead, and the depths of the nodes still
// being judged that a failure rests on.
struct Verdict {
    bool good;
    int low, high;  // the shallowest and deepest nodes still being judged a failure rests on
};
constexpr Verdict kProven{true, kFar, -1}, kFailed{false, kFar, -1};

// The bytes a node's page reads to steer and the node does not know, each
// with every value it may take.
using Reads = std::vector<std::pair<size_t, std::vector<uint8_t>>>;

// A way on to try: 0 forgetting what was only read, 1 remembering it; the
// fewest links from its page to a good one; the node it leads to.
using Next = std::tuple<int, int, std::string>;

class Proof {
   public:
    Proof(const StaticFacts& facts, const Liveness& liveness, Pages& pages, const PagesAlone& alone)
        : facts_(facts), liveness_(liveness), pages_(pages), alone_(alone) {
        Distances();
    }

    // Whether every state saved at `page` has a good ending ahead, from each
    // set of carried flags a page can start with; when not shown, `why` says
    // what stopped the proof.
    bool GoodEndingAhead(int page, std::string& why) {
        builds_ = 0;
        exhausted_ = false;
        for (const std::string& carry : alone_.carried) {
            const std::string node = Node::Make(static_cast<int16_t>(page), carry,
                                                std::string(StateLayout::Bytes(), kUnknown),
                                                std::string(StateLayout::Bytes(), 0));
            if (Prove(node, 0).good) continue;
            device::MessageBoxLog().clear();
            why = exhausted_ ? "not judged within " + std::to_string(kProofBudget) + " page builds"
                             : Counterexample(node);
            return false;
        }
        device::MessageBoxLog().clear();
        return true;
    }

   private:
    // Fewest links from each page to a good one, for the order ways are tried.
    void Distances() {
        const size_t pages = liveness_.targets.size();
        distance_.assign(pages, kFar);
        std::deque<int> work(alone_.goodAhead.begin(), alone_.goodAhead.end());
        for (int p : work) distance_[p] = 0;
        std::vector<std::vector<int>> from(pages);
        for (size_t p = 0; p < pages; ++p)
            for (int t : liveness_.targets[p])
                if (t > 0 && static_cast<size_t>(t) < pages) from[t].push_back(static_cast<int>(p));
        for (; !work.empty(); work.pop_front())
            for (int p : from[work.front()])
                if (distance_[p] == kFar) {
                    distance_[p] = distance_[work.front()] + 1;
                    work.push_back(p);
                }
    }

    // Depth first: under each combination of what its page reads and it does
    // not know, the ways on are tried nearest a good ending first, each first
    // forgetting every value known only from a read (a node that knows less,
    // so more often judged already) and then remembering them; the first that
    // proves settles the combination, and a failing combination fails the
    // node at once.
    Verdict Prove(const std::string& key, int depth) {
        if (std::optional<Verdict> known = Settled(key, depth)) return *known;
        const Node node(key);
        Reads open;
        size_t combinations = 1;
        if (!Open(node, open, combinations)) {
            judged_[key] = false;
            return kFailed;
        }
        if (combinations > kSubsumedFrom && Subsumed(node)) return kProven;
        onStack_[key] = depth;
        serials_.resize(depth + 1);
        serials_[depth] = ++serial_;
        Verdict verdict = kProven;
        for (size_t c = 0; c < combinations && verdict.good; ++c) {
            const std::string state = StateOf(node, open, c);
            std::vector<Next> next = WaysOn(node, open, state);
            verdict = FirstProven(next, depth);
            if (!verdict.good)
                failedUnder_[key] = {Combination(open, state),
                                     next.empty() ? "" : std::get<2>(next[0])};
        }
        onStack_.erase(key);
        serials_.resize(depth);
        return Conclude(key, depth, verdict, combinations);
    }

    // A verdict known without building the node's page: judged before, a
    // good page or a page no proof passes, a node still being judged (a cycle
    // proves nothing), a failure that rests on nodes still being judged, or
    // the budget spent.
    std::optional<Verdict> Settled(const std::string& key, int depth) {
        if (auto it = judged_.find(key); it != judged_.end()) return it->second ? kProven : kFailed;
        const int16_t paragraph = Node(key).Page();
        if (alone_.goodAhead.count(paragraph)) return kProven;
        if (paragraph < 8 || !facts_.withText.count(paragraph) || liveness_.side[paragraph] ||
            facts_.endings.count(paragraph))
            return kFailed;
        if (auto it = onStack_.find(key); it != onStack_.end())
            return Verdict{false, it->second, it->second};
        if (auto it = provisional_.find(key); it != provisional_.end()) {
            const Provisional& p = it->second;
            if (static_cast<size_t>(p.high) < serials_.size() && serials_[p.high] == p.serial)
                return Verdict{false, p.low, p.high};
            provisional_.erase(it);
        }
        if (builds_ >= kProofBudget || static_cast<size_t>(depth) >= kProofDepth) {
            exhausted_ = true;
            return Verdict{false, 0, 0};
        }
        return std::nullopt;
    }

    // The bytes the node's page reads to steer that it does not know; false
    // when the node is not judged: too many combinations, or a number object
    // (its two bytes are one value, not each byte's values).
    bool Open(const Node& node, Reads& open, size_t& combinations) const {
        const int16_t paragraph = node.Page();
        const StateView fresh(alone_.fresh);
        for (int b : liveness_.reads[paragraph]) {
            const size_t byte = static_cast<size_t>(b);
            if (node.Known(byte) != kUnknown || !liveness_.live[paragraph][byte]) continue;
            open.push_back({byte, EveryValue(b, fresh.Byte(byte), static_cast<uint8_t>(kUnknown))});
            combinations *= open.back().second.size();
        }
        return combinations <= kMaxCombinations &&
               std::none_of(open.begin(), open.end(), [](const auto& r) {
                   return objectTable[r.first / 2].type == OBJECT_NUMBER;
               });
    }

    // A page read under many combinations: a proven node of the same page and
    // carried flags that knows no more proves this one (what that node claims
    // holds in every state it allows, and this one allows fewer).
    bool Subsumed(const Node& node) const {
        auto it = provenAt_.find(node.Page());
        if (it == provenAt_.end()) return false;
        return std::any_of(it->second.begin(), it->second.end(),
                           [&](const std::string& claim) { return node.CoveredBy(claim); });
    }

    // The state of the node's page under combination `c` of what it reads.
    std::string StateOf(const Node& node, const Reads& open, size_t c) const {
        std::string state = AtPage(alone_.fresh, node.Page(), node.Page(), true, node.Carried());
        for (size_t b = 0; b < StateLayout::Bytes(); ++b)
            if (node.Known(b) != kUnknown) SetByte(state, b, static_cast<uint8_t>(node.Known(b)));
        for (const auto& [b, values] : open) {
            SetByte(state, b, values[c % values.size()]);
            c /= values.size();
        }
        return state;
    }

    // The nodes the story's ways on from `state` lead to (each draw of the
    // page forced), each forgetting what was only read and remembering it,
    // in the order they are tried.
    std::vector<Next> WaysOn(const Node& node, const Reads& open, const std::string& state) {
        std::vector<bool> opened(StateLayout::Bytes(), false);
        for (const auto& read : open) opened[read.first] = true;
        std::vector<Next> next;
        const int range = facts_.DrawRange(node.Page());
        for (int draw = range ? 0 : -1; draw < range; ++draw) {
            pages_.Build(state, draw, range);
            ++builds_;
            const std::string post = pages_.Capture();
            for (const Action& a : pages_.Actions()) {
                if (!a.story) continue;
                pages_.Restore(post);
                pages_.Perform(a.step);
                if (!inStory || pendingBuiltInPage != 0) continue;
                const int16_t target = currentParagraph;
                if (target <= 0 || static_cast<size_t>(target) >= liveness_.live.size()) continue;
                NextNodes(node, opened, state, pages_.Capture(), target, next);
            }
        }
        std::sort(next.begin(), next.end());
        next.erase(std::unique(next.begin(), next.end()), next.end());
        return next;
    }

    // The two nodes a way from `state` to `after` at page `target` leads to.
    // Each keeps a byte only while the target's pages still read it to steer;
    // remembering, it keeps what the page wrote and what was known before it
    // or read by it, and marks what it knows only from a read; forgetting, it
    // keeps only what was written since the checkpoint.
    void NextNodes(const Node& node, const std::vector<bool>& opened, StateView state,
                   StateView after, int16_t target, std::vector<Next>& next) const {
        const size_t bytes = StateLayout::Bytes();
        std::string remembered, forgotten, valuesRead(bytes, 0);
        for (size_t b = 0; b < bytes; ++b) {
            const char v = static_cast<char>(after.Byte(b));
            const bool written = after.Byte(b) != state.Byte(b);
            const bool keep = liveness_.live[target][b] && v != kUnknown;
            // known before this page, or read by it under this combination
            const bool seen = node.Known(b) != kUnknown || opened[b];
            const bool wasRead = node.Known(b) == kUnknown || node.FromRead(b);
            remembered += keep && (written || seen) ? v : kUnknown;
            valuesRead[b] = keep && !written && seen && wasRead;
            forgotten += keep && (written || !wasRead) ? v : kUnknown;
        }
        const std::string carried = after.Carried();
        next.push_back(
            {0, distance_[target], Node::Make(target, carried, forgotten, std::string(bytes, 0))});
        next.push_back({1, distance_[target], Node::Make(target, carried, remembered, valuesRead)});
    }

    // The first way on that proves, or why none does: the shallowest and
    // deepest nodes still being judged that the failures rest on.
    Verdict FirstProven(const std::vector<Next>& next, int depth) {
        Verdict some = kFailed;
        for (const auto& [remembering, distance, key] : next) {
            const Verdict v = Prove(key, depth + 1);
            if (v.good) return v;
            some.low = std::min(some.low, v.low);
            // Resting on this node itself is no dependence; the deepest other
            // is at most its parent.
            if (v.low < depth) some.high = std::max(some.high, std::min(v.high, depth - 1));
        }
        return some;
    }

    // Remembers a verdict: a proof for good (and, for a page read under many
    // combinations, what it claims), a failure that rests on a node still
    // being judged only while that node is, any other failure for good unless
    // the budget ran out.
    Verdict Conclude(const std::string& key, int depth, const Verdict& verdict,
                     size_t combinations) {
        if (verdict.good) {
            judged_[key] = true;
            if (combinations > kSubsumedFrom)
                provenAt_[Node(key).Page()].push_back(Node(key).Claim());
            return kProven;
        }
        if (verdict.low < depth) {
            provisional_[key] = {verdict.low, verdict.high, serials_[verdict.high]};
            return verdict;
        }
        if (!exhausted_) judged_[key] = false;
        return kFailed;
    }

    // The values of what the page read, as the report names them.
    static std::string Combination(const Reads& open, StateView state) {
        std::string combination;
        for (const auto& [b, values] : open)
            combination += std::string(combination.empty() ? " " : ", ") + objectTable[b / 2].name +
                           (b % 2           ? " " + std::to_string(state.Byte(b))
                            : state.Byte(b) ? " held"
                                            : " not held");
        return combination;
    }

    // The counterexample: the failing combination at `key`, then the way on
    // nearest a good ending under each failing combination, until one ends.
    std::string Counterexample(const std::string& key) const {
        std::string at = key, under;
        std::set<std::string> seen;
        for (auto it = failedUnder_.find(at); it != failedUnder_.end() && seen.insert(at).second;
             it = failedUnder_.find(at)) {
            if (under.empty())
                under = it->second.first.empty() ? "in every state" : "under" + it->second.first;
            if (it->second.second.empty()) break;
            at = it->second.second;
        }
        return "no good ending ahead shown " + under +
               ": the ways on nearest one end at paragraph " + std::to_string(Node(at).Page());
    }

    const StaticFacts& facts_;
    const Liveness& liveness_;
    Pages& pages_;
    const PagesAlone& alone_;
    std::vector<int> distance_;  // paragraph -> fewest links to a good page
    // Judged for good, across checkpoints too.
    std::unordered_map<std::string, bool> judged_;
    // paragraph -> what the nodes proven there claim, for pages read under
    // many combinations
    std::map<int, std::vector<std::string>> provenAt_;
    std::unordered_map<std::string, int> onStack_;  // node -> its depth
    std::vector<uint64_t> serials_;                 // depth -> the node judged there
    uint64_t serial_ = 0;
    // Failures resting on nodes still being judged: the shallowest and the
    // deepest, and the serial of the deepest.
    struct Provisional {
        int low, high;
        uint64_t serial;
    };
    std::unordered_map<std::string, Provisional> provisional_;
    size_t builds_ = 0;  // page builds for the checkpoint being judged
    bool exhausted_ = false;
    // A node that failed -> the combination it failed under (object names and
    // values) and its way on nearest a good ending then.
    std::unordered_map<std::string, std::pair<std::string, std::string>> failedUnder_;
};

}  // namespace

void ProveCheckpoints(const StaticFacts& facts, const Liveness& liveness, Pages& pages,
                      const PagesAlone& alone, Report& report) {
    Proof proof(facts, liveness, pages, alone);
    for (int page : facts.saves) {
        std::string why;
        if (alone.goodAhead.count(page) || proof.GoodEndingAhead(page, why))
            report.checkpointsProven.push_back(page);
        else
            report.checkpointsUnproven.push_back({page, why, "", {}, ""});
    }
}

}  // namespace explore::detail
