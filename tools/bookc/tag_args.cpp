#include "tools/bookc/tag_args.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bookc {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Steps through a tag's text after its letter. Each reader returns false (or
// nothing) when the text does not have the expected form.
class Cursor {
   public:
    explicit Cursor(std::string_view s) : s_(s), pos_(1) {}

    bool AtEnd() const { return pos_ >= s_.size(); }
    char Peek(size_t ahead = 0) const { return pos_ + ahead < s_.size() ? s_[pos_ + ahead] : '\0'; }
    bool Eat(char c) {
        if (Peek() != c) return false;
        ++pos_;
        return true;
    }
    void Space() { Eat(' '); }  // one optional space, as the engine passes it
    void Blanks() {
        while (Peek() == ' ') ++pos_;
    }
    // Nothing but spaces up to the end.
    bool Trailing() {
        Blanks();
        return AtEnd();
    }
    // One to six digits, not followed by another.
    std::optional<int> Digits() {
        const size_t start = pos_;
        int v = 0;
        while (IsDigit(Peek()) && pos_ - start < 6) v = v * 10 + (s_[pos_++] - '0');
        if (pos_ == start || IsDigit(Peek())) {
            pos_ = start;
            return std::nullopt;
        }
        return v;
    }
    std::optional<int> Signed() {
        const size_t start = pos_;
        const bool negative = Eat('-');
        if (!negative) Eat('+');
        const std::optional<int> v = Digits();
        if (!v) {
            pos_ = start;
            return std::nullopt;
        }
        return negative ? -*v : *v;
    }
    // `c` and the digits after it.
    std::optional<int> Marked(char c) {
        if (!Eat(c)) return std::nullopt;
        return Digits();
    }
    // The characters up to `close`, which is passed.
    std::optional<std::string> Until(char close) {
        const size_t end = s_.find(close, pos_);
        if (end == std::string_view::npos) return std::nullopt;
        std::string text(s_.substr(pos_, end - pos_));
        pos_ = end + 1;
        return text;
    }

   private:
    std::string_view s_;
    size_t pos_;
};

// face := '"' label '"' | '$' digits | '%' digits
bool ReadFace(Cursor& c, Face& face) {
    if (c.Eat('"')) {
        std::optional<std::string> label = c.Until('"');
        if (!label) return false;
        face = {'"', *label, -1};
        return true;
    }
    const char kind = c.Peek();
    if (kind != '$' && kind != '%') return false;
    const std::optional<int> n = c.Marked(kind);
    if (!n) return false;
    face = {kind, std::string(1, kind) + std::to_string(*n), *n};
    return true;
}

// A face, one optional space and the target, to the end.
bool ReadHotword(Cursor& c, TagArgs& a) {
    if (!ReadFace(c, a.face)) return false;
    c.Space();
    const std::optional<int> t = c.Digits();
    if (!t || !c.Trailing()) return false;
    a.hotword = true;
    a.targets.push_back(*t);
    return true;
}

// Parenthesised items, each with its target, then the last target:
// `(item) t (item) t ... t`.
template <typename Item>
bool ReadOutcomes(Cursor& c, TagArgs& a, Item item) {
    while (c.Eat('(')) {
        if (!item()) return false;
        c.Space();
        const std::optional<int> t = c.Digits();
        if (!t) return false;
        a.targets.push_back(*t);
        c.Space();
    }
    const std::optional<int> last = c.Digits();
    if (a.targets.empty() || !last || !c.Trailing()) return false;
    a.targets.push_back(*last);
    a.hotword = true;
    return true;
}

bool ReadExpression(Cursor& c, TagArgs& a, int depth, bool negated);

// group := ['!'] '(' test-or-expression ')'
bool ReadGroup(Cursor& c, TagArgs& a, int depth, bool negated) {
    c.Blanks();
    if (c.Eat('!')) {
        ++a.operators;
        negated = !negated;
        c.Blanks();
    }
    if (!c.Eat('(')) return false;
    c.Blanks();
    if (c.Peek() == '(' || c.Peek() == '!') {
        a.conjunction = a.conjunction && !negated;
        if (!ReadExpression(c, a, depth + 1, negated)) return false;
    } else {
        ConditionTest test;
        test.negated = negated;
        if (c.Eat('X')) {
            c.Blanks();
            const std::optional<int> k = c.Marked('%');
            if (!k) return false;
            test.object = *k;
        } else {
            const std::optional<int> k = c.Marked('%');
            if (!k) return false;
            test.object = *k;
            c.Blanks();
            test.op = c.Peek();
            if (!c.Eat('=') && !c.Eat('x') && !c.Eat('y')) return false;
            c.Blanks();
            std::optional<int> v;
            if (c.Peek() == '%') {
                v = c.Marked('%');
                if (v) test.other = *v;
            } else {
                v = c.Digits();
                if (v) test.number = *v;
            }
            if (!v) return false;
        }
        a.tests.push_back(test);
    }
    c.Blanks();
    return c.Eat(')');
}

