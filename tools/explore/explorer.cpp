// The search: every state is a page about to be built, written as the bytes of
// the reader's globals that the build and the choices read. A state is
// restored, its page built by the reader's own rebuild, and each way of
// leaving the page (every hotword, every roll band of a chance hotword, every
// accepted answer and one wrong one, the arrows, the menu's pages and the
// return) is carried out by the reader's own window procedure and choice
// resolution; the state that results is the next one. Breadth-first, so the
// first path found to anything is a shortest one.
#include "tools/explore/explorer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <queue>
#include <set>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "book/state.h"
#include "book/tables.h"
#include "book/text_store.h"
#include "device/record.h"
#include "page/builder.h"
#include "page/controls.h"
#include "page/layout.h"
#include "page/line.h"
#include "script/choice.h"
#include "script/engine.h"
#include "script/hotwords.h"
#include "shell/app_state.h"
#include "shell/commands.h"
#include "shell/navigation.h"
#include "shell/window.h"
#include "tools/explore/host.h"
#include "tools/explore/liveness.h"
#include "windows.h"

namespace explore {
namespace {

// The menu pages: a link to one of them is no way on for a story page.
bool IsMenuPage(int paragraph) {
    return paragraph >= 2 && paragraph <= 7;
}

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

// The reader's globals a page build and its choices read, in a fixed layout.
struct StateLayout {
    static constexpr size_t kNav = 2 + 2 + 4 + 4 + 4 + 1 + 2 + 4 + 4;
    size_t Objects() const { return kNav; }
    size_t Slots() const { return kNav + 2 * objectCount; }
    size_t Size() const { return Slots() + checkpointCount * (1 + 2 + 4); }
};

// Where the markup engine's flags carried from page to page start in a state.
constexpr size_t kCarriedFlags = 12;

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

std::string ObjectBytes(const uint8_t* states) {
    return std::string(reinterpret_cast<const char*>(states), 2 * objectCount);
}

std::string Capture(SnapshotTable& snapshots) {
    std::string s;
    Put(s, currentParagraph);
    Put(s, storyParagraph);
    Put(s, inStory);
    Put(s, pendingBuiltInPage);
    Put(s, builderBold);
    Put(s, titleMode);
    Put(s, skipCount);
    Put(s, scannerState);
    Put(s, layoutBold);
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
    Get(s, at, currentParagraph);
    Get(s, at, storyParagraph);
    Get(s, at, inStory);
    Get(s, at, pendingBuiltInPage);
    Get(s, at, builderBold);
    Get(s, at, titleMode);
    Get(s, at, skipCount);
    Get(s, at, scannerState);
    Get(s, at, layoutBold);
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

int16_t ParagraphOf(const std::string& s) {
    int16_t p;
    std::memcpy(&p, s.data(), sizeof p);
    return p;
}

// ---------------------------------------------------------------------------
// Forcing a roll: the reader's chance comes from the runtime generator seeded
// once per run; the seed that makes its next value give a roll is found once.

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

void ForceRoll(int range, int roll) {
    std::srand(static_cast<unsigned>(SeedFor(range, roll)));
    rollSeeded = true;
}

// The roll bands of a chance hotword: the first and last roll of each
// outcome, with the outcome's target (paragraph number minus one).
struct Band {
    int low, high;
    int16_t target;
};
std::vector<Band> RollBands(const HotwordRecord& r, int& range) {
    std::vector<Band> bands;
    range = r.kind == 'L' ? 20 : 100;
    for (int roll = 1; roll <= range; ++roll) {
        int16_t target;
        if (r.kind == 'L') {
            target = roll > static_cast<int16_t>(r.value) ? r.target2 : r.target1;
        } else {
            target = roll <= r.value        ? r.target1
                     : roll <= r.threshold2 ? r.target3
                     : roll <= r.threshold3 ? r.target4
                                            : r.target2;
        }
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
// What the source says that the tables do not.

struct StaticFacts {
    std::map<int, const bookc::Ending*> endings;
    // paragraph -> how many values the first random value its build draws
    // (`<R %o z>`) can give
    std::map<int, int> buildDraws;
    std::map<int, std::set<int>> shownValues;  // paragraph -> objects an <l> shows
    // paragraph -> (first answer, first target) of each answer box written
    std::map<int, std::set<std::pair<std::string, int>>> answerBoxes;
    std::set<int> withText;
    std::set<int> saves;  // paragraphs that save a checkpoint
};

int ReadNumber(const std::string& s, size_t& i) {
    while (i < s.size() && s[i] == ' ') ++i;
    int v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') v = v * 10 + (s[i++] - '0');
    return v;
}

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

const char* const kWrongAnswer = "qqqq";

std::string Narrow(const char16_t* s) {
    std::string out;
    for (; *s; ++s) out += static_cast<char>(*s & 0xff);
    return out;
}

std::string ButtonText(int16_t id) {
    const int n = id - HOTWORD_ID_BASE;
    if (n < 0 || n >= CONTROL_SLOTS) return "?";
    if (buttonRecords[n].textLength == 0) return "(picture)";
    return Narrow(buttonRecords[n].caption);
}

// Everything a page offers, with whether it leads on through the story.
struct Action {
    Step step;
    bool wayOn = false;  // for a story page: leads somewhere but the menu's pages
    bool story = false;  // a move within the story, not through the menu
};

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

uint8_t ValueBit(uint8_t v) {
    return v < 7 ? static_cast<uint8_t>(1u << v) : 0x80;
}

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

// A state's future depends on the navigation, the markup engine's carried
// flags and the object bytes some page ahead of the story paragraph still
// reads to steer. A side page (menu page, description page) keeps too the
// held bytes its own markup reads: they choose which pages it offers.
// The checkpoint slots are left out: a restore leads to the state saved,
// which RestoreEdges() reaches from the state that saved it.
const char* Explorer::KeptMask(const char* state) const {
    int16_t paragraph, story;
    std::memcpy(&paragraph, state, sizeof paragraph);
    std::memcpy(&story, state + 2, sizeof story);
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
        int16_t story;
        std::memcpy(&story, state.data() + 2, sizeof story);
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

// The hotword table belongs to the last paragraph scanned: a page built by
// code leaves it as it was.
bool PageScanned() {
    return !infoPageShowing && pendingBuiltInPage == 0 && ParagraphHasText(currentParagraph);
}

std::vector<Action> Explorer::Actions() const {
    std::vector<Action> actions;
    const bool storyPage = inStory && pendingBuiltInPage == 0;
    auto leads = [&](int16_t target) { return !IsMenuPage(target + 1); };
    if (infoPageShowing) {
        for (int k = 0; k < OBJECT_SLOTS && k < objectCount; ++k)
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
            std::vector<std::pair<std::string, int16_t>> answers;
            if (r.answer1[0]) answers.push_back({r.answer1, r.target1});
            if (r.answer2[0]) answers.push_back({r.answer2, r.target3});
            if (r.answer3[0]) answers.push_back({r.answer3, r.target4});
            answers.push_back({kWrongAnswer, r.target2});
            for (const auto& [typed, target] : answers) {
                Action a;
                a.step.kind = Step::Answer;
                a.step.id = r.controlId;
                a.step.text = typed;
                a.wayOn = a.story = storyPage && leads(target);
                actions.push_back(a);
            }
            continue;
        }
        if (r.kind == 'L' || r.kind == 'd') {
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
        const bool on = storyPage && nextArrowMode == 1 && leads(nextArrowTarget);
        command(CMD_NEXT, "next", on, on);
    }
    if (prevArrowMode)
        command(CMD_PREVIOUS, "previous", false,
                storyPage && prevArrowMode == 1 && leads(prevArrowTarget));
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
    int32_t pending;
    std::memcpy(&pending, pre.data() + 8, sizeof pending);
    auto it = facts_.shownValues.find(ParagraphOf(pre));
    if (it == facts_.shownValues.end() || pending) return shown;
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
        if (r.kind == 'L' || r.kind == 'd') CheckChance(paragraph, r);
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

// Past this share of its time bound, a search that has left no more than a
// handful of paragraphs unmet leaves the rest of the bound to aiming at them:
// the search itself is better at many (it keeps finding them in bursts),
// aiming at a few.
constexpr double kSearchShare = 0.75;
constexpr size_t kHandful = 8;

// A combination of values builds no more pages than this; a page reading
// more unkept bytes is listed as not checked.
constexpr size_t kMaxCombinations = 4096;

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
        int32_t pending;
        std::memcpy(&pending, pre.data() + 8, sizeof pending);
        if (pending) continue;
        auto draws = facts_.buildDraws.find(ParagraphOf(pre));
        if (draws == facts_.buildDraws.end()) {
            CheckUnkeptValues(index, pre, -1, 0);
            continue;
        }
        for (int value = 0; value < draws->second; ++value)
            CheckUnkeptValues(index, pre, value, draws->second);
    }
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

// The list an alarm of a page built alone would belong to, by its wording.
std::string AlarmKind(const std::string& what) {
    if (what.rfind("raises", 0) == 0) return "messages";
    if (what.rfind("no way on", 0) == 0) return "deadEnds";
    if (what.rfind("chance hotword", 0) == 0) return "impossibleOutcomes";
    if (what == kUnstable) return "unstablePages";
    return "unheldValues";
}

// Every value a page built alone meets in byte `b`: a held byte of an object
// every way into the page holds is held.
std::vector<uint8_t> Explorer::AloneValues(int paragraph, int b, uint8_t start) const {
    if (b % 2 == 0 && b / 2 < 64 && (liveness_.mustHeld[paragraph] >> (b / 2) & 1)) return {1};
    return EveryValue(b, start, 256);
}

// Builds the page of `state` alone, its draw forced when it has one, and
// lists the messages it raises and the chance outcomes its hotwords never
// give; `post` receives the state the build left, `signature` what it shows.
std::vector<std::string> Explorer::BuildAlone(const std::string& state, int draw, int drawRange,
                                              std::string& post, std::string& signature) {
    std::vector<std::string> whats;
    Restore(state, snapshots_);
    device::MessageBoxLog().clear();
    if (draw >= 0) ForceRoll(drawRange, draw + 1);
    RebuildPage(mainWindow);
    for (const device::MessageBoxRecord& m : device::MessageBoxLog())
        whats.push_back("raises \"" + device::Narrow(m.text) + "\"");
    signature = PageSignature();
    post = Capture(snapshots_);
    for (int i = 0; i < hotwordCount && PageScanned(); ++i) {
        const HotwordRecord& r = hotwordTable[i];
        if (r.kind != 'L' && r.kind != 'd') continue;
        const std::string never = NeverComesUp(r);
        if (!never.empty()) whats.push_back(never);
    }
    return whats;
}

// The two lints on a page built alone from `state` (leaving `post`): a value
// shown of an object not held and, on a story page, other text or choices
// when built again with no choice taken.
void Explorer::AloneLints(const std::string& state, const std::string& post,
                          const std::string& signature, bool side,
                          std::vector<std::string>& whats) {
    for (int k : ShownUnheld(state, post))
        whats.push_back(std::string("shows the value of ") + objectTable[k].name +
                        ", which is not held");
    if (side || post == state) return;
    Restore(post, snapshots_);
    RebuildPage(mainWindow);
    if (PageSignature() != signature) whats.push_back(kUnstable);
}

// A page too big to build under every combination but made of independent
// blocks (liveness.h) builds as its parts' outputs one after another, each
// hanging only on its own bytes: nothing is merged across a part's edge (each
// ends on a break), and no part changes what the engine carries into the
// next. So each part is built under every value of its bytes, the others at
// `base`: a message or a lint there is an alarm, and the combination taking
// each part's largest output on a measure the page's limits count (text
// pool, items, hotwords, buttons) is the largest of all combinations on it.
// Built once for each measure, under the item limit (beyond it runs are
// dropped and the pool undercounts), it bounds every other. Only for side
// pages, whose ways on are no proof's concern; false when it cannot prove.
bool Explorer::CheckBlocksAlone(int paragraph, const std::string& base,
                                std::vector<std::pair<std::string, std::string>>& alarms,
                                std::set<std::string>& carriesAfter) {
    const size_t objects = StateLayout().Objects();
    constexpr int kMeasures = 4;
    auto measures = [] {
        return std::array<int, kMeasures>{poolUsed, pageItemCount, hotwordCount, buttonCount};
    };
    std::array<std::string, kMeasures> largest;
    largest.fill(base);
    std::string post, signature;
    for (const std::vector<int>& part : liveness_.blocks[paragraph]) {
        std::vector<std::vector<uint8_t>> values;
        size_t combinations = 1;
        for (int b : part) {
            values.push_back(AloneValues(paragraph, b, static_cast<uint8_t>(base[objects + b])));
            combinations *= values.back().size();
        }
        if (combinations > kMaxCombinations) return false;
        std::array<int, kMeasures> top;
        top.fill(-1);
        for (size_t n = 0; n < combinations; ++n) {
            std::string state = base;
            size_t rest = n;
            for (size_t i = 0; i < part.size(); ++i) {
                state[objects + part[i]] = static_cast<char>(values[i][rest % values[i].size()]);
                rest /= values[i].size();
            }
            std::vector<std::string> whats = BuildAlone(state, -1, 0, post, signature);
            const std::array<int, kMeasures> m = measures();
            if (m[1] >= PAGE_ITEM_LIMIT) return false;
            for (int i = 0; i < kMeasures; ++i)
                if (m[i] > top[i]) {
                    top[i] = m[i];
                    for (int b : part) largest[i][objects + b] = state[objects + b];
                }
            carriesAfter.insert(post.substr(kCarriedFlags, objects - kCarriedFlags));
            AloneLints(state, post, signature, true, whats);
            for (std::string& what : whats) alarms.push_back({what, Describe(state)});
        }
    }
    for (const std::string& state : largest) {
        std::vector<std::string> whats = BuildAlone(state, -1, 0, post, signature);
        if (pageItemCount >= PAGE_ITEM_LIMIT) return false;
        for (std::string& what : whats) alarms.push_back({what, Describe(state)});
    }
    return true;
}

// Each page with text built alone, as a story page (a description page as a
// side page), under every combination of every value of the bytes its markup
// reads, with every set of the markup engine's carried flags a page can start
// with: those the search met, all clear, and every set a page built here
// leaves (a fixed point). A build depends on nothing else but the checkpoint
// slots (none saved here) and a draw (each value forced), so what no
// combination raises, no state does: no message, no story page without a way
// on, no value shown unheld, no story page changing when built again, no
// chance outcome that never comes up.
void Explorer::CheckPagesAlone() {
    if (options_.exact) return;
    const size_t objects = StateLayout().Objects();
    std::set<std::string> carried;  // every set of carried flags a page can start with
    for (uint32_t index : visitedOrder_) {
        const std::string s = StateAt(index);
        int32_t pending;
        std::memcpy(&pending, s.data() + 8, sizeof pending);
        if (!pending) carried.insert(s.substr(kCarriedFlags, objects - kCarriedFlags));
    }
    std::string fresh = StateAt(0);
    for (size_t at = StateLayout().Slots(); at < fresh.size(); ++at) fresh[at] = 0;
    carried.insert(fresh.substr(kCarriedFlags, objects - kCarriedFlags));
    std::vector<std::string> carries(carried.begin(), carried.end());
    auto carryOn = [&](const std::string& carry) {
        if (carried.insert(carry).second) carries.push_back(carry);
    };
    // The merged states' check judged the pages a search reached; here every
    // page is judged alone, which decides for those it covers.
    const std::set<int> mergedUnchecked = std::move(uncheckedPages_);
    uncheckedPages_.clear();
    std::set<std::string> seen;
    // paragraph -> for each combination, the pages its story ways lead to
    std::map<int, std::vector<std::set<int16_t>>> waysOn;
    std::set<int> considered;
    for (size_t from = 0; from < carries.size();) {
        const size_t to = carries.size();
        for (int paragraph : facts_.withText) {
            if (paragraph < 2 || static_cast<size_t>(paragraph) >= liveness_.reads.size()) continue;
            const bool side = liveness_.side[paragraph];
            if (paragraph < 8 && !side && paragraph != 2) continue;
            considered.insert(paragraph);
            if (uncheckedPages_.count(paragraph)) continue;
            std::vector<std::pair<size_t, std::vector<uint8_t>>> read;
            size_t combinations = 1;
            for (int b : liveness_.reads[paragraph]) {
                const std::vector<uint8_t> values =
                    AloneValues(paragraph, b, static_cast<uint8_t>(fresh[objects + b]));
                combinations *= values.size();
                read.push_back({objects + static_cast<size_t>(b), values});
            }
            auto draws = facts_.buildDraws.find(paragraph);
            const int drawRange = draws == facts_.buildDraws.end() ? 0 : draws->second;
            auto place = [&](std::string state, const std::string& carry) {
                const int16_t page = static_cast<int16_t>(paragraph);
                const int16_t story = side ? 2 : page;
                const int32_t inStoryNow = side ? 0 : 1;
                std::memcpy(&state[0], &page, sizeof page);
                std::memcpy(&state[2], &story, sizeof story);
                std::memcpy(&state[4], &inStoryNow, sizeof inStoryNow);
                state.replace(kCarriedFlags, objects - kCarriedFlags, carry);
                return state;
            };
            auto alarm = [&](const std::string& what, const std::string& under) {
                if (seen.insert(std::to_string(paragraph) + what).second)
                    report_.pageAlarms.push_back({paragraph, what, under, {}, AlarmKind(what)});
            };
            if (std::any_of(read.begin(), read.end(), [&](const auto& r) {
                    return objectTable[(r.first - objects) / 2].type == OBJECT_NUMBER;
                })) {
                uncheckedPages_.insert(paragraph);
                continue;
            }
            if (combinations > kMaxCombinations) {
                bool proven = side && !drawRange && !facts_.saves.count(paragraph);
                for (size_t c = from; c < to && proven; ++c) {
                    std::vector<std::pair<std::string, std::string>> alarms;
                    std::set<std::string> carriesAfter;
                    proven =
                        CheckBlocksAlone(paragraph, place(fresh, carries[c]), alarms, carriesAfter);
                    for (const auto& [what, under] : alarms) alarm(what, under);
                    for (const std::string& carry : carriesAfter) carryOn(carry);
                }
                if (!proven) uncheckedPages_.insert(paragraph);
                continue;
            }
            std::vector<std::set<int16_t>>& ways = waysOn[paragraph];
            for (size_t c = from; c < to; ++c)
                for (size_t n = 0; n < combinations; ++n) {
                    ways.emplace_back();
                    for (int draw = drawRange ? 0 : -1; draw < drawRange; ++draw) {
                        std::string state = place(fresh, carries[c]);
                        size_t rest = n;
                        for (const auto& [at, values] : read) {
                            state[at] = static_cast<char>(values[rest % values.size()]);
                            rest /= values.size();
                        }
                        std::string post, signature;
                        std::vector<std::string> whats =
                            BuildAlone(state, draw, drawRange, post, signature);
                        carryOn(post.substr(kCarriedFlags, objects - kCarriedFlags));
                        for (const Action& a : side ? std::vector<Action>() : Actions()) {
                            if (!a.story) continue;
                            Restore(post, snapshots_);
                            Perform(a.step);
                            if (inStory && pendingBuiltInPage == 0)
                                ways.back().insert(currentParagraph);
                        }
                        Restore(post, snapshots_);
                        if (whats.empty() && paragraph >= 8 && !side &&
                            !facts_.endings.count(paragraph)) {
                            bool wayOn = false;
                            for (const Action& a : Actions()) wayOn = wayOn || a.wayOn;
                            if (!wayOn)
                                whats.push_back(
                                    "no way on but the menu, and the book does not mark it an "
                                    "ending");
                        }
                        AloneLints(state, post, signature, side, whats);
                        for (const std::string& what : whats) alarm(what, Describe(state));
                    }
                }
        }
        from = to;
    }
    // The objects certainly held trust a page's top-level tags to run: not
    // when a page can start while the engine is still skipping.
    for (const std::string& carry : carries) {
        std::string state = fresh;
        state.replace(kCarriedFlags, objects - kCarriedFlags, carry);
        Restore(state, snapshots_);
        if (skipCount != 0) uncheckedPages_.insert(considered.begin(), considered.end());
    }
    device::MessageBoxLog().clear();
    for (int paragraph : mergedUnchecked)
        if (!considered.count(paragraph)) uncheckedPages_.insert(paragraph);
    report_.pagesChecked = considered.size();
    for (int paragraph : considered) report_.pagesChecked -= uncheckedPages_.count(paragraph);
    mergedUnchecked_ = mergedUnchecked;

    // A page has a good ending ahead in every state when, under every
    // combination, some way on by the story's own choices (some roll, some
    // draw, some answer) leads to a page that has: what a way writes is
    // forgotten, since the next page is judged under every value anyway.
    std::set<int> hopeful;
    for (const bookc::Ending& e : book_.endings)
        if (e.good) hopeful.insert(e.page);
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [paragraph, combos] : waysOn) {
            if (hopeful.count(paragraph) || combos.empty()) continue;
            const bool every = std::all_of(combos.begin(), combos.end(), [&](const auto& targets) {
                return std::any_of(targets.begin(), targets.end(),
                                   [&](int16_t t) { return hopeful.count(t) > 0; });
            });
            if (every) grew = hopeful.insert(paragraph).second || grew;
        }
    }
    JudgeCheckpoints(hopeful, carried, fresh);
}

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
    int16_t paragraph;
    std::memcpy(&paragraph, node.data(), sizeof paragraph);
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
    const std::string carry = node.substr(2, objects - kCarriedFlags);
    const std::string known = node.substr(2 + objects - kCarriedFlags, bytes);
    const std::string fromRead = node.substr(2 + objects - kCarriedFlags + bytes);
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
    const std::string claim = node.substr(0, 2 + objects - kCarriedFlags + bytes);
    if (combinations > kSubsumedFrom)
        for (const std::string& general : proof.provenAt[paragraph]) {
            bool covers = general.compare(0, 2 + objects - kCarriedFlags, claim, 0,
                                          2 + objects - kCarriedFlags) == 0;
            for (size_t b = 0; b < bytes && covers; ++b) {
                const char g = general[2 + objects - kCarriedFlags + b];
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
    auto draws = facts_.buildDraws.find(paragraph);
    const int drawRange = draws == facts_.buildDraws.end() ? 0 : draws->second;
    Verdict verdict = proven;
    for (size_t c = 0; c < combinations && verdict.good; ++c) {
        std::string state = proof.fresh;
        const int32_t one = 1;
        std::memcpy(&state[0], &paragraph, sizeof paragraph);
        std::memcpy(&state[2], &paragraph, sizeof paragraph);
        std::memcpy(&state[4], &one, sizeof one);
        state.replace(kCarriedFlags, objects - kCarriedFlags, carry);
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
                m += after.substr(kCarriedFlags, objects - kCarriedFlags);
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
        int16_t last;
        std::memcpy(&last, at.data(), sizeof last);
        why = "no good ending ahead shown " + under +
              ": the ways on nearest one end at paragraph " + std::to_string(last);
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

// What the search has not met yet: the paragraphs with text not reached and
// those with an answer box not shown.
std::set<int> Explorer::Unmet() const {
    std::set<int> unmet;
    for (int p : facts_.withText)
        if (!reached_.count(p)) unmet.insert(p);
    for (const auto& [paragraph, boxes] : facts_.answerBoxes)
        for (const auto& box : boxes)
            if (!answersSeen_.count({paragraph, box})) unmet.insert(paragraph);
    return unmet;
}

// After a search cut short, the rest of its bounds go to what it left
// unmet: the stored states not visited yet are taken best-first by how far
// their story paragraph is, over the book's links, from the nearest way
// into a paragraph unmet, with each byte that way tests and the state lacks
// counting as a few links more; then by depth. The order is taken again each
// time one is met. A state no link leads on from to any is left.
void Explorer::Aim(std::chrono::steady_clock::time_point start) {
    const size_t size = liveness_.side.size();
    std::vector<bool> visited(nodes_.size(), false);
    for (uint32_t i : visitedOrder_) visited[i] = true;
    const size_t maxStates = options_.maxStates + options_.maxStates / 4;
    for (std::set<int> unmet = Unmet(); !unmet.empty();) {
        // The distance to each way into an unmet paragraph (from a story
        // page) over the story's links reversed.
        std::vector<std::vector<int>> from(size);
        std::vector<const Way*> ways;
        for (const Way& w : liveness_.ways) {
            if (w.to <= 0 || static_cast<size_t>(w.to) >= size || liveness_.side[w.from]) continue;
            from[w.to].push_back(w.from);
            if (unmet.count(w.to)) ways.push_back(&w);
        }
        constexpr uint32_t kNoWay = UINT32_MAX;
        std::map<int, std::vector<uint32_t>> distance;  // to the page a way starts on
        for (const Way* w : ways) {
            auto [it, fresh] = distance.try_emplace(w->from, size, kNoWay);
            if (!fresh) continue;
            std::vector<uint32_t>& d = it->second;
            d[w->from] = 0;
            for (std::deque<int> work = {w->from}; !work.empty(); work.pop_front())
                for (int q : from[work.front()])
                    if (d[q] == kNoWay) {
                        d[q] = d[work.front()] + 1;
                        work.push_back(q);
                    }
        }
        // A state's distance to the nearest such way, each byte the way tests
        // or every way to its page holds that the state does not have
        // counting as a few ways more.
        constexpr uint32_t kPerByte = 32;
        const size_t objects = StateLayout().Objects();
        auto away = [&](uint32_t i) {
            const char* state = states_.data() + i * stride_;
            int16_t story;
            std::memcpy(&story, state + 2, sizeof story);
            if (story <= 0 || static_cast<size_t>(story) >= size) return kNoWay;
            uint64_t held = 0;
            for (int k = 0; k < objectCount && k < 64; ++k)
                if (state[objects + 2 * k]) held |= uint64_t{1} << k;
            uint32_t best = kNoWay;
            for (const Way* w : ways) {
                const uint32_t d = distance[w->from][story];
                if (d == kNoWay) continue;
                uint32_t missing = static_cast<uint32_t>(
                    std::popcount((w->tested | liveness_.mustHeld[w->from]) & ~held));
                for (const auto& [k, v] : w->values)
                    missing += k < objectCount && state[objects + 2 * k + 1] != v;
                best = std::min(best, d + kPerByte * missing);
            }
            return best;
        };
        std::priority_queue<Pending, std::vector<Pending>, std::greater<Pending>> queue;
        auto offer = [&](uint32_t i) {
            const uint32_t d = away(i);
            if (!visited[i] && d != kNoWay) queue.push({d, nodes_[i].depth, i});
        };
        for (uint32_t i = 0; i < nodes_.size(); ++i) offer(i);
        const size_t before = unmet.size();
        for (size_t n = 0; !queue.empty(); ++n) {
            if (nodes_.size() > maxStates) return;
            if ((n & 255) == 0 &&
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >
                    options_.maxSeconds)
                return;
            const uint32_t i = queue.top().index;
            queue.pop();
            if (visited[i]) continue;
            visited[i] = true;
            const uint32_t known = static_cast<uint32_t>(nodes_.size());
            visitedOrder_.push_back(i);
            Visit(i);
            visited.resize(nodes_.size(), false);
            for (uint32_t j = known; j < nodes_.size(); ++j) offer(j);
            if (std::set<int> now = Unmet(); now.size() < before) {
                unmet = now;
                break;
            }
        }
        if (unmet.size() == before) return;
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
    currentParagraph = storyParagraph = 2;
    inStory = 1;
    pendingBuiltInPage = 0;
    builderBold = 0;
    titleMode = 0;
    skipCount = 0;
    scannerState = 0;
    layoutBold = 0;
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

}  // namespace

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
    return Explorer(book, options).Run();
}

}  // namespace explore
