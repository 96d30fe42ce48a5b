// Checking a paragraph's markup the way the reader's scanner will walk it:
// tags between < and >, conditional blocks between { and }, and the
// arguments of every tag letter.
#include <algorithm>
#include <optional>

#include "script/tags.h"
#include "tools/bookc/internal.h"

namespace bookc {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads the arguments of one tag. Every reader returns false (or nothing)
// when the text does not have the expected form; `pos` then stays put.
class Args {
   public:
    explicit Args(const std::string& s) : s_(s), pos_(1) {}

    bool AtEnd() const { return pos_ >= s_.size(); }
    size_t Pos() const { return pos_; }
    std::string Since(size_t start) const { return s_.substr(start, pos_ - start); }
    char Peek(size_t ahead = 0) const { return pos_ + ahead < s_.size() ? s_[pos_ + ahead] : '\0'; }
    bool Eat(char c) {
        if (Peek() != c) return false;
        ++pos_;
        return true;
    }
    void Space() { Eat(' '); }  // one optional space, as the reader passes it
    void Blanks() {
        while (Peek() == ' ') ++pos_;
    }
    // Nothing but spaces up to the end.
    bool Trailing() {
        Blanks();
        return AtEnd();
    }
    std::optional<int> Digits() {
        size_t start = pos_;
        long v = 0;
        while (IsDigit(Peek()) && pos_ - start < 6) v = v * 10 + (s_[pos_++] - '0');
        if (pos_ == start || IsDigit(Peek())) {
            pos_ = start;
            return std::nullopt;
        }
        return static_cast<int>(v);
    }
    std::optional<int> Signed() {
        size_t start = pos_;
        bool negative = Eat('-');
        if (!negative) Eat('+');
        std::optional<int> v = Digits();
        if (!v) {
            pos_ = start;
            return std::nullopt;
        }
        return negative ? -*v : *v;
    }
    // The characters up to `close`, which is passed.
    std::optional<std::string> Until(char close) {
        size_t end = s_.find(close, pos_);
        if (end == std::string::npos) return std::nullopt;
        std::string text = s_.substr(pos_, end - pos_);
        pos_ = end + 1;
        return text;
    }

   private:
    const std::string& s_;
    size_t pos_;
};

struct Block {
    size_t open;        // position of the `{`
    int skip;           // the count written after the conditional tag
    std::string guard;  // when the block is shown, for the story map
    bool hasInner = false;
    size_t lastInnerClose = 0;
};

// "!(a) & !(b)": none of the conditions holds.
std::string NoneOf(const std::vector<std::string>& conditions) {
    std::string s;
    for (const std::string& c : conditions) s += (s.empty() ? "!(" : " & !(") + c + ")";
    return s;
}

class Checker {
   public:
    Checker(const Book& book, Paragraph& paragraph, Errors& errors)
        : book_(book), p_(paragraph), errors_(errors) {}

    void Run();

   private:
    void Error(size_t at, std::string message) {
        errors_.Add(at < places_.size() ? places_[at] : p_.place, std::move(message));
        ++errorCount_;
    }
    void Tag(size_t at, const std::string& cmd);

    // Range checks of the numbers a tag names; false after an error.
    bool ObjectNumber(size_t at, int k);
    bool SlotNumber(size_t at, int k);
    bool ImageNumber(size_t at, int i);
    bool SoundNumber(size_t at, int i);
    bool Target(size_t at, int t, Link link);

    // A hotword's face: "text", $image or %object. Returns its map label.
    std::optional<std::string> Face(size_t at, Args& a);
    bool Label(size_t at, Args& a, std::string& label);
    bool Expression(size_t at, Args& a, int depth);
    bool Group(size_t at, Args& a, int depth);
    void Hotword(size_t at);

