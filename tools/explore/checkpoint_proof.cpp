// The checkpoint proof: that every state saved at a checkpoint page has a
// good ending ahead, by the story's own choices, in every state a reader can
// save there; a page known good in every state (pages_alone.cpp) ends a way.
#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <utility>
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

// A proof that every state saved at a checkpoint page has a good ending
// ahead, goal-directed: a node is a page, the carried flags and what is known
// of each object byte since the checkpoint (written by a page on the way, or
// read by one under each of its values); what is not known takes every value,
// and what no page ahead reads to steer is forgotten. A node is good when it is
// a good ending, or its page is known good in every state, or under every
// combination of the unknown bytes its page reads to steer some way on by the
// story's own choices leads to a good node. Depth first: the ways on are tried
// nearest a good ending first (over the book's links), each first forgetting
// every value known only from a read (a node that knows less, so more often
// judged already) and then remembering them; the first that proves settles
// the combination. A node met again while it is still being judged counts as
// failing there (a cycle proves nothing), so a failure that rests on such a
// node is remembered only while every node it rests on is still being judged;
// proven nodes and other failures are remembered across checkpoints too. A
// node not judged within the budget of page builds only loses the proof.
// A node is written as its paragraph, the carried flags, each object byte
// (kUnknown when not known) and, for each, 1 when it is known only from a
// read.
struct Explorer::Proof {
    const std::set<int>* hopeful;
    std::vector<int> distance;  // paragraph -> fewest links to a good page
    std::string fresh;          // objects at their start values, no slot saved
    std::unordered_map<std::string, bool> judged;
    // paragraph -> the nodes proven there (without what was read), for pages
    // read under many combinations
    std::map<int, std::vector<std::string>> provenAt;
    std::unordered_map<std::string, int> onStack;  // node -> its depth
    std::vector<uint64_t> serials;                 // depth -> the node judged there
    uint64_t serial = 0;
    // Failures resting on nodes still being judged: the shallowest and the
    // deepest, and the serial of the deepest.
    struct Provisional {
        int low, high;
        uint64_t serial;
    };
    std::unordered_map<std::string, Provisional> provisional;
    size_t builds = 0, nodes = 0;
    bool exhausted = false;
    // A node that failed -> the combination it failed under (object names and
    // values) and its way on nearest a good ending then.
    std::unordered_map<std::string, std::pair<std::string, std::string>> failedUnder;
};

namespace {

// Where a node's carried flags and its known bytes start.
constexpr size_t kNodeFlags = sizeof(int16_t);
constexpr size_t kNodeKnown = kNodeFlags + StateLayout::kFlagsSize;

int16_t NodePage(const std::string& node) {
    int16_t page;
    std::memcpy(&page, node.data(), sizeof page);
    return page;
}

}  // namespace

constexpr int kFar = 1 << 30;  // the distance of a page with no good page ahead
constexpr size_t kProofBudget = 200000, kProofDepth = 1000;
constexpr char kUnknown = static_cast<char>(0xff);
// Pages read under more combinations than this look for a proven node that
// knows less.
constexpr size_t kSubsumedFrom = 4;

