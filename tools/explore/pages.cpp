#include "tools/explore/pages.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "book/state.h"
#include "book/tables.h"
#include "book/text_store.h"
#include "device/record.h"
#include "page/builder.h"
#include "page/controls.h"
#include "script/choice.h"
#include "script/engine.h"
#include "shell/commands.h"
#include "shell/navigation.h"
#include "shell/rebuild.h"
#include "shell/window.h"
#include "windows.h"

namespace explore::detail {
namespace {

// The menu pages: a link to one of them is no way on for a story page.
bool IsMenuPage(int paragraph) {
    return paragraph >= PARAGRAPH_BEGINNING && paragraph <= PARAGRAPH_HINTS;
}

const char* const kWrongAnswer = "qqqq";

std::string Narrow(const char16_t* s) {
    std::string out;
    for (; *s; ++s) out += static_cast<char>(*s & 0xff);
    return out;
}

template <typename T>
void Put(std::string& s, const T& v) {
    s.append(reinterpret_cast<const char*>(&v), sizeof v);
}

// The seed that makes the runtime generator's next value give `roll` of 1 to
// `range`, found once: the reader's chance comes from that generator, seeded
// once per run.
int SeedFor(int range, int roll) {
    static std::map<std::pair<int, int>, int> seeds;
    auto [it, fresh] = seeds.try_emplace({range, roll}, 0);
    if (fresh) {
        int seed = 1;
        for (std::srand(1); std::rand() % range + 1 != roll;
             std::srand(static_cast<unsigned>(++seed))) {
        }
        it->second = seed;
    }
    return it->second;
}

}  // namespace

std::vector<std::string> Pages::Build(StateView state, int draw, int drawRange) const {
    Restore(state);
    device::MessageBoxLog().clear();
    device::SoundLog().clear();
    if (draw >= 0) ForceRoll(drawRange, draw + 1);
    RebuildPage(mainWindow);
    std::vector<std::string> messages;
    for (const device::MessageBoxRecord& m : device::MessageBoxLog())
        messages.push_back(device::Narrow(m.text));
    return messages;
}

// A hotword offers one action, a chance hotword one for each roll band, an
// answer box one for each accepted answer and one wrong answer.
void Pages::HotwordActions(std::vector<Action>& actions) const {
    const bool storyPage = inStory && pendingBuiltInPage == 0;
    auto leads = [&](int16_t target) { return storyPage && !IsMenuPage(target + 1); };
    for (int i = 0; i < hotwordCount && PageScanned(); ++i) {
        const HotwordRecord& r = hotwordTable[i];
        if (r.controlId == 0) continue;
        Action a;
        a.step.id = r.controlId;
        a.step.text = ButtonText(r.controlId);
        if (r.kind == 'S') {
            a.step.kind = Step::Answer;
            for (const char* typed : {r.answer1, r.answer2, r.answer3, kWrongAnswer}) {
                if (!typed[0]) continue;
                a.step.text = typed;
                a.wayOn = a.story = leads(HotwordTarget(r, 0, typed));
                actions.push_back(a);
            }
        } else if (ChanceRange(r.kind)) {
            int range;
            for (const Band& band : RollBands(r, range)) {
                a.step.roll = band.low;
                a.step.rollHigh = band.high;
                a.step.rollRange = range;
                a.wayOn = a.story = leads(band.target);
                actions.push_back(a);
            }
        } else {
            // A checkpoint's restore leads on, but not through the story.
            a.wayOn = r.kind == 'u' ? storyPage : leads(r.target1);
            a.story = a.wayOn && r.kind != 'u';
            actions.push_back(a);
        }
    }
}

// The icon bar's arrows and, unless left out, the menu's pages and the
// return from a side page.
void Pages::CommandActions(std::vector<Action>& actions) const {
    const bool storyPage = inStory && pendingBuiltInPage == 0;
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
        const bool on =
            storyPage && nextArrowMode == ARROW_PARAGRAPH && !IsMenuPage(nextArrowTarget + 1);
        command(CMD_NEXT, "next", on, on);
    }
    if (prevArrowMode)
        command(CMD_PREVIOUS, "previous", false,
                storyPage && prevArrowMode == ARROW_PARAGRAPH && !IsMenuPage(prevArrowTarget + 1));
    if (!menu_) return;
    command(CMD_BEGINNING, "menu Beginning", false, false);
    if (!inStory) command(CMD_RETURN, "return", false, false);
    command(CMD_INFORMATION, "menu Information", false, false);
    command(CMD_RESTART, "menu Restart", false, false);
    command(CMD_OBJECTIVE, "menu Objective", false, false);
    command(CMD_HINTS, "menu Hints", false, false);
    command(CMD_CREDITS, "menu Credits", false, false);
}