    const Book& book_;
    Paragraph& p_;
    Errors& errors_;
    std::string text_;           // the assembled text
    std::vector<Place> places_;  // source place of every character
    int errorCount_ = 0;
    bool inTitle_ = false;
    size_t titleStart_ = 0;  // where the open title's <H> is
    size_t titleRun_ = 0;    // the longest text the open title can gather
    int hotwords_ = 0;
    bool sawIf_ = false;  // an <O> came earlier in the paragraph
    int conditionTests_ = 0;
    int conditionOperators_ = 0;  // `!`, `&` and `|`
    bool conditionNested_ = false;
    std::vector<Block> blocks_;       // the open conditional blocks
    std::vector<std::string> chain_;  // the conditions of the last <O> and its <o>s
    std::string nextGuard_;           // the guard of the block after the tag just read
};

bool Checker::ObjectNumber(size_t at, int k) {
    if (k < static_cast<int>(book_.objects.size())) return true;
    Error(at,
          Format("object %d is not in the object table (%zu objects)", k, book_.objects.size()));
    return false;
}

bool Checker::SlotNumber(size_t at, int k) {
    if (k < static_cast<int>(book_.checkpoints.size())) return true;
    Error(at, Format("checkpoint %d is not in the checkpoint table (%zu checkpoints)", k,
                     book_.checkpoints.size()));
    return false;
}

bool Checker::ImageNumber(size_t at, int i) {
    if (i < static_cast<int>(book_.images.size())) return true;
    Error(at, Format("image %d is not in the image table (%zu images)", i, book_.images.size()));
    return false;
}

bool Checker::SoundNumber(size_t at, int i) {
    if (i < static_cast<int>(book_.sounds.size())) return true;
    Error(at, Format("sound %d is not in the sound table (%zu sounds)", i, book_.sounds.size()));
    return false;
}

// Markup targets are paragraph numbers minus one.
bool Checker::Target(size_t at, int t, Link link) {
    int paragraph = t + 1;
    if (paragraph < 1 || paragraph > book_.paragraphCount) {
        Error(at, Format("target %d leads to paragraph %d, outside the book (1 to %d)", t,
                         paragraph, book_.paragraphCount));
        return false;
    }
    // Pages 6 and 7 are built by the reader when the book leaves them out.
    if (paragraph != 6 && paragraph != 7 && !book_.Find(paragraph)) {
        Error(at, Format("target %d leads to paragraph %d, which is not written", t, paragraph));
        return false;
    }
    link.target = paragraph;
    for (const Block& b : blocks_) link.guards.push_back(b.guard);
    p_.links.push_back(std::move(link));
    return true;
}

bool Checker::Label(size_t at, Args& a, std::string& label) {
    std::optional<std::string> text = a.Until('"');
    if (!text) {
        Error(at, "unterminated quote in tag");
        return false;
    }
    if (text->size() > MAX_LABEL_LENGTH) {
        Error(at,
              Format("button text of %zu characters (at most %d)", text->size(), MAX_LABEL_LENGTH));
        return false;
    }
    label = *text;
    return true;
}

std::optional<std::string> Checker::Face(size_t at, Args& a) {
    std::string label;
    if (a.Eat('"')) {
        if (!Label(at, a, label)) return std::nullopt;
        return "\"" + label + "\"";
    }
    char kind = a.Peek();
    if (kind == '$' || kind == '%') {
        a.Eat(kind);
        std::optional<int> n = a.Digits();
        if (n) {
            bool inRange = kind == '$' ? ImageNumber(at, *n) : ObjectNumber(at, *n);
            if (!inRange) return std::nullopt;
            return std::string(1, kind) + std::to_string(*n);
        }
    }
    return std::nullopt;
}

void Checker::Hotword(size_t at) {
    if (++hotwords_ == MAX_HOTWORDS + 1)
        Error(at, Format("more than %d hotwords in one paragraph", MAX_HOTWORDS));
}

// group := ['!'] '(' test-or-expression ')'
bool Checker::Group(size_t at, Args& a, int depth) {
    a.Blanks();
    if (a.Eat('!')) {
        ++conditionOperators_;
        a.Blanks();
    }
    if (!a.Eat('(')) return false;
    a.Blanks();
    if (a.Peek() == '(' || a.Peek() == '!') {
        if (depth >= 3) {
            Error(at, "condition nested too deeply");
            return false;
        }
        conditionNested_ = true;
        if (!Expression(at, a, depth + 1)) return false;
    } else if (a.Eat('X')) {
        ++conditionTests_;
        a.Blanks();
        std::optional<int> k;
        if (!a.Eat('%') || !(k = a.Digits())) return false;
        if (!ObjectNumber(at, *k)) return false;
    } else if (a.Eat('%')) {
        ++conditionTests_;
        std::optional<int> k = a.Digits();
        if (!k || !ObjectNumber(at, *k)) return false;
        a.Blanks();
        if (!a.Eat('=') && !a.Eat('x') && !a.Eat('y')) return false;
        a.Blanks();
        if (a.Eat('%')) {
            std::optional<int> m = a.Digits();
            if (!m || !ObjectNumber(at, *m)) return false;
        } else if (!a.Digits()) {
            return false;
        }
    } else {
        return false;
    }
    a.Blanks();
    return a.Eat(')');
}

// expression := group { ('&' | '|') group }
bool Checker::Expression(size_t at, Args& a, int depth) {
    if (!Group(at, a, depth)) return false;
    for (;;) {
        a.Blanks();
        if (!a.Eat('&') && !a.Eat('|')) return true;
        ++conditionOperators_;
        if (!Group(at, a, depth)) return false;
    }
}

void Checker::Tag(size_t at, const std::string& cmd) {
    if (cmd.size() > MAX_COMMAND_LENGTH) {
        Error(at, Format("tag of %zu characters (at most %d)", cmd.size(), MAX_COMMAND_LENGTH));
        return;
    }
    if (cmd.empty()) {
        Error(at, "empty tag <>");
        return;
    }
    const char letter = cmd[0];
    const std::string shown = "<" + cmd + ">";
    const TagInfo* tag = FindTag(letter);
    if (!tag) {
        Error(at, "unknown tag " + shown);
        return;
    }
    Args a(cmd);
    const int errorsBefore = errorCount_;
    auto bad = [&] { Error(at, "bad tag " + shown + ": write " + tag->form); };
    std::string label;
    switch (tag->shape) {
        case TagShape::Bare:
            if (!a.Trailing()) bad();
            if (letter == 'a' && inTitle_) {
                ++titleRun_;
                p_.title += ' ';  // the reader shows a hard space
            }
            if (letter == 'H') {
                if (inTitle_) Error(at, "<H> inside a title");
                inTitle_ = true;
                titleStart_ = at;
                titleRun_ = 0;
            }
            if (letter == 'J') {
                if (!inTitle_) Error(at, "<J> without <H>");
                if (inTitle_ && titleRun_ > MAX_TITLE_RUN)
                    Error(titleStart_, Format("title of up to %zu characters (at most %d)",
                                              titleRun_, MAX_TITLE_RUN));
                inTitle_ = false;
            }
            if (letter == 'E' && !sawIf_)
                Error(at, "<E> without an <O> before it: its block is never shown");
            if (letter == 'E') nextGuard_ = NoneOf(chain_);
            return;
        case TagShape::Number: {
            a.Space();
            std::optional<int> n = a.Digits();
            if (!n || !a.Trailing()) {
                bad();
                return;
            }
            if (letter == 'A') SoundNumber(at, *n);
            if (letter == 'V' || letter == 'v') ImageNumber(at, *n);
            if (letter == 'W' && *n > 2) Error(at, Format("alignment %d (0, 1 or 2)", *n));
            return;
        }
        case TagShape::Arrow: {
            a.Space();
            std::optional<int> t = a.Digits();
            if (!t || !a.Trailing()) {
                bad();
                return;
            }
            Target(at, *t, Link(LinkKind::Arrow, letter));
            return;
        }
        case TagShape::Hotword: {
            a.Space();
            std::optional<std::string> face = Face(at, a);
            if (errorCount_ != errorsBefore) return;
            a.Space();
            std::optional<int> t;
            if (face) t = a.Digits();
            if (!face || !t || !a.Trailing()) {
                bad();
                return;
            }
            Hotword(at);
            Target(at, *t, Link(LinkKind::Hotword, letter, *face));
            return;
        }
        case TagShape::ObjectHotword:
        case TagShape::SetValue: {
            a.Space();
            std::optional<int> k;
            if (!a.Eat('%') || !(k = a.Digits())) {
                bad();
                return;
            }
            if (!ObjectNumber(at, *k)) return;
            std::string value;
            if (tag->shape == TagShape::SetValue) {
                a.Space();
                const size_t valueStart = a.Pos();
                if (a.Peek() == '-' && a.Peek(1) == '%') a.Eat('-');
                if (a.Eat('%')) {
                    std::optional<int> m = a.Digits();
                    if (!m) {
                        bad();
                        return;
                    }
                    if (!ObjectNumber(at, *m)) return;
                } else if (letter == 'R' && a.Eat('z')) {
                } else if (!a.Signed()) {
                    bad();
                    return;
                }
                value = a.Since(valueStart);
            }
            if (a.AtEnd()) return;
            a.Space();
            if (a.AtEnd()) return;
            std::optional<std::string> face = Face(at, a);
            if (errorCount_ != errorsBefore) return;
            a.Space();
            std::optional<int> t;
            if (face) t = a.Digits();
            if (!face || !t || !a.Trailing()) {
                bad();
                return;
            }
            Hotword(at);
            Target(at, *t, Link(LinkKind::Hotword, letter, *face, *k, value));
            return;
        }
        case TagShape::Chance: {
            a.Space();
            if (!a.Eat('"')) {
                bad();
                return;
            }
            if (!Label(at, a, label)) return;
            a.Space();
            std::vector<int> chances, targets;
            while (a.Eat('(')) {
                std::optional<int> c = a.Digits();
                std::optional<int> t;
                if (c && a.Eat(')')) {
                    a.Space();
                    t = a.Digits();
                }
                if (!t) {
                    bad();
                    return;
                }
                chances.push_back(*c);
                targets.push_back(*t);
                a.Space();
            }
            std::optional<int> last = a.Digits();
            if (chances.empty() || !last || !a.Trailing()) {
                bad();
                return;
            }
            targets.push_back(*last);
            if (letter == 'L') {
                if (chances.size() > 1) {
                    Error(at, "<L> takes one chance: use <d> for more outcomes");
                    return;
                }
                if (chances[0] > 20) {
                    Error(at, Format("chance %d of <L> is out of 20 (0 to 20)", chances[0]));
                    return;
                }
            } else {
                if (chances.size() > 3) {
                    Error(at, "<d> takes at most three chances");
                    return;
                }
                int sum = 0;
                for (int c : chances) sum += c;
                if (sum > 100) {
                    Error(at, Format("the chances of <d> add up to %d (at most 100)", sum));
                    return;
                }
            }
            Hotword(at);
            // Each outcome's chance in percent: <L> rolls 1 to 20 against the
            // chance, <d> 1 to 100 against the running sums; the last target
            // takes what is left.
            std::vector<int> percents;
            int left = 100;
            for (int c : chances) {
                int p = letter == 'L' ? c * 5 : std::min(c, left);
                percents.push_back(p);
                left -= p;
            }
            percents.push_back(left);
            for (size_t i = 0; i < targets.size(); ++i)
                Target(at, targets[i],
                       Link(LinkKind::Hotword, letter, "\"" + label + "\"", -1, "",
                            std::to_string(percents[i]) + "%"));
            return;
        }
        case TagShape::Answers: {
            a.Space();
            std::vector<int> targets;
            std::vector<std::string> answers;
            while (a.Eat('(')) {
                std::optional<std::string> answer = a.Until(')');
                std::optional<int> t;
                if (answer) {
                    a.Space();
                    t = a.Digits();
                }
                if (!t) {
                    bad();
                    return;
                }
                if (answer->size() > MAX_ANSWER_LENGTH) {
                    Error(at, Format("answer \"%s\" has %zu characters (at most %d)",
                                     answer->c_str(), answer->size(), MAX_ANSWER_LENGTH));
                    return;
                }
                answers.push_back(*answer);
                targets.push_back(*t);
                a.Space();
            }
            std::optional<int> last = a.Digits();
            if (answers.empty() || !last || !a.Trailing()) {
                bad();
                return;
            }
            if (answers.size() > 3) {
                Error(at, "<S> takes at most three answers");
                return;
            }
            targets.push_back(*last);
            Hotword(at);
            for (size_t i = 0; i < targets.size(); ++i)
                Target(at, targets[i],
                       Link(LinkKind::Hotword, letter, i < answers.size() ? answers[i] : ""));
            return;
        }
        case TagShape::Condition: {
            if (letter == 'o' && !sawIf_)
                Error(at, "<o> without an <O> before it: its block is never shown");
            sawIf_ = true;
            a.Blanks();
            {
                std::string expression = cmd.substr(a.Pos());
                while (!expression.empty() && expression.back() == ' ') expression.pop_back();
                if (letter == 'O') chain_.clear();
                nextGuard_ =
                    chain_.empty() ? expression : NoneOf(chain_) + " & (" + expression + ")";
                chain_.push_back(expression);
            }
            conditionTests_ = conditionOperators_ = 0;
            conditionNested_ = false;
            bool good = Expression(at, a, 0) && a.Trailing();
            if (!good && errorCount_ == errorsBefore) bad();
            // A flat chain never holds more than a few entries on the reader's
            // stacks of ten; nested groups can leave entries behind, so they
            // are kept small enough that even all of them fit.
            int operators = conditionTests_ + conditionOperators_;
            if (good && conditionNested_ && (2 * conditionTests_ > 9 || operators > 9))
                Error(at, Format("nested condition with %d tests and %d operators (at most 4 "
                                 "and 9 when groups nest)",
                                 conditionTests_, operators));
            return;
        }
        case TagShape::ObjectValue: {
            a.Space();
            std::optional<int> k;
            if (!a.Eat('%') || !(k = a.Digits()) || !a.Trailing()) {
                bad();
                return;
            }
            if (!ObjectNumber(at, *k)) return;
            const Object& obj = book_.objects[*k];
            if (inTitle_) {
                if (obj.kind == KIND_IMAGE) {
                    Error(at, "images not allowed in title");
                    return;
                }
                size_t longest = obj.kind == KIND_NUMBER ? 7 : 0;
                for (const std::string& t : obj.texts) longest = std::max(longest, t.size());
                titleRun_ += longest;
                p_.title += "[" + obj.name + "]";  // its value at the time of reading
            }
            return;
        }
        case TagShape::SaveCheckpoint: {
            a.Space();
            std::optional<int> k;
            if (!a.Eat('*') || !(k = a.Digits()) || !a.Trailing()) {
                bad();
                return;
            }
            SlotNumber(at, *k);
            return;
        }
        case TagShape::CheckpointHotword: {
            a.Space();
            std::optional<int> k;
            if (!a.Eat('*') || !(k = a.Digits())) {
                bad();
                return;
            }
            a.Space();
            if (!a.Eat('"')) {
                bad();
                return;
            }
            if (!Label(at, a, label)) return;
            if (!a.Trailing()) {
                bad();
                return;
            }
            if (!SlotNumber(at, *k)) return;
            Hotword(at);
            nextGuard_ = "*" + std::to_string(*k);
            const Checkpoint& slot = book_.checkpoints[*k];
            if (slot.page >= 1 && slot.page <= book_.paragraphCount) {
                Link link(LinkKind::Checkpoint, letter, std::to_string(*k));
                link.target = slot.page;
                for (const Block& b : blocks_) link.guards.push_back(b.guard);
                link.guards.push_back(nextGuard_);
                p_.links.push_back(std::move(link));
            }
            return;
        }
    }
}

void Checker::Run() {
    for (const Word& w : p_.words) {
        text_ += w.text;
        text_ += ' ';
        places_.insert(places_.end(), w.text.size() + 1, w.place);
        if (w.text.size() > MAX_WORD_LENGTH)
            errors_.Add(w.place, Format("word of %zu characters (at most %d): %.40s...",
                                        w.text.size(), MAX_WORD_LENGTH, w.text.c_str()));
    }
    if (text_.empty()) return;
    if (text_.size() > MAX_PARAGRAPH_TEXT) {
        errors_.Add(p_.place, Format("paragraph %d has %zu characters of text (at most %d)",
                                     p_.number, text_.size(), MAX_PARAGRAPH_TEXT));
    }
    if (text_.compare(0, 3, "<H>") != 0)
        Error(0, "a paragraph with text must start with its title <H>...<J>");
    if (text_.size() < 4 || text_.compare(text_.size() - 4, 4, "<G> ") != 0)
        Error(text_.size() - 1, "a paragraph with text must end with <G>");

    std::vector<Block>& blocks = blocks_;
    size_t i = 0;
    while (i < text_.size()) {
        char c = text_[i];
        if (c == '<') {
            size_t end = i + 1;
            while (end < text_.size() && text_[end] != '>' && text_[end] != '<' &&
                   text_[end] != '{' && text_[end] != '}')
                ++end;
            if (end == text_.size() || text_[end] != '>') {
                std::string shown = text_.substr(i, std::min<size_t>(end - i, 30));
                while (shown.back() == ' ') shown.pop_back();
                Error(i, "unterminated tag " + shown);
                i = end;
                continue;
            }
            std::string cmd = text_.substr(i + 1, end - i - 1);
            nextGuard_.clear();
            Tag(i, cmd);
            i = end + 1;
            const TagInfo* tag = cmd.empty() ? nullptr : FindTag(cmd[0]);
            if (!tag || !tag->block) continue;
            // A conditional tag: its skip count, then its block.
            size_t k = i;
            int skip = 0;
            while (k < text_.size() && (text_[k] == ' ' || IsDigit(text_[k]))) {
                if (IsDigit(text_[k]) && skip < 10000) skip = skip * 10 + (text_[k] - '0');
                ++k;
            }
            if (k == text_.size() || text_[k] != '{') {
                Error(i - 1, Format("<%c> must be followed by its { } block", cmd[0]));
                continue;
            }
            blocks.push_back({k, skip, nextGuard_});
            i = k + 1;
            continue;
        }
        if (c == '>') {
            Error(i, "'>' outside a tag");
        } else if (c == '{') {
            Error(i, "'{' without a conditional tag in front of it");
        } else if (c == '}') {
            if (blocks.empty()) {
                Error(i, "'}' without its '{'");
            } else {
                Block b = blocks.back();
                blocks.pop_back();
                // A skipped block: the scanner jumps `skip` characters past the
                // `{`, then stops at the first `}`; that must be this one.
                int low = b.hasInner ? static_cast<int>(b.lastInnerClose - b.open) : 0;
                int high = static_cast<int>(i - b.open - 1);
                if (b.skip < low || b.skip > high) {
                    if (b.hasInner)
                        Error(b.open, Format("the block holds inner blocks: its skip count is "
                                             "%d, counts from %d to %d work",
                                             b.skip, low, high));
                    else
                        Error(b.open, Format("skip count %d jumps past the end of the block "
                                             "(counts from 0 to %d work)",
                                             b.skip, high));
                }
                if (!blocks.empty()) {
                    blocks.back().hasInner = true;
                    blocks.back().lastInnerClose = i;
                }
            }
        } else if (inTitle_) {
            p_.title += c;
            ++titleRun_;
        }
        ++i;
    }
    for (const Block& b : blocks) Error(b.open, "unterminated block: '{' without its '}'");
    if (inTitle_) Error(text_.size() - 1, "title not closed with <J>");
    while (!p_.title.empty() && p_.title.back() == ' ') p_.title.pop_back();
}

}  // namespace

void CheckParagraph(const Book& book, Paragraph& paragraph, Errors& errors) {
    Checker(book, paragraph, errors).Run();
}

}  // namespace bookc
