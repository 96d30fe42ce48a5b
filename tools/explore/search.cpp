// The search: a state is restored, its page built by the reader's own
// rebuild, and each way of leaving the page (every hotword, every roll band
// of a chance hotword, every accepted answer and one wrong one, the arrows,
// the menu's pages and the return) is carried out by the reader's own window
// procedure and choice resolution; the state that results is the next one.
// Breadth-first, so the first path found to anything is a shortest one, or
// with --novelty the states of the paragraphs met least often first.
#include "tools/explore/search.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/app_state.h"
#include "book/state.h"
#include "book/tables.h"
#include "device/record.h"
#include "script/choice.h"
#include "script/engine.h"
#include "script/hotwords.h"
#include "shell/commands.h"
#include "shell/navigation.h"
#include "shell/rebuild.h"
#include "shell/window.h"
#include "windows.h"

namespace explore::detail {
namespace {

uint8_t ValueBit(uint8_t v) {
    return v < 7 ? static_cast<uint8_t>(1u << v) : 0x80;
}

uint64_t WitnessKey(uint32_t index, size_t b, uint8_t v) {
    return (static_cast<uint64_t>(index) << 16) | (b << 8) | v;
}

// Past this share of its time bound, a search that has left no more than a
// handful of paragraphs unmet leaves the rest of the bound to aiming at them:
// the search itself is better at many (it keeps finding them in bursts),
// aiming at a few.
constexpr double kSearchShare = 0.75;
constexpr size_t kHandful = 8;

}  // namespace

Search::Search(const bookc::Book& book, const Options& options, const StaticFacts& facts,
               const Liveness& liveness, Pages& pages, Findings& findings)
    : book_(book),
      options_(options),
      facts_(facts),
      liveness_(liveness),
      pages_(pages),
      findings_(findings) {
    // A state's future depends on the navigation, the markup engine's carried
    // flags and the object bytes some page ahead of the story paragraph still
    // reads to steer. A side page (menu page, description page) keeps too the
    // held bytes its own markup reads: they choose which pages it offers. The
    // checkpoint slots are left out: a restore leads to the state saved, which
    // RestoreEdges() reaches from the state that saved it.
    const size_t size = liveness_.live.size(), bytes = StateLayout::Bytes();
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

const char* Search::KeptMask(StateView state) const {
    const int16_t paragraph = state.Page(), story = state.Story();
    const size_t size = liveness_.live.size();
    const bool side =
        paragraph > 0 && static_cast<size_t>(paragraph) < size && liveness_.side[paragraph];
    const size_t at = (story > 0 && static_cast<size_t>(story) < size ? story : 0) * size +
                      (side ? paragraph : 0);
    return &keptMasks_[at * StateLayout::Bytes()];
}

bool Search::Kept(StateView state, size_t b) const {
    return options_.exact || KeptMask(state)[b];
}

std::string_view Search::Key(uint32_t i) const {
    const char* s = states_.data() + i * stride_;
    if (options_.exact) return std::string_view(s, stride_);
    std::string& key = keys_[nextKey_ ^= 1];
    key.assign(s, StateLayout::Slots());
    const char* kept = KeptMask(s);
    for (size_t b = 0; b < StateLayout::Bytes(); ++b)
        if (!kept[b]) key[StateLayout::kObjects + b] = 0;
    return key;
}

uint32_t Search::Add(const std::string& state, uint32_t parent, const Path& steps) {
    const uint32_t index = static_cast<uint32_t>(nodes_.size());
    states_ += state;
    auto [it, fresh] = index_.insert(index);
    if (!options_.exact) {
        if (fresh) values_.resize(values_.size() + StateLayout::Bytes());
        uint8_t* seen = &values_[*it * StateLayout::Bytes()];
        for (size_t b = 0; b < StateLayout::Bytes(); ++b) {
            const uint8_t v = StateView(state).Byte(b);
            if (seen[b] & ValueBit(v)) continue;
            seen[b] |= ValueBit(v);
            // The first way in with this value: a path to a finding under it.
            if (!fresh) witnesses_.try_emplace(WitnessKey(*it, b, v), parent, InternSteps(steps));
        }
    }
    if (!fresh) {
        states_.resize(states_.size() - stride_);
        return *it;
    }
    const uint32_t depth = nodes_.empty() ? 0 : nodes_[parent].depth + 1;
    nodes_.push_back({parent, InternSteps(steps), depth});
    if (options_.novelty) {
        // The first time a side page is opened from a story paragraph counts
        // as new: a belonging met only there shows its description page.
        const int16_t page = StateView(state).Page(), story = StateView(state).Story();
        uint32_t met = met_[page]++;
        if (page > 0 && static_cast<size_t>(page) < liveness_.side.size() && liveness_.side[page] &&
            sideOpened_.insert(static_cast<uint32_t>(page) << 16 | static_cast<uint16_t>(story))
                .second)
            met = 0;
        pending_.push({met, depth, index});
    }
    return index;
}

uint32_t Search::InternSteps(const Path& steps) {
    std::string stepKey;
    for (const Step& step : steps)
        stepKey += std::to_string(step.kind) + "|" + std::to_string(step.id) + "|" +
                   std::to_string(step.roll) + "|" + std::to_string(step.rollRange) + "|" +
                   std::to_string(step.draw) + "|" + step.text + "\n";
    auto [it, fresh] = stepIds_.try_emplace(stepKey, static_cast<uint32_t>(steps_.size()));
    if (fresh) steps_.push_back(steps);
    return it->second;
}

void Search::AddFlow(uint32_t from, uint32_t to, StateView before, StateView after) {
    if (options_.exact) return;
    std::string changed(StateLayout::Bytes(), 0);
    for (size_t b = 0; b < changed.size(); ++b) changed[b] = before.Byte(b) != after.Byte(b);
    auto [it, fresh] = changeIds_.try_emplace(changed, static_cast<uint32_t>(changeSets_.size()));
    if (fresh) changeSets_.push_back(changed);
    flows_.push_back({from, to, it->second});
}

// A byte a way leaves alone carries every value it has in the state the way
// starts from on into the state it leads to, unless that state's key keeps
// the byte (then every state merged there has the one value kept).
void Search::SpreadValues() {
    const size_t bytes = StateLayout::Bytes();
    for (bool changed = true; changed;) {
        changed = false;
        for (const Flow& f : flows_) {
            const uint8_t* from = &values_[f.from * bytes];
            uint8_t* to = &values_[f.to * bytes];
            const std::string& written = changeSets_[f.changed];
            for (size_t b = 0; b < bytes; ++b) {
                const uint8_t more = from[b] & ~to[b];
                if (!more || written[b] || Kept(At(f.to), b)) continue;
                to[b] |= more;
                changed = true;
            }
        }
    }
}

std::vector<uint8_t> Search::ValuesOf(uint32_t index, size_t b) const {
    const uint8_t mask = values_[index * StateLayout::Bytes() + b];
    const ObjectEntry& o = objectTable[b / 2];
    std::vector<uint8_t> values;
    for (int v = 0; v < 7; ++v)
        if (mask & (1u << v)) values.push_back(static_cast<uint8_t>(v));
    if (mask & 0x80)
        for (int v = 7; v < 256 && (b % 2 == 0 || v < o.count); ++v)
            values.push_back(static_cast<uint8_t>(v));
    return values;
}

std::set<int> Search::Unmet() const {
    std::set<int> unmet;
    for (int p : facts_.withText)
        if (!reached_.count(p)) unmet.insert(p);
    for (const auto& [paragraph, boxes] : facts_.answerBoxes)
        for (const auto& box : boxes)
            if (!answersSeen_.count({paragraph, box})) unmet.insert(paragraph);
    return unmet;
}

Path Search::PathTo(uint32_t index) const {
    std::vector<uint32_t> ways;
    for (; index != 0; index = nodes_[index].parent) ways.push_back(nodes_[index].step);
    Path path;
    for (auto it = ways.rbegin(); it != ways.rend(); ++it)
        path.insert(path.end(), steps_[*it].begin(), steps_[*it].end());
    return path;
}

// A real path when a single byte differs and a way into `index` brought its
// value, else the path to `index`.
Path Search::PathNear(uint32_t index, const std::string& state) const {
    const StateView kept = At(index), near(state);
    int differs = -1;
    for (size_t b = 0; b < StateLayout::Bytes(); ++b) {
        if (kept.Byte(b) == near.Byte(b)) continue;
        if (differs >= 0) return PathTo(index);
        differs = static_cast<int>(b);
    }
    if (differs < 0) return PathTo(index);
    const size_t b = static_cast<size_t>(differs);
    auto it = witnesses_.find(WitnessKey(index, b, near.Byte(b)));
    if (it == witnesses_.end()) return PathTo(index);
    Path path = PathTo(it->second.first);
    path.insert(path.end(), steps_[it->second.second].begin(), steps_[it->second.second].end());
    return path;
}

void Search::Note(Findings& findings, std::vector<Finding>& list, const std::string& key,
                  uint32_t index, int paragraph, const std::string& what,
                  const std::string& state) const {
    if (!findings.First(list, key)) return;
    if (state.empty())
        list.push_back({paragraph, what, Describe(At(index)), PathTo(index), {}});
    else
        list.push_back({paragraph, what, Describe(state), PathNear(index, state), {}});
}

void Search::CheckChance(int paragraph, const HotwordRecord& r) {
    std::string key = std::to_string(paragraph) + "|" + ButtonText(r.controlId) + "|" +
                      std::to_string(r.value) + "|" + std::to_string(r.threshold2) + "|" +
                      std::to_string(r.threshold3);
    if (!chancesSeen_.insert(key).second) return;
    const std::string never = NeverComesUp(r);
    if (!never.empty())
        findings_.report().impossibleOutcomes.push_back({paragraph, never, "", {}, {}});
}

void Search::ProbeShownValues(uint32_t index, const std::string& pre, const std::string& post) {
    const int paragraph = StateView(pre).Page();
    for (int k : pages_.ShownUnheld(pre, post))
        Note(findings_, findings_.report().unheldValues,
             std::to_string(paragraph) + "|" + std::to_string(k), index, paragraph,
             std::string("shows the value of ") + objectTable[k].name + ", which is not held", pre);
}

// A page whose build draws a random value is built once for each value the
// draw can give, each with its own ways on.
void Search::Visit(uint32_t index) {
    visitOrder_.push_back(index);
    const StateView state = At(index);
    const int range = facts_.DrawRange(state.Page());
    if (state.BuiltInPending() || !range) return VisitBuild(index, -1, 0);
    for (int value = 0; value < range; ++value) VisitBuild(index, value, range);
}

void Search::VisitBuild(uint32_t index, int draw, int drawRange) {
    const std::string pre = StateAt(index);
    // The key trusts a page's top-level tags to overwrite what it leaves out.
    const int16_t page = StateView(pre).Page();
    if (!options_.exact && StateView(pre).Reader().flags.skipCount != 0 && page > 0 &&
        static_cast<size_t>(page) < liveness_.overwrites.size() && liveness_.overwrites[page])
        unsound_ = true;
    const std::vector<std::string> messages = pages_.Build(pre, draw, drawRange);
    const int paragraph = currentParagraph;
    if (pendingBuiltInPage == 0 && facts_.withText.count(paragraph)) reached_.insert(paragraph);
    for (const std::string& text : messages)
        Note(findings_, findings_.report().messages, std::to_string(paragraph) + "|" + text, index,
             paragraph, "raises \"" + text + "\"");
    const std::string post = pages_.Capture();
    for (int k = 0; k < checkpointCount; ++k)
        if (!(StateView(post).Slot(k) == StateView(pre).Slot(k)))
            checkpointSaves_.push_back({index, k});
    std::vector<Action> actions = pages_.Actions();
    for (Action& a : actions) {
        a.step.draw = draw;
        a.step.drawRange = drawRange;
    }
    for (int i = 0; i < hotwordCount && PageScanned(); ++i) {
        const HotwordRecord& r = hotwordTable[i];
        if (ChanceRange(r.kind)) CheckChance(paragraph, r);
        if (r.kind == 'S') answersSeen_.insert({paragraph, {r.answer1, r.target1}});
    }
    const bool storyPage = inStory && pendingBuiltInPage == 0;
    JudgeStoryPage(index, paragraph, actions);
    // Built again with no choice taken, as after a side trip to the menu.
    const std::string signature = storyPage ? PageSignature() : std::string();
    TakeWays(index, paragraph, actions, pre, post);
    if (storyPage && post != pre) {
        pages_.Restore(post);
        RebuildPage(mainWindow);
        if (PageSignature() != signature)
            Note(findings_, findings_.report().unstablePages, std::to_string(paragraph), index,
                 paragraph, kUnstable);
    }
    ProbeShownValues(index, pre, post);
    RestoreEdges(index, pre, post);
}

// A story page built from the book: an ending the book marks, or a dead end
// when it offers no way on but the menu.
void Search::JudgeStoryPage(uint32_t index, int paragraph, const std::vector<Action>& actions) {
    if (!inStory || pendingBuiltInPage != 0 || !facts_.withText.count(paragraph) || paragraph < 8)
        return;
    auto ending = facts_.endings.find(paragraph);
    if (ending != facts_.endings.end()) {
        endingFirst_.try_emplace(paragraph, index);
        if (ending->second->good) goodEndingStates_.insert(index);
        return;
    }
    if (std::none_of(actions.begin(), actions.end(), [](const Action& a) { return a.wayOn; }))
        Note(findings_, findings_.report().deadEnds, std::to_string(paragraph), index, paragraph,
             "no way on but the menu, and the book does not mark it an ending");
}

// Each way off the page built from `pre` (leaving `post`), each from `post`.
void Search::TakeWays(uint32_t index, int paragraph, const std::vector<Action>& actions,
                      const std::string& pre, const std::string& post) {
    for (const Action& a : actions) {
        pages_.Restore(post);
        device::MessageBoxLog().clear();
        if (a.step.kind == Step::Command && a.step.id == CMD_BEGINNING)
            device::SetMessageBoxAnswer(IDYES);
        pages_.Perform(a.step);
        device::SetMessageBoxAnswer(IDOK);
        for (const device::MessageBoxRecord& m : device::MessageBoxLog()) {
            if (!m.caption.empty()) continue;  // the reader's own question, not a report
            std::string text = device::Narrow(m.text);
            Note(findings_, findings_.report().messages, std::to_string(paragraph) + "|" + text,
                 index, paragraph, "raises \"" + text + "\" on \"" + a.step.text + "\"");
        }
        ++edges_;
        const std::string after = pages_.Capture();
        const uint32_t next = Add(after, index, {a.step});
        AddFlow(index, next, pre, after);
        if (a.story) storyEdges_.push_back({index, next});
    }
}

// The slots are not part of a state's key, so the restore of a checkpoint is
// taken where the checkpoint is saved: the reader's restart page is opened
// then and the slot's button tapped. Every later restore of that save leads to
// the same paragraph and objects.
void Search::RestoreEdges(uint32_t index, const std::string& pre, const std::string& post) {
    if (options_.exact || !options_.menu) return;
    for (int k = 0; k < checkpointCount; ++k) {
        if (StateView(post).Slot(k) == StateView(pre).Slot(k)) continue;
        pages_.Restore(post);
        Step restart;
        restart.kind = Step::Command;
        restart.id = CMD_RESTART;
        restart.text = "menu Restart";
        pages_.Perform(restart);
        RebuildPage(mainWindow);
        for (int i = 0; i < hotwordCount; ++i) {
            const HotwordRecord& r = hotwordTable[i];
            if (r.kind != 'u' || r.objectIndex != k || r.controlId == 0) continue;
            Step tap;
            tap.id = r.controlId;
            tap.text = ButtonText(r.controlId);
            pages_.Perform(tap);
            ++edges_;
            const std::string after = pages_.Capture();
            AddFlow(index, Add(after, index, {restart, tap}), pre, after);
            break;
        }
    }
    device::MessageBoxLog().clear();
}

bool Search::OutOfTime(Clock::time_point start) const {
    const double spent = std::chrono::duration<double>(Clock::now() - start).count();
    return spent > options_.maxSeconds ||
           (spent > options_.maxSeconds * kSearchShare && Unmet().size() <= kHandful);
}

void Search::Run(Clock::time_point start) {
    Add(pages_.Capture(), 0, {});
    for (uint32_t visited = 0; visited < nodes_.size(); ++visited) {
        uint32_t i = visited;
        if (options_.novelty) {
            i = pending_.top().index;
            pending_.pop();
        }
        if (nodes_.size() > options_.maxStates) {
            cutShort_ = "stopped at " + std::to_string(options_.maxStates) + " states";
            return;
        }
        if ((visited & 255) == 0 && OutOfTime(start)) {
            cutShort_ = "stopped after " + std::to_string(options_.maxSeconds) + " s";
            return;
        }
        Visit(i);
    }
}

void Search::Finish(Report& report) const {
    for (int p : facts_.withText)
        (reached_.count(p) ? report.reached : report.unreached).push_back(p);
    for (const bookc::Ending& e : book_.endings) {
        EndingReached r;
        r.paragraph = e.page;
        r.name = e.name;
        r.good = e.good;
        auto it = endingFirst_.find(e.page);
        r.reached = it != endingFirst_.end();
        if (r.reached) r.path = PathTo(it->second);
        report.endings.push_back(r);
    }
    // Listed even when the search was cut short: then they are not faults,
    // and none listed shows that every box was shown.
    for (const auto& [paragraph, boxes] : facts_.answerBoxes)
        for (const auto& box : boxes)
            if (!answersSeen_.count({paragraph, box}))
                report.unreachableAnswers.push_back(
                    {paragraph,
                     "the answer box accepting \"" + box.first + "\" is never shown",
                     "",
                     {},
                     {}});
    if (!report.cutShort.empty()) return;  // what was not reached is not judged
    // Checkpoints: which states still lead to a good ending by the story alone.
    std::vector<std::vector<uint32_t>> back(nodes_.size());
    for (const auto& [from, to] : storyEdges_) back[to].push_back(from);
    std::vector<bool> hopeful(nodes_.size(), false);
    std::deque<uint32_t> work(goodEndingStates_.begin(), goodEndingStates_.end());
    for (uint32_t s : work) hopeful[s] = true;
    for (; !work.empty(); work.pop_front())
        for (uint32_t from : back[work.front()])
            if (!hopeful[from]) {
                hopeful[from] = true;
                work.push_back(from);
            }
    Findings seen(report);
    for (const auto& [state, slot] : checkpointSaves_) {
        if (hopeful[state]) continue;
        const int p = At(state).Page();
        Note(seen, report.hopelessCheckpoints, std::to_string(p) + "|" + std::to_string(slot),
             state, p,
             "saves checkpoint " + std::to_string(slot) +
                 " in a state from which no good ending can be reached");
    }
}

}  // namespace explore::detail