// expression := group { ('&' | '|') group }
bool ReadExpression(Cursor& c, TagArgs& a, int depth, bool negated) {
    a.nesting = std::max(a.nesting, depth);
    if (!ReadGroup(c, a, depth, negated)) return false;
    for (;;) {
        c.Blanks();
        const char op = c.Peek();
        if (!c.Eat('&') && !c.Eat('|')) return true;
        ++a.operators;
        a.conjunction = a.conjunction && op == '&';
        if (!ReadGroup(c, a, depth, negated)) return false;
    }
}

// The arguments by the letter's shape; false when they are not of it.
bool ReadShape(Cursor& c, TagArgs& a) {
    const TagInfo& tag = *a.tag;
    switch (tag.shape) {
        case TagShape::Bare:
            return c.Trailing();
        case TagShape::Number:
        case TagShape::Arrow: {
            c.Space();
            const std::optional<int> n = c.Digits();
            if (!n || !c.Trailing()) return false;
            (tag.shape == TagShape::Arrow ? a.targets.emplace_back() : a.number) = *n;
            return true;
        }
        case TagShape::Hotword:
            c.Space();
            return ReadHotword(c, a);
        case TagShape::ObjectHotword:
        case TagShape::SetValue: {
            c.Space();
            const std::optional<int> k = c.Marked('%');
            if (!k) return false;
            a.object = *k;
            if (tag.shape == TagShape::SetValue) {
                c.Space();
                a.subtract = c.Peek() == '-' && c.Peek(1) == '%' && c.Eat('-');
                std::optional<int> v;
                if (c.Peek() == '%') {
                    a.value = TagArgs::Value::Object;
                    v = c.Marked('%');
                } else if ((tag.effects & kSets) && c.Eat('z')) {
                    a.value = TagArgs::Value::Draw;
                    v = 0;
                } else {
                    a.value = TagArgs::Value::Number;
                    v = c.Signed();
                }
                if (!v) return false;
                a.amount = *v;
            }
            // Without a face it acts at once: `<N %o>`, `<N %o >`.
            if (c.AtEnd()) return true;
            c.Space();
            return c.AtEnd() || ReadHotword(c, a);
        }
        case TagShape::Chance: {
            c.Space();
            std::optional<std::string> label;
            if (!c.Eat('"') || !(label = c.Until('"'))) return false;
            a.face = {'"', *label, -1};
            c.Space();
            return ReadOutcomes(c, a, [&] {
                const std::optional<int> chance = c.Digits();
                if (!chance || !c.Eat(')')) return false;
                a.chances.push_back(*chance);
                return true;
            });
        }
        case TagShape::Answers:
            c.Space();
            return ReadOutcomes(c, a, [&] {
                std::optional<std::string> answer = c.Until(')');
                if (answer) a.answers.push_back(*answer);
                return answer.has_value();
            });
        case TagShape::Condition:
            c.Blanks();
            return ReadExpression(c, a, 0, false) && c.Trailing();
        case TagShape::ObjectValue: {
            c.Space();
            const std::optional<int> k = c.Marked('%');
            if (!k || !c.Trailing()) return false;
            a.object = *k;
            return true;
        }
        case TagShape::SaveCheckpoint:
        case TagShape::CheckpointHotword: {
            c.Space();
            const std::optional<int> k = c.Marked('*');
            if (!k) return false;
            a.number = *k;
            if (tag.shape == TagShape::SaveCheckpoint) return c.Trailing();
            c.Space();
            std::optional<std::string> label;
            if (!c.Eat('"') || !(label = c.Until('"')) || !c.Trailing()) return false;
            a.face = {'"', *label, -1};
            a.hotword = true;
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<ObjectByte> TagArgs::Reads() const {
    std::vector<ObjectByte> reads;
    for (const ConditionTest& t : tests) {
        reads.push_back({t.object, t.op == 'X'});
        if (t.other >= 0) reads.push_back({t.other, false});
    }
    if (value == Value::Object) reads.push_back({amount, false});
    if (tag && (tag->effects & kAdds)) reads.push_back({object, false});
    if (face.kind == '%') reads.push_back({face.number, false});
    if (tag && tag->shape == TagShape::ObjectValue) reads.push_back({object, false});
    return reads;
}

std::optional<TagArgs> ReadTagArgs(std::string_view text) {
    if (text.empty()) return std::nullopt;
    TagArgs a;
    a.tag = FindTag(text[0]);
    if (!a.tag) return std::nullopt;
    Cursor c(text);
    if (!ReadShape(c, a)) return std::nullopt;
    return a;
}

std::string ParagraphText(const Paragraph& paragraph) {
    std::string text;
    for (const Word& w : paragraph.words) text += w.text + " ";
    return text;
}

std::vector<TagAt> TagsOf(const std::string& text) {
    std::vector<TagAt> tags;
    int depth = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{') ++depth;
        if (text[i] == '}') --depth;
        if (text[i] != '<') continue;
        const size_t close = text.find('>', i);
        if (close == std::string::npos) break;
        if (close > i + 1)
            tags.push_back({i, close, depth, ReadTagArgs(text.substr(i + 1, close - i - 1))});
        i = close;
    }
    return tags;
}

}  // namespace bookc
