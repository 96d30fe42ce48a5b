#include "tools/explore/liveness.h"

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
    return u;
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