Explorer::Verdict Explorer::ProveNode(Proof& proof, const std::string& node, int depth) {
    const Verdict proven{true, kFar, -1}, failed{false, kFar, -1};
    if (auto it = proof.judged.find(node); it != proof.judged.end())
        return it->second ? proven : failed;
    const int16_t paragraph = NodePage(node);
    if (proof.hopeful->count(paragraph)) return proven;
    if (paragraph < 8 || !facts_.withText.count(paragraph) || liveness_.side[paragraph] ||
        facts_.endings.count(paragraph))
        return failed;
    if (auto it = proof.onStack.find(node); it != proof.onStack.end())
        return {false, it->second, it->second};
    if (auto it = proof.provisional.find(node); it != proof.provisional.end()) {
        const Proof::Provisional& p = it->second;
        if (static_cast<size_t>(p.high) < proof.serials.size() && proof.serials[p.high] == p.serial)
            return {false, p.low, p.high};
        proof.provisional.erase(it);
    }
    if (proof.builds >= kProofBudget || static_cast<size_t>(depth) >= kProofDepth) {
        proof.exhausted = true;
        return {false, 0, 0};
    }
    const size_t objects = StateLayout().Objects(), bytes = 2 * static_cast<size_t>(objectCount);
    const std::string carry = node.substr(kNodeFlags, StateLayout::kFlagsSize);
    const std::string known = node.substr(kNodeKnown, bytes);
    const std::string fromRead = node.substr(kNodeKnown + bytes);
    std::vector<std::pair<size_t, std::vector<uint8_t>>> open;
    size_t combinations = 1;
    for (int b : liveness_.reads[paragraph]) {
        if (known[b] != kUnknown || !liveness_.live[paragraph][b]) continue;
        const std::vector<uint8_t> values = EveryValue(
            b, static_cast<uint8_t>(proof.fresh[objects + b]), static_cast<uint8_t>(kUnknown));
        combinations *= values.size();
        open.push_back({static_cast<size_t>(b), values});
    }
    // A number object's two bytes are one value, not each byte's values.
    if (combinations > kMaxCombinations || std::any_of(open.begin(), open.end(), [](const auto& r) {
            return objectTable[r.first / 2].type == OBJECT_NUMBER;
        })) {
        proof.judged[node] = false;
        return failed;
    }
    // A page read under many combinations: a proven node of the same page and
    // carried flags that knows no more proves this one (what the node
    // claims holds in every state it allows, and this one allows fewer).
    const std::string claim = node.substr(0, kNodeKnown + bytes);
    if (combinations > kSubsumedFrom)
        for (const std::string& general : proof.provenAt[paragraph]) {
            bool covers = general.compare(0, kNodeKnown, claim, 0, kNodeKnown) == 0;
            for (size_t b = 0; b < bytes && covers; ++b) {
                const char g = general[kNodeKnown + b];
                covers = g == kUnknown || g == known[b];
            }
            if (covers) return proven;
        }
    std::vector<bool> opened(bytes, false);
    for (const auto& read : open) opened[read.first] = true;
    ++proof.nodes;
    proof.onStack[node] = depth;
    proof.serials.resize(depth + 1);
    proof.serials[depth] = ++proof.serial;
    const int drawRange = facts_.DrawRange(paragraph);
    Verdict verdict = proven;
    for (size_t c = 0; c < combinations && verdict.good; ++c) {
        std::string state = AtPage(proof.fresh, paragraph, paragraph, true, carry);
        for (size_t b = 0; b < bytes; ++b)
            if (known[b] != kUnknown) state[objects + b] = known[b];
        size_t rest = c;
        for (const auto& [b, values] : open) {
            state[objects + b] = static_cast<char>(values[rest % values.size()]);
            rest /= values.size();
        }
        // distance, then the way forgetting what was read before remembering it
        std::vector<std::tuple<int, int, std::string>> next;
        for (int draw = drawRange ? 0 : -1; draw < drawRange; ++draw) {
            Restore(state, snapshots_);
            if (draw >= 0) ForceRoll(drawRange, draw + 1);
            RebuildPage(mainWindow);
            ++proof.builds;
            const std::string post = Capture(snapshots_);
            for (const Action& a : Actions()) {
                if (!a.story) continue;
                Restore(post, snapshots_);
                Perform(a.step);
                if (!inStory || pendingBuiltInPage != 0) continue;
                const std::string after = Capture(snapshots_);
                const int16_t target = currentParagraph;
                if (target <= 0 || static_cast<size_t>(target) >= liveness_.live.size()) continue;
                std::string m(reinterpret_cast<const char*>(&target), sizeof target);
                m += CarriedOf(after);
                std::string forgetting = m, valuesRead(bytes, 0), writtenOnly(bytes, 0);
                for (size_t b = 0; b < bytes; ++b) {
                    const char v = after[objects + b];
                    const bool written = v != state[objects + b];
                    const bool keep = liveness_.live[target][b] && v != kUnknown;
                    // known before this page, or read by it under this combination
                    const bool seen = known[b] != kUnknown || opened[b];
                    const bool wasRead = known[b] == kUnknown || fromRead[b];
                    m += keep && (written || seen) ? v : kUnknown;
                    valuesRead[b] = keep && !written && seen && wasRead;
                    forgetting += keep && (written || !wasRead) ? v : kUnknown;
                }
                next.push_back({0, proof.distance[target], forgetting + writtenOnly});
                next.push_back({1, proof.distance[target], m + valuesRead});
            }
        }
        std::sort(next.begin(), next.end());
        next.erase(std::unique(next.begin(), next.end()), next.end());
        Verdict some = failed;
        for (const auto& [remembering, distance, m] : next) {
            const Verdict v = ProveNode(proof, m, depth + 1);
            if (v.good) {
                some = v;
                break;
            }
            some.low = std::min(some.low, v.low);
            // Resting on this node itself is no dependence; the deepest other
            // is at most its parent.
            if (v.low < depth) some.high = std::max(some.high, std::min(v.high, depth - 1));
        }
        if (!some.good) {
            verdict = some;
            std::string combination;
            for (const auto& [b, values] : open)
                combination +=
                    std::string(combination.empty() ? " " : ", ") + objectTable[b / 2].name +
                    (b % 2 ? " " + std::to_string(static_cast<uint8_t>(state[objects + b]))
                     : state[objects + b] ? " held"
                                          : " not held");
            proof.failedUnder[node] = {combination, next.empty() ? "" : std::get<2>(next[0])};
        }
    }
    proof.onStack.erase(node);
    proof.serials.resize(depth);
    if (verdict.good) {
        proof.judged[node] = true;
        if (combinations > kSubsumedFrom) proof.provenAt[paragraph].push_back(claim);
        return proven;
    }
    if (verdict.low < depth) {
        proof.provisional[node] = {verdict.low, verdict.high, proof.serials[verdict.high]};
        return verdict;
    }
    if (!proof.exhausted) proof.judged[node] = false;
    return failed;
}

