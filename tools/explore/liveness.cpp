#include "tools/explore/liveness.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>

#include "book/tables.h"
#include "script/tags.h"
#include "tools/bookc/tag_args.h"

namespace explore {
namespace {

using bookc::TagAt;

// What one paragraph's markup reads, overwrites at its top level and leads to.
struct Uses {
    // `reads` steer: they decide a way on, a write, a save, a draw or an
    // answer box. `shows` only choose text to show.
    std::set<int> reads, shows, overwrites;
    std::set<int> targets;  // paragraph numbers
    bool writes = false;    // changes an object in any way
    // An <E> or <o> whose block steers runs on the result of a condition on
    // an earlier page.
    bool steersOnEarlier = false;
    // Held bits: objects any tag drops (`<Q>`), objects a top-level `<N %o>`
    // takes; and each way on with the objects certainly held when it is
    // taken beyond what the page holds: those its enclosing blocks test held
    // (`<O (X %o) & ...>`), those an `<N %o>` before it takes in no block
    // that does not hold the way too (shown whenever the way is), and the one
    // a `<N %o "label" t>` takes.
    uint64_t drops = 0, takes = 0;
    std::vector<Way> ways;
};

int Held(int k) {
    return 2 * k;
}
int Value(int k) {
    return 2 * k + 1;
}

uint64_t Bit(int k) {
    return k >= 0 && k < 64 ? uint64_t{1} << k : 0;
}

// What a tag reads and writes, from its arguments. A value taken from an
// object, or a face made from one, counts as reading both its bytes (a number
// object's value is both); `<l>` shows both, since whether its object is held
// decides the lint on a value shown of an object not held.
void Tag(const TagAt& at, bool topLevel, bool display, Uses& u) {
    if (!at.args) return;
    const bookc::TagArgs& a = *at.args;
    const unsigned effects = a.tag->effects;
    auto both = [](std::set<int>& set, int k) {
        set.insert(Held(k));
        set.insert(Value(k));
    };
    switch (a.tag->shape) {
        case TagShape::Condition:
            for (const bookc::ObjectByte& b : a.Reads())
                (display ? u.shows : u.reads).insert(b.held ? Held(b.object) : Value(b.object));
            return;
        case TagShape::ObjectValue:
            both(u.shows, a.object);
            return;
        case TagShape::CheckpointHotword:
            return;
        default:
            break;
    }
    if (effects & (kGives | kTakes | kSets | kAdds)) {
        u.writes = true;
        if (effects & kAdds) u.reads.insert(Value(a.object));
        if (a.value == bookc::TagArgs::Value::Object) both(u.reads, a.amount);
        // Acting at once at the top level, it overwrites what it writes.
        if (!a.hotword && topLevel) {
            if (effects & (kGives | kTakes)) u.overwrites.insert(Held(a.object));
            if ((effects & kSets) && a.value != bookc::TagArgs::Value::Draw)
                u.overwrites.insert(Value(a.object));
        }
    }
    if (a.face.kind == '%') both(u.reads, a.face.number);
    for (int t : a.targets) u.targets.insert(t + 1);
}

// Whether the condition at tags[i] only chooses text: its block closes in the
// same paragraph and holds nothing but text and tags that only show. A block
// of <E> or <o> that steers makes every condition before it steer, since
// those decide through the last result whether it runs.
std::vector<bool> DisplayConditions(const std::string& text, const std::vector<TagAt>& tags,
                                    Uses& u) {
    std::vector<bool> display(tags.size(), false);
    auto chain = [&](size_t j) { return tags[j].Info() ? tags[j].Info()->chain : Chain::None; };
    for (size_t i = 0; i < tags.size(); ++i) {
        if (chain(i) == Chain::None) continue;
        size_t open = tags[i].close + 1;
        while (open < text.size() && text[open] == ' ') ++open;
        if (open >= text.size() || text[open] != '{') continue;
        int depth = 0;
        size_t close = open;
        for (; close < text.size(); ++close) {
            if (text[close] == '{') ++depth;
            if (text[close] == '}' && --depth == 0) break;
        }
        bool shows = close < text.size();
        for (size_t j = i + 1; shows && j < tags.size() && tags[j].open < close; ++j)
            shows = tags[j].Info() && ShowsOnly(*tags[j].Info());
        display[i] = shows;
        if (shows || chain(i) == Chain::If) continue;
        bool earlier = false;
        for (size_t j = 0; j < i; ++j) {
            earlier = earlier || chain(j) == Chain::If || chain(j) == Chain::ElseIf;
            display[j] = false;
        }
        u.steersOnEarlier = u.steersOnEarlier || !earlier;
    }
    return display;
}

bool IsBreak(const TagAt& tag) {
    return tag.Info() && (tag.Info()->effects & kBreaks);
}

// Whether text[from, to) is only spaces.
bool Blank(const std::string& text, size_t from, size_t to) {
    return text.find_first_not_of(' ', from) >= to;
}

// The bytes each part of an independent-block paragraph reads (liveness.h),
// or nothing when the paragraph is not one.
std::vector<std::vector<int>> IndependentBlocks(const std::string& text,
                                                const std::vector<TagAt>& tags, const Uses& u) {
    if (u.writes) return {};
    std::vector<std::set<int>> parts(1);
    size_t partEnd = 0;           // where the markup before the next block starts
    const TagAt* last = nullptr;  // the last tag before here
    size_t closedOnBreak = 0;
    for (const TagAt& tag : tags) {
        const TagInfo* info = tag.Info();
        if (!info || tag.depth > 1) return {};
        const bool opens = info->chain == Chain::If;
        if (tag.depth == 1) {
            if (info->shape != TagShape::ObjectValue && info->shape != TagShape::Hotword &&
                !IsBreak(tag))
                return {};
        } else if (opens) {
            const size_t brace = text.find_first_not_of(' ', tag.close + 1);
            const bool breakBefore =
                last && IsBreak(*last) && Blank(text, last->close + 1, tag.open);
            if (brace == std::string::npos || text[brace] != '{' ||
                !(breakBefore || (parts.size() > 1 && Blank(text, partEnd, tag.open))))
                return {};
            parts.emplace_back();
        } else if (info->block || (info->effects & kSaves)) {
            return {};
        }
        Uses one;
        Tag(tag, false, false, one);
        std::set<int>& part = tag.depth == 1 || opens ? parts.back() : parts.front();
        part.insert(one.reads.begin(), one.reads.end());
        part.insert(one.shows.begin(), one.shows.end());
        if (tag.depth == 1 || !opens) last = &tag;
        // A block closes on a break; the markup after it starts a new part.
        if (tag.depth == 1) {
            const size_t close = text.find('}', tag.close);
            if (close != std::string::npos && Blank(text, tag.close + 1, close)) {
                if (!IsBreak(tag)) return {};
                partEnd = close + 1;
                ++closedOnBreak;
            }
        }
    }
    // Every brace is a block's, and every block closed on a break.
    size_t braces = 0;
    for (char c : text) braces += c == '{' || c == '}';
    if (parts.size() < 2 || closedOnBreak != parts.size() - 1 || braces != 2 * closedOnBreak)
        return {};
    std::set<int> all;
    std::vector<std::vector<int>> result;
    for (const std::set<int>& part : parts) {
        for (int b : part)
            if (!all.insert(b).second) return {};
        result.emplace_back(part.begin(), part.end());
    }
    return result;
}

// The objects a condition certainly tests held when true, and the values it
// certainly tests equal: its tests when it is true exactly when all of them
// are, those not negated.
uint64_t TestedHeld(const bookc::TagArgs& condition, std::vector<std::pair<int, int>>* values) {
    if (!condition.conjunction) return 0;
    uint64_t held = 0;
    for (const bookc::ConditionTest& t : condition.tests) {
        if (t.negated) continue;
        if (t.op == 'X') held |= Bit(t.object);
        if (t.op == '=' && t.other < 0) values->push_back({t.object, t.number});
    }
    return held;
}

// The held bits of Uses (drops, takes, ways) for one paragraph's tags.
void HeldUses(const std::string& text, const std::vector<TagAt>& tags, Uses& u) {
    // Every block: where it spans and, for one of <O>, what it tests held.
    struct Block {
        size_t open, close;
        uint64_t held;
        std::vector<std::pair<int, int>> values;
    };
    std::vector<Block> blocks;
    for (size_t open = text.find('{'); open != std::string::npos; open = text.find('{', open + 1)) {
        int depth = 0;
        size_t close = open;
        for (; close < text.size(); ++close) {
            if (text[close] == '{') ++depth;
            if (text[close] == '}' && --depth == 0) break;
        }
        Block block{open, close, 0, {}};
        const size_t end = text.find_last_not_of(' ', open - 1);
        for (const TagAt& tag : tags)
            if (end != std::string::npos && tag.close == end && tag.Info() &&
                tag.Info()->chain == Chain::If)
                block.held = TestedHeld(*tag.args, &block.values);
        blocks.push_back(block);
    }
    auto within = [&](const Block& b, size_t at) { return b.open < at && at < b.close; };
    // The unlabelled <N %o> seen so far: where, and the object.
    std::vector<std::pair<size_t, int>> taken;
    for (const TagAt& tag : tags) {
        if (!tag.args) continue;
        const bookc::TagArgs& a = *tag.args;
        const bool gives = a.tag->effects & kGives;
        if (a.tag->effects & kTakes) u.drops |= Bit(a.object);
        if (gives && !a.hotword) {
            if (tag.depth == 0) u.takes |= Bit(a.object);
            taken.push_back({tag.open, a.object});
        }
        Uses one;
        Tag(tag, false, false, one);
        if (one.targets.empty()) continue;
        Way way;
        for (const Block& b : blocks)
            if (within(b, tag.open)) {
                way.tested |= b.held;
                way.values.insert(way.values.end(), b.values.begin(), b.values.end());
            }
        uint64_t held = way.tested | (gives ? Bit(a.object) : 0);
        for (const std::pair<size_t, int>& t : taken)
            if (std::none_of(blocks.begin(), blocks.end(), [&](const Block& b) {
                    return within(b, t.first) && !within(b, tag.open);
                }))
                held |= Bit(t.second);
        way.held = held;
        for (int target : one.targets) {
            way.to = target;
            u.ways.push_back(way);
        }
    }
}

Uses Scan(const bookc::Paragraph& p, std::vector<std::vector<int>>* blocks = nullptr) {
    Uses u;
    const std::string text = bookc::ParagraphText(p);
    const std::vector<TagAt> tags = bookc::TagsOf(text);
    const std::vector<bool> display = DisplayConditions(text, tags, u);
    for (size_t i = 0; i < tags.size(); ++i) Tag(tags[i], tags[i].depth == 0, display[i], u);
    if (blocks) *blocks = IndependentBlocks(text, tags, u);
    HeldUses(text, tags, u);
    return u;
}

// The objects held at the start of every build of each paragraph, from every
// way into a page a reader has: the fresh start (paragraph 2 with the book's
// start values) and the menu's Beginning (paragraph 2 with every object
// cleared, so nothing is certainly held there); a way on a page offers (what
// the page held at its start and took at its top level, less what any of its
// tags drops, with what the way's own block tests held and the way takes);
// a menu page opened from any page (the same, without the way's; a
// description page too when the information page is built by code, since
// otherwise only the information page's ways open it); a page built
// again after a side trip or a restart of the reader, or restored from a
// checkpoint it saved (what it held, less what it or any side page drops).
// Starts from every object on every page and only removes, so it is a
// greatest fixed point: a page no way reaches keeps every object. Number
// objects never count as held (their held byte is half their value).
std::vector<uint64_t> MustHeld(const bookc::Book& book, const std::vector<Uses>& uses,
                               const std::vector<bool>& side) {
    const int size = static_cast<int>(uses.size());
    uint64_t texts = 0;
    for (int k = 0; k < objectCount && k < 64; ++k)
        if (objectTable[k].type != OBJECT_NUMBER) texts |= Bit(k);
    std::vector<bool> built(size, false);
    for (const bookc::Paragraph& p : book.paragraphs)
        if (p.number > 0 && p.number < size && p.HasWords()) built[p.number] = true;
    uint64_t sideDrops = 0;
    for (int p = 0; p < size; ++p)
        if (side[p]) sideDrops |= uses[p].drops;
    std::vector<uint64_t> must(size, texts);
    if (size > 2) must[2] = 0;
    for (bool changed = true; changed;) {
        changed = false;
        auto meet = [&](int p, uint64_t held) {
            if (p <= 0 || p >= size || (must[p] & held) == must[p]) return;
            must[p] &= held;
            changed = true;
        };
        for (int p = 1; p < size; ++p) {
            if (!built[p]) continue;
            const Uses& u = uses[p];
            meet(p, ~(u.drops | sideDrops));
            const uint64_t out = (must[p] | u.takes) & ~u.drops;
            for (const Way& w : u.ways) meet(w.to, out | (w.held & ~u.drops));
            for (int s = 1; s < size; ++s)
                if (side[s] && (s <= 7 || !built[6])) meet(s, out);
        }
    }
    return must;
}

}  // namespace

Liveness ComputeLiveness(const bookc::Book& book) {
    const int size = book.paragraphCount + 1;
    const size_t bytes = 2 * static_cast<size_t>(objectCount);
    std::vector<Uses> uses(size);
    Liveness result;
    result.blocks.resize(size);
    for (const bookc::Paragraph& p : book.paragraphs)
        if (p.number > 0 && p.number < size) uses[p.number] = Scan(p, &result.blocks[p.number]);

    // A result carried from page to page: every condition may steer.
    bool carried = false;
    for (const Uses& u : uses) carried = carried || u.steersOnEarlier;
    if (carried)
        for (Uses& u : uses) u.reads.insert(u.shows.begin(), u.shows.end());

    // The menu's pages and the description pages: reached from every page.
    std::set<int> side = {3, 4, 5, 6, 7};
    for (int k = 0; k < objectCount; ++k) side.insert(objectTable[k].infoParagraph + 1);
    result.reads.resize(size);
    for (int p = 0; p < size; ++p) {
        std::set<int> all = uses[p].reads;
        all.insert(uses[p].shows.begin(), uses[p].shows.end());
        for (int b : all)
            if (static_cast<size_t>(b) < bytes) result.reads[p].push_back(b);
    }
    result.side.assign(size, false);
    for (int p : side)
        if (p < size) result.side[p] = true;
    for (int p : side)
        if (p < size && !uses[p].writes) uses[p].reads.clear();

    result.mustHeld = MustHeld(book, uses, result.side);
    for (int p = 0; p < size; ++p)
        for (Way w : uses[p].ways) {
            w.from = p;
            result.ways.push_back(w);
        }
    result.live.assign(size, std::vector<bool>(bytes, false));
    result.overwrites.assign(size, false);
    result.targets.resize(size);
    for (int p = 0; p < size; ++p) {
        result.overwrites[p] = !uses[p].overwrites.empty();
        result.targets[p].assign(uses[p].targets.begin(), uses[p].targets.end());
    }
    auto set = [&](int p, size_t b) {
        if (b >= bytes || result.live[p][b]) return false;
        result.live[p][b] = true;
        // The two bytes of a number object are one value.
        const int k = static_cast<int>(b / 2);
        if (objectTable[k].type == OBJECT_NUMBER) result.live[p][b ^ 1] = true;
        return true;
    };
    for (bool changed = true; changed;) {
        changed = false;
        for (int p = 1; p < size; ++p) {
            for (int b : uses[p].reads) changed = set(p, static_cast<size_t>(b)) || changed;
            auto follow = [&](int q) {
                if (q <= 0 || q >= size) return;
                for (size_t b = 0; b < bytes; ++b)
                    if (result.live[q][b] && !uses[p].overwrites.count(static_cast<int>(b)))
                        changed = set(p, b) || changed;
            };
            for (int q : uses[p].targets) follow(q);
            for (int q : side) follow(q);
        }
    }
    return result;
}

}  // namespace explore
