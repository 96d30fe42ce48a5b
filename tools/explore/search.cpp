// The search: every state is a page about to be built, written as the bytes of
// the reader's globals that the build and the choices read. A state is
// restored, its page built by the reader's own rebuild, and each way of
// leaving the page (every hotword, every roll band of a chance hotword, every
// accepted answer and one wrong one, the arrows, the menu's pages and the
// return) is carried out by the reader's own window procedure and choice
// resolution; the state that results is the next one. Breadth-first, so the
// first path found to anything is a shortest one.
#include "tools/explore/search.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/app_state.h"
#include "book/state.h"
#include "book/tables.h"
#include "device/record.h"
#include "page/builder.h"
#include "page/controls.h"
#include "page/layout.h"
#include "page/line.h"
#include "script/choice.h"
#include "script/engine.h"
#include "script/hotwords.h"
#include "shell/commands.h"
#include "shell/navigation.h"
#include "shell/rebuild.h"
#include "shell/window.h"
#include "tools/explore/host.h"
#include "windows.h"

namespace explore {
namespace detail {
namespace {

// The menu pages: a link to one of them is no way on for a story page.
bool IsMenuPage(int paragraph) {
    return paragraph >= PARAGRAPH_BEGINNING && paragraph <= PARAGRAPH_HINTS;
}

const char* const kWrongAnswer = "qqqq";

uint8_t ValueBit(uint8_t v) {
    return v < 7 ? static_cast<uint8_t>(1u << v) : 0x80;
}

// Past this share of its time bound, a search that has left no more than a
// handful of paragraphs unmet leaves the rest of the bound to aiming at them:
// the search itself is better at many (it keeps finding them in bursts),
// aiming at a few.
constexpr double kSearchShare = 0.75;
constexpr size_t kHandful = 8;

}  // namespace

// A state's future depends on the navigation, the markup engine's carried
// flags and the object bytes some page ahead of the story paragraph still
// reads to steer. A side page (menu page, description page) keeps too the
// held bytes its own markup reads: they choose which pages it offers.
// The checkpoint slots are left out: a restore leads to the state saved,
// which RestoreEdges() reaches from the state that saved it.
const char* Explorer::KeptMask(const char* state) const {
    const NavigationState navigation = ReaderOf(state).navigation;
    const int16_t paragraph = navigation.currentParagraph, story = navigation.storyParagraph;
    const size_t size = liveness_.live.size();
    const bool side =
        paragraph > 0 && static_cast<size_t>(paragraph) < size && liveness_.side[paragraph];
    const size_t at = (story > 0 && static_cast<size_t>(story) < size ? story : 0) * size +
                      (side ? paragraph : 0);
    return &keptMasks_[at * 2 * objectCount];
}

bool Explorer::Kept(const char* state, size_t b) const {
    return options_.exact || KeptMask(state)[b];
}

std::string_view Explorer::Key(uint32_t i) const {
    const char* s = states_.data() + i * stride_;
    if (options_.exact) return std::string_view(s, stride_);
    std::string& key = keys_[nextKey_ ^= 1];
    const size_t objects = StateLayout().Objects();
    key.assign(s, StateLayout().Slots());
    const char* kept = KeptMask(s);
    for (size_t b = 0; b < 2 * static_cast<size_t>(objectCount); ++b)
        if (!kept[b]) key[objects + b] = 0;
    return key;
}

uint32_t Explorer::Add(const std::string& state, uint32_t parent, const Path& steps) {
    const uint32_t index = static_cast<uint32_t>(nodes_.size());
    states_ += state;
    auto [it, fresh] = index_.insert(index);
    if (!options_.exact) {
        if (fresh) values_.resize(values_.size() + 2 * objectCount);
        uint8_t* seen = &values_[*it * 2 * objectCount];
        for (int b = 0; b < 2 * objectCount; ++b) {
            const uint8_t v = static_cast<uint8_t>(state[StateLayout().Objects() + b]);
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
        const int16_t story = ReaderOf(state).navigation.storyParagraph;
        const int16_t page = ParagraphOf(state);
        uint32_t met = met_[page]++;
        if (page > 0 && static_cast<size_t>(page) < liveness_.side.size() && liveness_.side[page] &&
            sideOpened_.insert(static_cast<uint32_t>(page) << 16 | static_cast<uint16_t>(story))
                .second)
            met = 0;
        pending_.push({met, depth, index});
    }
    return index;
}

uint32_t Explorer::InternSteps(const Path& steps) {
    std::string stepKey;
    for (const Step& step : steps)
        stepKey += std::to_string(step.kind) + "|" + std::to_string(step.id) + "|" +
                   std::to_string(step.roll) + "|" + std::to_string(step.rollRange) + "|" +
                   std::to_string(step.draw) + "|" + step.text + "\n";
    auto [it, fresh] = stepIds_.try_emplace(stepKey, static_cast<uint32_t>(steps_.size()));
    if (fresh) steps_.push_back(steps);
    return it->second;
}

Path Explorer::PathTo(uint32_t index) const {
    std::vector<uint32_t> ways;
    for (; index != 0; index = nodes_[index].parent) ways.push_back(nodes_[index].step);
    Path path;
    for (auto it = ways.rbegin(); it != ways.rend(); ++it)
        path.insert(path.end(), steps_[*it].begin(), steps_[*it].end());
    return path;
}

// `state`, when given, is the one the finding happened in: state `index`, or
// one merged into it.
void Explorer::Note(std::vector<Finding>& list, std::set<std::string>& seen, const std::string& key,
                    uint32_t index, int paragraph, const std::string& what,
                    const std::string& state) {
    if (!seen.insert(key).second) return;
    if (state.empty())
        list.push_back({paragraph, what, Describe(StateAt(index)), PathTo(index), {}});
    else
        list.push_back({paragraph, what, Describe(state), PathNear(index, state), {}});
}

std::vector<Action> Explorer::Actions() const {
    std::vector<Action> actions;
    const bool storyPage = inStory && pendingBuiltInPage == 0;
    auto leads = [&](int16_t target) { return !IsMenuPage(target + 1); };
    if (infoPageShowing) {
        for (int k = 0; k < OBJECT_LIMIT && k < objectCount; ++k)
            if (infoPageButtonIds[k] >= 0) {
                Action a;
                a.step.id = infoPageButtonIds[k];
                a.step.text = ButtonText(a.step.id);
                actions.push_back(a);
            }
    }
    for (int i = 0; i < hotwordCount && PageScanned(); ++i) {
        const HotwordRecord& r = hotwordTable[i];
        if (r.controlId == 0) continue;
        if (r.kind == 'S') {
            // Each accepted answer written, and one wrong.
            for (const char* typed : {r.answer1, r.answer2, r.answer3, kWrongAnswer}) {
                if (!typed[0]) continue;
                Action a;
                a.step.kind = Step::Answer;
                a.step.id = r.controlId;
                a.step.text = typed;
                a.wayOn = a.story = storyPage && leads(HotwordTarget(r, 0, typed));
                actions.push_back(a);
            }
            continue;
        }
        if (ChanceRange(r.kind)) {
            int range;
            for (const Band& band : RollBands(r, range)) {
                Action a;
                a.step.id = r.controlId;
                a.step.text = ButtonText(r.controlId);
                a.step.roll = band.low;
                a.step.rollHigh = band.high;
                a.step.rollRange = range;
                a.wayOn = a.story = storyPage && leads(band.target);
                actions.push_back(a);
            }
            continue;
        }
        Action a;
        a.step.id = r.controlId;
        a.step.text = ButtonText(r.controlId);
        a.wayOn = storyPage && (r.kind == 'u' || leads(r.target1));
        a.story = a.wayOn && r.kind != 'u';
        actions.push_back(a);
    }
    auto command = [&](int16_t id, const char* name, bool wayOn, bool story) {
        Action a;
        a.step.kind = Step::Command;
        a.step.id = id;
        a.step.text = name;
        a.wayOn = wayOn;
        a.story = story;
        actions.push_back(a);
    };
    if (nextArrowMode) {
        const bool on = storyPage && nextArrowMode == ARROW_PARAGRAPH && leads(nextArrowTarget);
        command(CMD_NEXT, "next", on, on);
    }
    if (prevArrowMode)
        command(CMD_PREVIOUS, "previous", false,
                storyPage && prevArrowMode == ARROW_PARAGRAPH && leads(prevArrowTarget));
    if (options_.menu) {
        command(CMD_BEGINNING, "menu Beginning", false, false);
        if (!inStory) command(CMD_RETURN, "return", false, false);
        command(CMD_INFORMATION, "menu Information", false, false);
        command(CMD_RESTART, "menu Restart", false, false);
        command(CMD_OBJECTIVE, "menu Objective", false, false);
        command(CMD_HINTS, "menu Hints", false, false);
        command(CMD_CREDITS, "menu Credits", false, false);
    }
    return actions;
}

void Explorer::Perform(const Step& step) {
    if (step.roll) ForceRoll(step.rollRange, step.roll);
    if (step.kind == Step::Answer) {
        const int n = step.id - EDIT_BOX_ID_BASE;
        std::u16string typed(step.text.begin(), step.text.end());
        SetWindowTextW(editBoxWindows[n], typed.c_str());
        SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(step.id, ANSWER_CONFIRM), 0);
    } else {
        SendMessageW(mainWindow, WM_COMMAND, MAKEWPARAM(step.id, 0), 0);
    }
}

void Explorer::CheckChance(int paragraph, const HotwordRecord& r) {
    std::string key = std::to_string(paragraph) + "|" + ButtonText(r.controlId) + "|" +
                      std::to_string(r.value) + "|" + std::to_string(r.threshold2) + "|" +
                      std::to_string(r.threshold3);
    if (chanceSeen_.count(key)) return;
    const std::string never = NeverComesUp(r);
    chanceSeen_[key] = {paragraph, never};
    if (!never.empty()) report_.impossibleOutcomes.push_back({paragraph, never, "", {}, {}});
}

void Explorer::ProbeShownValues(uint32_t index, const std::string& pre, const std::string& post) {
    for (int k : ShownUnheld(pre, post))
        Note(report_.unheldValues, seenUnheld_,
             std::to_string(ParagraphOf(pre)) + "|" + std::to_string(k), index, ParagraphOf(pre),
             std::string("shows the value of ") + objectTable[k].name + ", which is not held", pre);
}

// The text objects whose value the page of `pre` shows with <l> while the
// reader holds them neither before its build nor after it (`post`).
std::vector<int> Explorer::ShownUnheld(const std::string& pre, const std::string& post) {
    std::vector<int> shown;
    auto it = facts_.shownValues.find(ParagraphOf(pre));
    if (it == facts_.shownValues.end() || ReaderOf(pre).navigation.pendingBuiltInPage) return shown;
    static const char* const kMarker = "@@unheld@@";
    static const char* markers[256];
    std::fill(std::begin(markers), std::end(markers), kMarker);
    for (int k : it->second) {
        if (k >= objectCount || objectTable[k].type != OBJECT_TEXT) continue;
        Restore(post, snapshots_);
        if (ObjectHeld(k)) continue;
        Restore(pre, snapshots_);
        if (ObjectHeld(k)) continue;
        const void* values = objectTable[k].values;
        objectTable[k].values = markers;
        RebuildPage(mainWindow);
        objectTable[k].values = values;
        const std::string pool(pageTextPool, static_cast<size_t>(std::max<int16_t>(poolUsed, 0)));
        if (pool.find(kMarker) != std::string::npos) shown.push_back(k);
    }
    device::MessageBoxLog().clear();
    return shown;
}

// A page whose build draws a random value is built once for each value the
// draw can give, each with its own ways on.
void Explorer::Visit(uint32_t index) {
    Restore(StateAt(index), snapshots_);
    auto draws = facts_.buildDraws.find(currentParagraph);
    if (pendingBuiltInPage != 0 || draws == facts_.buildDraws.end())
        return VisitBuild(index, -1, 0);
    for (int value = 0; value < draws->second; ++value) VisitBuild(index, value, draws->second);
}

void Explorer::VisitBuild(uint32_t index, int draw, int drawRange) {
    const std::string pre = StateAt(index);
    Restore(pre, snapshots_);
    // The key trusts a page's top-level tags to overwrite what it leaves out.
    if (!options_.exact && skipCount != 0 && currentParagraph > 0 &&
        static_cast<size_t>(currentParagraph) < liveness_.overwrites.size() &&
        liveness_.overwrites[currentParagraph])
        unsound_ = true;
    device::MessageBoxLog().clear();
    device::SoundLog().clear();
    if (draw >= 0) ForceRoll(drawRange, draw + 1);
    RebuildPage(mainWindow);
    const int paragraph = currentParagraph;
    const bool storyPage = inStory && pendingBuiltInPage == 0;
    const bool builtParagraph = pendingBuiltInPage == 0 && facts_.withText.count(paragraph);
    if (builtParagraph) reached_.insert(paragraph);
    for (const device::MessageBoxRecord& m : device::MessageBoxLog()) {
        std::string text = device::Narrow(m.text);
        Note(report_.messages, seenMessages_, std::to_string(paragraph) + "|" + text, index,
             paragraph, "raises \"" + text + "\"");
    }
    const std::string post = Capture(snapshots_);
    for (int k = 0; k < checkpointCount; ++k) {
        const size_t at = StateLayout().Slots() + k * 7;
        if (post.compare(at, 7, pre, at, 7) != 0) checkpointSaves_.push_back({index, k});
    }
    std::vector<Action> actions = Actions();
    for (Action& a : actions) {
        a.step.draw = draw;
        a.step.drawRange = drawRange;
    }
    for (int i = 0; i < hotwordCount && PageScanned(); ++i) {
        const HotwordRecord& r = hotwordTable[i];
        if (ChanceRange(r.kind)) CheckChance(paragraph, r);
        if (r.kind == 'S') answersSeen_.insert({paragraph, {r.answer1, r.target1}});
    }

    if (storyPage && builtParagraph && paragraph >= 8) {
        bool wayOn = false;
        for (const Action& a : actions) wayOn = wayOn || a.wayOn;
        auto ending = facts_.endings.find(paragraph);
        if (ending != facts_.endings.end()) {
            endingFirst_.try_emplace(paragraph, index);
            if (ending->second->good) goodEndingStates_.insert(index);
        } else if (!wayOn) {
            Note(report_.deadEnds, seenDeadEnds_, std::to_string(paragraph), index, paragraph,
                 "no way on but the menu, and the book does not mark it an ending");
        }
    }
    // Built again with no choice taken, as after a side trip to the menu.
    const std::string signature = storyPage ? PageSignature() : std::string();

    for (const Action& a : actions) {
        Restore(post, snapshots_);
        device::MessageBoxLog().clear();
        if (a.step.kind == Step::Command && a.step.id == CMD_BEGINNING)
            device::SetMessageBoxAnswer(IDYES);
        Perform(a.step);
        device::SetMessageBoxAnswer(IDOK);
        for (const device::MessageBoxRecord& m : device::MessageBoxLog()) {
            if (!m.caption.empty()) continue;  // the reader's own question, not a report
            std::string text = device::Narrow(m.text);
            Note(report_.messages, seenMessages_, std::to_string(paragraph) + "|" + text, index,
                 paragraph, "raises \"" + text + "\" on \"" + a.step.text + "\"");
        }
        ++edges_;
        const std::string after = Capture(snapshots_);
        const uint32_t next = Add(after, index, {a.step});
        AddFlow(index, next, pre, after);
        if (a.story) storyEdges_.push_back({index, next});
    }

    if (storyPage && post != pre) {
        Restore(post, snapshots_);
        RebuildPage(mainWindow);
        if (PageSignature() != signature)
            Note(report_.unstablePages, seenUnstable_, std::to_string(paragraph), index, paragraph,
                 kUnstable);
    }
    ProbeShownValues(index, pre, post);
    RestoreEdges(index, pre, post);
}

// The slots are not part of a state's key, so the restore of a checkpoint is
// taken where the checkpoint is saved: the reader's restart page is opened
// then and the slot's button tapped. Every later restore of that save leads to
// the same paragraph and objects.
void Explorer::RestoreEdges(uint32_t index, const std::string& pre, const std::string& post) {
    if (options_.exact || !options_.menu) return;
    for (int k = 0; k < checkpointCount; ++k) {
        const size_t at = StateLayout().Slots() + k * 7;
        if (post.compare(at, 7, pre, at, 7) == 0) continue;
        Restore(post, snapshots_);
        Step restart;
        restart.kind = Step::Command;
        restart.id = CMD_RESTART;
        restart.text = "menu Restart";
        Perform(restart);
        RebuildPage(mainWindow);
        for (int i = 0; i < hotwordCount; ++i) {
            const HotwordRecord& r = hotwordTable[i];
            if (r.kind != 'u' || r.objectIndex != k || r.controlId == 0) continue;
            Step tap;
            tap.id = r.controlId;
            tap.text = ButtonText(r.controlId);
            Perform(tap);
            ++edges_;
            const std::string after = Capture(snapshots_);
            AddFlow(index, Add(after, index, {restart, tap}), pre, after);
            break;
        }
    }
    device::MessageBoxLog().clear();
}

void Explorer::Finish(Report& report) {
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
    // Checkpoints: which states still lead to a good ending by the story alone.
    std::vector<std::vector<uint32_t>> back(nodes_.size());
    for (const auto& [from, to] : storyEdges_) back[to].push_back(from);
    std::vector<bool> hopeful(nodes_.size(), false);
    std::deque<uint32_t> work(goodEndingStates_.begin(), goodEndingStates_.end());
    for (uint32_t s : work) hopeful[s] = true;
    while (!work.empty()) {
        uint32_t s = work.front();
        work.pop_front();
        for (uint32_t from : back[s])
            if (!hopeful[from]) {
                hopeful[from] = true;
                work.push_back(from);
            }
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
    std::set<std::string> seen;
    for (const auto& [state, slot] : checkpointSaves_) {
        if (hopeful[state]) continue;
        const int p = ParagraphOf(StateAt(state));
        Note(report.hopelessCheckpoints, seen, std::to_string(p) + "|" + std::to_string(slot),
             state, p,
             "saves checkpoint " + std::to_string(slot) +
                 " in a state from which no good ending can be reached");
    }
}

Report Explorer::Run() {
    const auto start = std::chrono::steady_clock::now();
    OpenHost();
    // A fresh start: the objects as the book's tables start them (an earlier
    // search in this process leaves them as its last state), no checkpoint
    // saved.
    for (int k = 0; k < objectCount && k < static_cast<int>(book_.objects.size()); ++k) {
        const auto [low, high] = bookc::StartBytes(book_.objects[k]);
        objectTable[k].held = low;
        objectTable[k].current = high;
    }
    ClearCheckpoints();
    ResetReader();
    Add(Capture(snapshots_), 0, {});
    for (uint32_t visited = 0; visited < nodes_.size(); ++visited) {
        uint32_t i = visited;
        if (options_.novelty) {
            i = pending_.top().index;
            pending_.pop();
        }
        if (nodes_.size() > options_.maxStates) {
            report_.cutShort = "stopped at " + std::to_string(options_.maxStates) + " states";
            break;
        }
        if ((visited & 255) == 0) {
            std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
            if (spent.count() > options_.maxSeconds ||
                (spent.count() > options_.maxSeconds * kSearchShare &&
                 Unmet().size() <= kHandful)) {
                report_.cutShort = "stopped after " + std::to_string(options_.maxSeconds) + " s";
                break;
            }
        }
        visitedOrder_.push_back(i);
        Visit(i);
    }
    if (!report_.cutShort.empty()) Aim(start);
    CheckMergedStates();
    CheckPagesAlone();
    if (unsound_)
        report_.cutShort =
            "a page that overwrites objects was entered while skipping, so states told apart "
            "only by what it overwrites were merged: run again with --exact";
    report_.lintsWarnOnly = options_.lintsWarnOnly;
    Finish(report_);
    // A search that finished built every page a reader reaches, and the
    // merged states' check the rest of what they show: a page is then
    // unchecked only when neither that nor the check alone could build it.
    for (int paragraph : uncheckedPages_)
        if (!report_.cutShort.empty() || options_.exact || mergedUnchecked_.count(paragraph))
            report_.unchecked.push_back(paragraph);
    report_.states = nodes_.size();
    report_.edges = edges_;
    report_.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return report_;
}

}  // namespace detail

bool Report::Clean() const {
    bool allEndings = true;
    for (const EndingReached& e : endings) allEndings = allEndings && e.reached;
    const bool complete = cutShort.empty();
    const bool lints = lintsWarnOnly || (unheldValues.empty() && unstablePages.empty() &&
                                         (!complete || hopelessCheckpoints.empty()));
    return (!complete || (unreached.empty() && allEndings && unreachableAnswers.empty())) &&
           deadEnds.empty() && messages.empty() && impossibleOutcomes.empty() && lints;
}

std::vector<std::string> Report::NotJudged() const {
    std::vector<std::string> open;
    const bool complete = cutShort.empty();
    // Proven absent page by page: every page built alone, no alarm of the kind.
    auto alone = [&](const char* kind) {
        return pagesChecked > 0 && unchecked.empty() &&
               std::none_of(pageAlarms.begin(), pageAlarms.end(),
                            [&](const Finding& f) { return f.kind == kind; });
    };
    auto absent = [&](const std::vector<Finding>& found, const char* kind, const char* title) {
        if (!found.empty() || (complete && unchecked.empty()) || alone(kind)) return;
        open.push_back(std::string(title) +
                       (!unchecked.empty() ? ": some pages are not built under every value"
                                           : ": pages built alone raise alarms, and the search "
                                             "was cut short"));
    };
    absent(messages, "messages", "Pages raising a message");
    absent(deadEnds, "deadEnds", "Dead ends");
    absent(impossibleOutcomes, "impossibleOutcomes", "Chance outcomes that never come up");
    absent(unheldValues, "unheldValues", "Values shown of objects not held");
    absent(unstablePages, "unstablePages", "Pages that change when built again");
    if (!complete) {
        int missing = 0;
        for (const EndingReached& e : endings) missing += !e.reached;
        if (!unreached.empty())
            open.push_back("Paragraphs reached: " + std::to_string(unreached.size()) +
                           " not reached, and the search was cut short");
        if (missing)
            open.push_back("Endings reached: " + std::to_string(missing) +
                           " not reached, and the search was cut short");
        if (!unreachableAnswers.empty())
            open.push_back(
                "Answer boxes never shown: " + std::to_string(unreachableAnswers.size()) +
                " not shown, and the search was cut short");
        if (!checkpointsUnproven.empty() || pagesChecked == 0)
            open.push_back(
                "Checkpoints saved with no good ending ahead: not every checkpoint page is "
                "shown to have a good ending ahead in every state, and the search was cut short");
    }
    return open;
}

Report Explore(const bookc::Book& book, const Options& options) {
    return detail::Explorer(book, options).Run();
}

}  // namespace explore