// Whether every state saved at `page` has a good ending ahead; when not
// shown, `why` says what stopped the proof.
bool Explorer::GoodEndingAhead(Proof& proof, int page, const std::set<std::string>& carried,
                               std::string& why) {
    proof.builds = proof.nodes = 0;
    proof.exhausted = false;
    const size_t bytes = 2 * static_cast<size_t>(objectCount);
    for (const std::string& carry : carried) {
        const int16_t paragraph = static_cast<int16_t>(page);
        std::string node(reinterpret_cast<const char*>(&paragraph), sizeof paragraph);
        node += carry + std::string(bytes, kUnknown) + std::string(bytes, 0);
        if (ProveNode(proof, node, 0).good) continue;
        device::MessageBoxLog().clear();
        if (proof.exhausted) {
            why = "not judged within " + std::to_string(kProofBudget) + " page builds";
            return false;
        }
        // The counterexample: the failing combination here, then the way on
        // nearest a good ending under each failing combination, until one
        // ends.
        std::string at = node, under;
        std::set<std::string> seen;
        for (auto it = proof.failedUnder.find(at);
             it != proof.failedUnder.end() && seen.insert(at).second;
             it = proof.failedUnder.find(at)) {
            if (under.empty())
                under = it->second.first.empty() ? "in every state" : "under" + it->second.first;
            if (it->second.second.empty()) break;
            at = it->second.second;
        }
        why = "no good ending ahead shown " + under +
              ": the ways on nearest one end at paragraph " + std::to_string(NodePage(at));
        return false;
    }
    device::MessageBoxLog().clear();
    return true;
}

void Explorer::JudgeCheckpoints(const std::set<int>& hopeful, const std::set<std::string>& carried,
                                const std::string& fresh) {
    Proof proof;
    proof.hopeful = &hopeful;
    proof.fresh = fresh;
    // Fewest links from each page to a good one, for the order ways are tried.
    const size_t pages = liveness_.targets.size();
    proof.distance.assign(pages, kFar);
    std::deque<int> work(hopeful.begin(), hopeful.end());
    for (int p : work) proof.distance[p] = 0;
    std::vector<std::vector<int>> from(pages);
    for (size_t p = 0; p < pages; ++p)
        for (int t : liveness_.targets[p])
            if (t > 0 && static_cast<size_t>(t) < pages) from[t].push_back(static_cast<int>(p));
    for (; !work.empty(); work.pop_front())
        for (int p : from[work.front()])
            if (proof.distance[p] == kFar) {
                proof.distance[p] = proof.distance[work.front()] + 1;
                work.push_back(p);
            }
    for (int page : facts_.saves) {
        std::string why;
        if (hopeful.count(page) || GoodEndingAhead(proof, page, carried, why))
            report_.checkpointsProven.push_back(page);
        else
            report_.checkpointsUnproven.push_back({page, why, "", {}, ""});
    }
}
}  // namespace explore::detail
