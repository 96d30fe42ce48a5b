#include "tools/explore/liveness.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <string>

#include "book/tables.h"
#include "script/tags.h"

namespace explore {
namespace {

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

// Reads the digits at `i` (none gives -1).
int Digits(const std::string& s, size_t& i) {
    if (i >= s.size() || s[i] < '0' || s[i] > '9') return -1;
    int v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && v < 100000) v = v * 10 + (s[i++] - '0');
    return v;
}

// Every "%n" in `s` from `from`, with whether an X (the held test) comes
// before it.
std::vector<std::pair<int, bool>> ObjectRefs(const std::string& s, size_t from = 0) {
    std::vector<std::pair<int, bool>> refs;
    for (size_t i = s.find('%', from); i != std::string::npos; i = s.find('%', i)) {
        size_t back = i;
        while (back > 0 && s[back - 1] == ' ') --back;
        const bool held = back > 0 && s[back - 1] == 'X';
        ++i;
        const int k = Digits(s, i);
        if (k >= 0) refs.push_back({k, held});
    }
    return refs;
}

// The numbers of a hotword tag outside its quoted label and its parenthesised
// chances or answers: its targets, written as paragraph minus one.
void Targets(const std::string& tag, size_t from, Uses& u) {
    bool quoted = false;
    int depth = 0;
    for (size_t i = from; i < tag.size();) {
        const char c = tag[i];
        if (c == '"') quoted = !quoted;
        if (!quoted && c == '(') ++depth;
        if (!quoted && c == ')') --depth;
        const bool starts = i == 0 || !std::strchr("0123456789%$*", tag[i - 1]);
        if (!quoted && depth == 0 && c >= '0' && c <= '9' && starts) {
            u.targets.insert(Digits(tag, i) + 1);
            continue;
        }
        ++i;
    }
}

void ReadBoth(int k, Uses& u) {
    u.reads.insert(Held(k));
    u.reads.insert(Value(k));
}

// What a tag reads and writes follows from its argument shape in the markup's
// tag table; only the relative set (`r`) and the held setters (`N`, `Q`) need
// their letter.
void Tag(const std::string& tag, bool topLevel, bool display, Uses& u) {
    if (tag.empty()) return;
    const char letter = tag[0];
    const TagInfo* info = FindTag(letter);
    if (!info) return;
    const std::string rest = tag.substr(1);
    switch (info->shape) {
        case TagShape::Condition:
            for (const auto& [k, held] : ObjectRefs(rest))
                (display ? u.shows : u.reads).insert(held ? Held(k) : Value(k));
            return;
        case TagShape::ObjectValue:
            for (const auto& ref : ObjectRefs(rest)) {
                u.shows.insert(Held(ref.first));
                u.shows.insert(Value(ref.first));
            }
            return;
        case TagShape::ObjectHotword:
        case TagShape::SetValue: {
            u.writes = true;
            size_t i = rest.find('%');
            if (i == std::string::npos) return;
            ++i;
            const int k = Digits(rest, i);
            if (k < 0) return;
            if (letter == 'r') u.reads.insert(Value(k));
            // Anything else named by % is read: a value taken from another
            // object, or a label made from one.
            for (const auto& ref : ObjectRefs(rest, i)) ReadBoth(ref.first, u);
            const bool labelled = rest.find('"', i) != std::string::npos ||
                                  rest.find('$', i) != std::string::npos ||
                                  rest.find('%', i) != std::string::npos;
            if (labelled) {
                Targets(rest, rest.find_first_of("\"$%", i), u);
                return;
            }
            if (!topLevel) return;
            if (info->shape == TagShape::ObjectHotword) {
                u.overwrites.insert(Held(k));
            } else if (letter == 'R' && rest.find('z', i) == std::string::npos) {
                u.overwrites.insert(Value(k));
            }
            return;
        }
        case TagShape::Hotword:
            for (const auto& ref : ObjectRefs(rest)) ReadBoth(ref.first, u);
            Targets(rest, 0, u);
            return;
        case TagShape::Chance:
        case TagShape::Answers:
        case TagShape::Arrow:
            Targets(rest, 0, u);
            return;
        default:
            return;
    }
}

// Tags that may stand in a block whose condition only chooses text: they add
// text, pictures, sounds or layout and carry nothing to the next page.
bool ShowsOnly(char letter) {
    return std::strchr("ACFIKPTUVWYalOoE", letter) != nullptr;
}

struct TagAt {
    size_t open, close;  // the '<' and the '>'
    int depth;           // of braces around it
};

// Whether the condition at tags[i] only chooses text: its block closes in the
// same paragraph and holds nothing but text and ShowsOnly tags. A block of
// <E> or <o> that steers makes every condition before it steer, since those
// decide through the last result whether it runs.
std::vector<bool> DisplayConditions(const std::string& text, const std::vector<TagAt>& tags,
                                    Uses& u) {
    std::vector<bool> display(tags.size(), false);
    for (size_t i = 0; i < tags.size(); ++i) {
        const char letter = text[tags[i].open + 1];
        if (!std::strchr("OoE", letter)) continue;
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
            shows = ShowsOnly(text[tags[j].open + 1]);
        display[i] = shows;
        if (shows || letter == 'O') continue;
        bool earlier = false;
        for (size_t j = 0; j < i; ++j) {
            earlier = earlier || std::strchr("Oo", text[tags[j].open + 1]);
            display[j] = false;
        }
        u.steersOnEarlier = u.steersOnEarlier || !earlier;
    }
    return display;
}

bool IsBreak(const std::string& text, const TagAt& tag) {
    return tag.close == tag.open + 2 && std::strchr("UP", text[tag.open + 1]);
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
        const char letter = text[tag.open + 1];
        const TagInfo* info = FindTag(letter);
        if (!info || tag.depth > 1) return {};
        if (tag.depth == 1) {
            if (letter != 'l' && info->shape != TagShape::Hotword && !IsBreak(text, tag)) return {};
        } else if (letter == 'O') {
            const size_t brace = text.find_first_not_of(' ', tag.close + 1);
            const bool breakBefore =
                last && IsBreak(text, *last) && Blank(text, last->close + 1, tag.open);
            if (brace == std::string::npos || text[brace] != '{' ||
                !(breakBefore || (parts.size() > 1 && Blank(text, partEnd, tag.open))))
                return {};
            parts.emplace_back();
        } else if (info->block || info->shape == TagShape::SaveCheckpoint) {
            return {};
        }
        Uses one;
        Tag(text.substr(tag.open + 1, tag.close - tag.open - 1), false, false, one);
        std::set<int>& part = tag.depth == 1 || letter == 'O' ? parts.back() : parts.front();
        part.insert(one.reads.begin(), one.reads.end());
        part.insert(one.shows.begin(), one.shows.end());
        if (tag.depth == 1 || letter != 'O') last = &tag;
        // A block closes on a break; the markup after it starts a new part.
        if (tag.depth == 1) {
            const size_t close = text.find('}', tag.close);
            if (close != std::string::npos && Blank(text, tag.close + 1, close)) {
                if (!IsBreak(text, tag)) return {};
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

uint64_t Bit(int k) {
    return k >= 0 && k < 64 ? uint64_t{1} << k : 0;
}

// The objects a condition certainly tests held when true: its tests joined by
// & of the form `X %o`, none negated; nothing when it has an |.
uint64_t TestedHeld(const std::string& condition, std::vector<std::pair<int, int>>* values) {
    if (condition.find('|') != std::string::npos) return 0;
    uint64_t held = 0;
    for (size_t from = 0; from <= condition.size();) {
        size_t to = condition.find('&', from);
        if (to == std::string::npos) to = condition.size();
        std::string test;
        for (size_t i = from; i < to; ++i)
            if (!std::strchr(" ()", condition[i])) test += condition[i];
        size_t i = 2;
        if (test.rfind("X%", 0) == 0) held |= Bit(Digits(test, i));
        i = 1;
        const int k = test[0] == '%' ? Digits(test, i) : -1;
        if (k >= 0 && i < test.size() && test[i] == '=') {
            ++i;
            const int v = Digits(test, i);
            if (v >= 0 && i == test.size()) values->push_back({k, v});
        }
        from = to + 1;
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
            if (end != std::string::npos && tag.close == end && text[tag.open + 1] == 'O')
                block.held =
                    TestedHeld(text.substr(tag.open + 2, tag.close - tag.open - 2), &block.values);
        blocks.push_back(block);
    }
    auto within = [&](const Block& b, size_t at) { return b.open < at && at < b.close; };
    // The unlabelled <N %o> seen so far: where, and the object.
    std::vector<std::pair<size_t, int>> taken;
    for (const TagAt& tag : tags) {
        const char letter = text[tag.open + 1];
        const std::string body = text.substr(tag.open + 1, tag.close - tag.open - 1);
        Uses one;
        Tag(body, tag.depth == 0, false, one);
        size_t at = body.find('%');
        const int k = at == std::string::npos ? -1 : Digits(body, ++at);
        const bool objectTag = letter == 'N' || letter == 'Q';
        if (letter == 'Q') u.drops |= Bit(k);
        if (letter == 'N' && one.targets.empty()) {
            if (tag.depth == 0) u.takes |= Bit(k);
            taken.push_back({tag.open, k});
        }
        if (one.targets.empty()) continue;
        Way way;
        for (const Block& b : blocks)
            if (within(b, tag.open)) {
                way.tested |= b.held;
                way.values.insert(way.values.end(), b.values.begin(), b.values.end());
            }
        uint64_t held = way.tested | (objectTag && letter == 'N' ? Bit(k) : 0);
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
    std::string text;
    for (const bookc::Word& w : p.words) text += w.text + " ";
    std::vector<TagAt> tags;
    int depth = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{') ++depth;
        if (text[i] == '}') --depth;
        if (text[i] != '<') continue;
        const size_t close = text.find('>', i);
        if (close == std::string::npos) break;
        if (close > i + 1) tags.push_back({i, close, depth});
        i = close;
    }
    const std::vector<bool> display = DisplayConditions(text, tags, u);
    for (size_t i = 0; i < tags.size(); ++i)
        Tag(text.substr(tags[i].open + 1, tags[i].close - tags[i].open - 1), tags[i].depth == 0,
            display[i], u);
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
