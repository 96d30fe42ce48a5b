// Checking a paragraph's markup the way the reader's scanner will walk it:
// tags between < and >, conditional blocks between { and }, and the
// arguments of every tag letter.
#include <algorithm>
#include <optional>

#include "script/tags.h"
#include "tools/bookc/internal.h"
#include "tools/bookc/tag_args.h"

namespace bookc {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

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

// A face as the map reads it: "label" in quotes, $image or %object.
std::string FaceText(const Face& f) {
    if (f.kind == '"') return "\"" + f.label + "\"";
    return f.kind ? std::string(1, f.kind) + std::to_string(f.number) : std::string();
}

// What <R r> store, as written: 1, -1, z, %3 or -%3.
std::string ValueText(const TagArgs& a) {
    switch (a.value) {
        case TagArgs::Value::Number:
            return std::to_string(a.amount);
        case TagArgs::Value::Object:
            return (a.subtract ? "-%" : "%") + std::to_string(a.amount);
        case TagArgs::Value::Draw:
            return "z";
        case TagArgs::Value::None:
            break;
    }
    return "";
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
    // The checks of one kind of tag, its arguments read; each reports what
    // is wrong and records the links the tag makes.
    void Bare(size_t at, char letter);
    void Numbers(size_t at, const TagArgs& a);
    void Hotword(size_t at, const TagArgs& a);
    void Chance(size_t at, const TagArgs& a);
    void Answers(size_t at, const TagArgs& a);
    void Condition(size_t at, const TagArgs& a);
    void ObjectValue(size_t at, const TagArgs& a);
    void CheckpointHotword(size_t at, const TagArgs& a);

    // Range checks of the numbers a tag names; false after an error.
    bool ObjectNumber(size_t at, int k);
    bool SlotNumber(size_t at, int k);
    bool ImageNumber(size_t at, int i);
    bool SoundNumber(size_t at, int i);
    bool LabelLength(size_t at, const std::string& label);
    bool Target(size_t at, int t, Link link);
    // Counts a hotword of the paragraph against the engine's table.
    void CountHotword(size_t at);

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
    bool sawIf_ = false;              // an <O> came earlier in the paragraph
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

bool Checker::LabelLength(size_t at, const std::string& label) {
    if (label.size() <= MAX_LABEL_LENGTH) return true;
    Error(at, Format("button text of %zu characters (at most %d)", label.size(), MAX_LABEL_LENGTH));
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

void Checker::CountHotword(size_t at) {
    if (++hotwords_ == MAX_HOTWORDS + 1)
        Error(at, Format("more than %d hotwords in one paragraph", MAX_HOTWORDS));
}

void Checker::Bare(size_t at, char letter) {
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
            Error(titleStart_,
                  Format("title of up to %zu characters (at most %d)", titleRun_, MAX_TITLE_RUN));
        inTitle_ = false;
    }
}

void Checker::Numbers(size_t at, const TagArgs& a) {
    const char letter = a.tag->letter;
    if (a.tag->shape == TagShape::Arrow) {
        Target(at, a.targets[0], Link(LinkKind::Arrow, letter));
    } else if (letter == 'A') {
        SoundNumber(at, a.number);
    } else if (letter == 'W') {
        if (a.number > 2) Error(at, Format("alignment %d (0, 1 or 2)", a.number));
    } else {
        ImageNumber(at, a.number);
    }
}

// <M face t>, and <N %o>, <R %o v> with or without a face and target.
void Checker::Hotword(size_t at, const TagArgs& a) {
    if (a.object >= 0 && !ObjectNumber(at, a.object)) return;
    if (a.value == TagArgs::Value::Object && !ObjectNumber(at, a.amount)) return;
    if (!a.hotword) return;
    if (a.face.kind == '"' && !LabelLength(at, a.face.label)) return;
    if (a.face.kind == '$' && !ImageNumber(at, a.face.number)) return;
    if (a.face.kind == '%' && !ObjectNumber(at, a.face.number)) return;
    CountHotword(at);
    Target(at, a.targets[0],
           Link(LinkKind::Hotword, a.tag->letter, FaceText(a.face), a.object, ValueText(a)));
}

void Checker::Chance(size_t at, const TagArgs& a) {
    const char letter = a.tag->letter;
    if (!LabelLength(at, a.face.label)) return;
    const std::vector<int>& chances = a.chances;
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
    CountHotword(at);
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
    for (size_t i = 0; i < a.targets.size(); ++i)
        Target(at, a.targets[i],
               Link(LinkKind::Hotword, letter, FaceText(a.face), -1, "",
                    std::to_string(percents[i]) + "%"));
}

void Checker::Answers(size_t at, const TagArgs& a) {
    for (const std::string& answer : a.answers)
        if (answer.size() > MAX_ANSWER_LENGTH) {
            Error(at, Format("answer \"%s\" has %zu characters (at most %d)", answer.c_str(),
                             answer.size(), MAX_ANSWER_LENGTH));
            return;
        }
    if (a.answers.size() > 3) {
        Error(at, "<S> takes at most three answers");
        return;
    }
    CountHotword(at);
    for (size_t i = 0; i < a.targets.size(); ++i)
        Target(at, a.targets[i],
               Link(LinkKind::Hotword, 'S', i < a.answers.size() ? a.answers[i] : ""));
}

void Checker::Condition(size_t at, const TagArgs& a) {
    if (a.nesting > 3) {
        Error(at, "condition nested too deeply");
        return;
    }
    for (const ConditionTest& t : a.tests)
        if (!ObjectNumber(at, t.object) || (t.other >= 0 && !ObjectNumber(at, t.other))) return;
    // A flat chain never holds more than a few entries on the reader's
    // stacks of ten; nested groups can leave entries behind, so they are
    // kept small enough that even all of them fit.
    const int tests = static_cast<int>(a.tests.size());
    const int operators = tests + a.operators;
    if (a.nesting > 0 && (2 * tests > 9 || operators > 9))
        Error(at, Format("nested condition with %d tests and %d operators (at most 4 "
                         "and 9 when groups nest)",
                         tests, operators));
}

void Checker::ObjectValue(size_t at, const TagArgs& a) {
    if (!ObjectNumber(at, a.object) || !inTitle_) return;
    const Object& obj = book_.objects[a.object];
    if (obj.kind == KIND_IMAGE) {
        Error(at, "images not allowed in title");
        return;
    }
    size_t longest = obj.kind == KIND_NUMBER ? 7 : 0;
    for (const std::string& t : obj.texts) longest = std::max(longest, t.size());
    titleRun_ += longest;
    p_.title += "[" + obj.name + "]";  // its value at the time of reading
}

void Checker::CheckpointHotword(size_t at, const TagArgs& a) {
    if (!LabelLength(at, a.face.label) || !SlotNumber(at, a.number)) return;
    CountHotword(at);
    nextGuard_ = "*" + std::to_string(a.number);
    const Checkpoint& slot = book_.checkpoints[a.number];
    if (slot.page >= 1 && slot.page <= book_.paragraphCount) {
        Link link(LinkKind::Checkpoint, 'u', std::to_string(a.number));
        link.target = slot.page;
        for (const Block& b : blocks_) link.guards.push_back(b.guard);
        link.guards.push_back(nextGuard_);
        p_.links.push_back(std::move(link));
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
    const TagInfo* tag = FindTag(cmd[0]);
    if (!tag) {
        Error(at, "unknown tag <" + cmd + ">");
        return;
    }
    const std::optional<TagArgs> args = ReadTagArgs(cmd);
    if (!args) {
        Error(at, "bad tag <" + cmd + ">: write " + tag->form);
        return;
    }
    if ((tag->chain == Chain::ElseIf || tag->chain == Chain::Else) && !sawIf_)
        Error(at, Format("<%c> without an <O> before it: its block is never shown", tag->letter));
    if (tag->chain == Chain::If || tag->chain == Chain::ElseIf) sawIf_ = true;
    // When the block after it is shown, for the story map: <o> and <E> only
    // after the conditions before them in the chain have failed.
    std::string expression = cmd.substr(1);
    while (!expression.empty() && expression.front() == ' ') expression.erase(0, 1);
    while (!expression.empty() && expression.back() == ' ') expression.pop_back();
    if (tag->chain == Chain::If) chain_.clear();
    if (tag->chain == Chain::If || tag->chain == Chain::ElseIf) {
        nextGuard_ = chain_.empty() ? expression : NoneOf(chain_) + " & (" + expression + ")";
        chain_.push_back(expression);
    } else if (tag->chain == Chain::Else) {
        nextGuard_ = NoneOf(chain_);
    }
    switch (tag->shape) {
        case TagShape::Bare:
            return Bare(at, tag->letter);
        case TagShape::Number:
        case TagShape::Arrow:
            return Numbers(at, *args);
        case TagShape::Hotword:
        case TagShape::ObjectHotword:
        case TagShape::SetValue:
            return Hotword(at, *args);
        case TagShape::Chance:
            return Chance(at, *args);
        case TagShape::Answers:
            return Answers(at, *args);
        case TagShape::Condition:
            return Condition(at, *args);
        case TagShape::ObjectValue:
            return ObjectValue(at, *args);
        case TagShape::SaveCheckpoint:
            SlotNumber(at, args->number);
            return;
        case TagShape::CheckpointHotword:
            return CheckpointHotword(at, *args);
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
