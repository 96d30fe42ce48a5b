#include "assist/voice.h"

#include "core/utf.h"

namespace assist {

void Voice::SetOn(bool on) {
    if (!on && speaker_) speaker_->Stop();
    on_ = on;
    pending_.clear();
}

void Voice::Add(const std::u16string& piece) {
    if (on_ && !piece.empty()) pending_.push_back(piece);
}

void Voice::Flush() {
    if (pending_.empty()) return;
    // One utterance, with a pause wherever a piece ends without one.
    std::u16string text;
    for (const std::u16string& piece : pending_) {
        if (!text.empty()) {
            const char16_t last = text.back();
            if (last != u'.' && last != u'!' && last != u'?' && last != u':') text += u'.';
            text += u' ';
        }
        text += piece;
    }
    if (speaker_) speaker_->Say(utf::ToUtf8(text));
    if (logging_) log_.insert(log_.end(), pending_.begin(), pending_.end());
    pending_.clear();
}

std::vector<std::u16string> Voice::TakeLog() {
    std::vector<std::u16string> out;
    out.swap(log_);
    return out;
}

std::vector<std::u16string> PagePieces(const std::vector<Line>& lines, size_t choices) {
    std::vector<std::u16string> out;
    std::u16string title;
    for (const Line& l : lines)
        if (l.title) title += (title.empty() ? u"" : u" ") + l.text;
    if (!title.empty()) out.push_back(title);
    for (const std::u16string& p : Paragraphs(lines)) out.push_back(p);
    const std::string n = std::to_string(choices);
    out.push_back(choices == 0   ? u"no choices"
                  : choices == 1 ? u"1 choice"
                                 : std::u16string(n.begin(), n.end()) + u" choices");
    return out;
}

}  // namespace assist
