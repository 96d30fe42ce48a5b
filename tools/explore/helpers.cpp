// The helpers the explorer's files share (search.h): a state captured from
// the reader's globals and restored to them, a roll forced, the facts read
// from the book's source, and what a built page shows and offers.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "book/state.h"
#include "book/tables.h"
#include "book/text_store.h"
#include "page/builder.h"
#include "page/controls.h"
#include "page/layout.h"
#include "page/line.h"
#include "script/choice.h"
#include "script/engine.h"
#include "script/hotwords.h"
#include "shell/navigation.h"
#include "tools/explore/search.h"

namespace explore::detail {
namespace {

std::string ObjectBytes(const uint8_t* states) {
    return std::string(reinterpret_cast<const char*>(states), 2 * objectCount);
}

}  // namespace

std::string Capture(SnapshotTable& snapshots) {
    std::string s;
    Put(s, CaptureReaderState());
    for (int k = 0; k < objectCount; ++k) Put(s, objectTable[k].number);
    for (int k = 0; k < checkpointCount; ++k) {
        Put(s, checkpointSlots[k].used);
        Put(s, checkpointSlots[k].paragraph);
        uint32_t id = checkpointSlots[k].used
                          ? snapshots.Intern(ObjectBytes(checkpointStates + 2 * objectCount * k))
                          : 0;
        Put(s, id);
    }
    return s;
}

void Restore(const std::string& s, const SnapshotTable& snapshots) {
    size_t at = 0;
    ReaderState reader;
    Get(s, at, reader);
    RestoreReaderState(reader);
    for (int k = 0; k < objectCount; ++k) Get(s, at, objectTable[k].number);
    for (int k = 0; k < checkpointCount; ++k) {
        Get(s, at, checkpointSlots[k].used);
        Get(s, at, checkpointSlots[k].paragraph);
        uint32_t id;
        Get(s, at, id);
        if (checkpointSlots[k].used)
            std::memcpy(checkpointStates + 2 * objectCount * k, snapshots.At(id).data(),
                        2 * objectCount);
    }
    pageDirty = 0;
    choiceTaken = 0;
    scrollOffset = 0;
}

// The objects held and their values, for a reader of the report.
std::string Describe(const std::string& s) {
    std::string out;
    size_t at = StateLayout().Objects();
    for (int k = 0; k < objectCount; ++k) {
        int16_t number;
        Get(s, at, number);
        const ObjectEntry& o = objectTable[k];
        const uint8_t held = static_cast<uint8_t>(number & 0xff);
        const uint8_t current = static_cast<uint8_t>((number >> 8) & 0xff);
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
    for (int k = 0; k < checkpointCount; ++k) {
        uint8_t used;
        int16_t paragraph;
        uint32_t id;
        Get(s, at, used);
        Get(s, at, paragraph);
        Get(s, at, id);
        if (used) slots += (slots.empty() ? "" : " ") + std::to_string(k);
    }
    if (out.empty()) out = "nothing held";
    if (!slots.empty()) out += "; checkpoints saved: " + slots;
    return out;
}

ReaderState ReaderOf(const char* state) {
    ReaderState reader;
    std::memcpy(&reader, state, sizeof reader);
    return reader;
}

void SetCarried(std::string& state, const std::string& carry) {
    state.replace(StateLayout::kFlags, StateLayout::kFlagsSize, carry);
}

int16_t ParagraphOf(const std::string& s) {
    return ReaderOf(s).navigation.currentParagraph;
}

std::string AtPage(std::string state, int16_t page, int16_t story, bool inStory,
                   const std::string& carry) {
    ReaderState reader = ReaderOf(state);
    reader.navigation.currentParagraph = page;
    reader.navigation.storyParagraph = story;
    reader.navigation.inStory = inStory ? 1 : 0;
    std::memcpy(state.data(), &reader, sizeof reader);
    SetCarried(state, carry);
    return state;
}

// ---------------------------------------------------------------------------
// Forcing a roll: the reader's chance comes from the runtime generator seeded
// once per run; the seed that makes its next value give a roll is found once.
namespace {

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

// ---------------------------------------------------------------------------
namespace {

int ReadNumber(const std::string& s, size_t& i) {
    while (i < s.size() && s[i] == ' ') ++i;
    int v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') v = v * 10 + (s[i++] - '0');
    return v;
}

}  // namespace

StaticFacts ReadFacts(const bookc::Book& book) {
    StaticFacts f;
    for (const bookc::Ending& e : book.endings) f.endings[e.page] = &e;
    for (const bookc::Paragraph& p : book.paragraphs) {
        if (!p.HasWords()) continue;
        f.withText.insert(p.number);
        std::string text;
        for (const bookc::Word& w : p.words) text += w.text + " ";
        for (size_t i = text.find("<l"); i != std::string::npos; i = text.find("<l", i + 1)) {
            size_t j = i + 2;
            while (j < text.size() && text[j] == ' ') ++j;
            if (j < text.size() && text[j] == '%')
                f.shownValues[p.number].insert(ReadNumber(text, ++j));
        }
        for (size_t i = text.find("<R"); i != std::string::npos; i = text.find("<R", i + 1)) {
            size_t j = text.find('%', i);
            if (j == std::string::npos) break;
            const int k = ReadNumber(text, ++j);
            while (j < text.size() && text[j] == ' ') ++j;
            if (j < text.size() && text[j] == 'z' && k < objectCount && objectTable[k].count > 1)
                f.buildDraws.try_emplace(p.number, objectTable[k].count);
        }
        if (text.find("<s") != std::string::npos) f.saves.insert(p.number);
        for (size_t i = text.find("<S"); i != std::string::npos; i = text.find("<S", i + 1)) {
            size_t open = text.find('(', i), close = text.find(')', open);
            if (open == std::string::npos || close == std::string::npos) continue;
            size_t j = close + 1;
            f.answerBoxes[p.number].insert(
                {text.substr(open + 1, close - open - 1), ReadNumber(text, j)});
        }
    }
    return f;
}

// ---------------------------------------------------------------------------
namespace {

std::string Narrow(const char16_t* s) {
    std::string out;
    for (; *s; ++s) out += static_cast<char>(*s & 0xff);
    return out;
}

}  // namespace

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

// Every value a page may meet in object byte `b`: held or not for a held
// byte; for a value byte the object's range below `below`, or `start` (its
// start value) when the range is empty.
std::vector<uint8_t> EveryValue(int b, uint8_t start, int below) {
    if (b % 2 == 0) return {0, 1};
    std::vector<uint8_t> values;
    const ObjectEntry& o = objectTable[b / 2];
    for (int v = std::max<int>(o.minimum, 0); v < o.count && v < below; ++v)
        values.push_back(static_cast<uint8_t>(v));
    if (values.empty()) values.push_back(start);
    return values;
}

// The hotword table belongs to the last paragraph scanned: a page built by
// code leaves it as it was.
bool PageScanned() {
    return !infoPageShowing && pendingBuiltInPage == 0 && ParagraphHasText(currentParagraph);
}

// What a chance hotword declares but no roll gives, for a reader of the
// report; empty when every outcome comes up.
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
}  // namespace explore::detail