std::vector<Action> Pages::Actions() const {
    std::vector<Action> actions;
    // On the information page built by code, each object's button.
    if (infoPageShowing) {
        for (int k = 0; k < OBJECT_LIMIT && k < objectCount; ++k)
            if (infoPageButtonIds[k] >= 0) {
                Action a;
                a.step.id = infoPageButtonIds[k];
                a.step.text = ButtonText(a.step.id);
                actions.push_back(a);
            }
    }
    HotwordActions(actions);
    CommandActions(actions);
    return actions;
}

void Pages::Perform(const Step& step) const {
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

std::vector<int> Pages::ShownUnheld(StateView pre, StateView post) const {
    std::vector<int> shown;
    auto it = facts_.shownValues.find(pre.Page());
    if (it == facts_.shownValues.end() || pre.BuiltInPending()) return shown;
    static const char* const kMarker = "@@unheld@@";
    static const char* markers[256];
    std::fill(std::begin(markers), std::end(markers), kMarker);
    for (int k : it->second) {
        if (k >= objectCount || objectTable[k].type != OBJECT_TEXT) continue;
        if (post.Held(k) || pre.Held(k)) continue;
        Restore(pre);
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

void ForceRoll(int range, int roll) {
    std::srand(static_cast<unsigned>(SeedFor(range, roll)));
    rollSeeded = true;
}

std::vector<Band> RollBands(const HotwordRecord& r, int& range) {
    std::vector<Band> bands;
    range = ChanceRange(r.kind);
    for (int roll = 1; roll <= range; ++roll) {
        const int16_t target = HotwordTarget(r, roll, "");
        bool known = false;
        for (Band& b : bands)
            if (b.target == target) {
                known = true;
                if (b.high == roll - 1) b.high = roll;
            }
        if (!known) bands.push_back({roll, roll, target});
    }
    return bands;
}

std::string NeverComesUp(const HotwordRecord& r) {
    int range;
    std::set<int16_t> possible;
    for (const Band& band : RollBands(r, range)) possible.insert(band.target);
    std::vector<std::pair<int16_t, const char*>> declared = {{r.target1, "first"},
                                                             {r.target2, "last"}};
    if (r.kind == 'd' && r.threshold2) declared.push_back({r.target3, "second"});
    if (r.kind == 'd' && r.threshold3) declared.push_back({r.target4, "third"});
    std::string never;
    for (const auto& [target, which] : declared)
        if (!possible.count(target))
            never += std::string(never.empty() ? "" : "; ") + "the " + which +
                     " outcome (paragraph " + std::to_string(target + 1) + ") never comes up";
    if (never.empty()) return never;
    return std::string("chance hotword \"") + ButtonText(r.controlId) + "\" (" + r.kind +
           ", chance " + std::to_string(r.value) + "): " + never;
}

std::string ButtonText(int16_t id) {
    const int n = id - HOTWORD_ID_BASE;
    if (n < 0 || n >= CONTROL_SLOTS) return "?";
    if (buttonRecords[n].textLength == 0) return "(picture)";
    return Narrow(buttonRecords[n].caption);
}

std::string PageSignature() {
    std::string s(pageTextPool, static_cast<size_t>(std::max<int16_t>(poolUsed, 0)));
    for (int i = 1; i <= pageItemCount; ++i) Put(s, pageItems[i].type);
    for (int i = 0; i < hotwordCount; ++i) {
        const HotwordRecord& r = hotwordTable[i];
        s += r.kind;
        Put(s, r.target1);
        Put(s, r.target2);
        Put(s, r.controlId);
    }
    Put(s, nextArrowMode);
    Put(s, nextArrowTarget);
    return s;
}

bool PageScanned() {
    return !infoPageShowing && pendingBuiltInPage == 0 && ParagraphHasText(currentParagraph);
}

std::vector<uint8_t> EveryValue(int b, uint8_t start, int below) {
    if (b % 2 == 0) return {0, 1};
    std::vector<uint8_t> values;
    const ObjectEntry& o = objectTable[b / 2];
    for (int v = std::max<int>(o.minimum, 0); v < o.count && v < below; ++v)
        values.push_back(static_cast<uint8_t>(v));
    if (values.empty()) values.push_back(start);
    return values;
}

}  // namespace explore::detail
