#include "assist/transcript.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/utf.h"

namespace assist {

bool Transcript::Open(const std::string& path, std::string* error) {
    Close();
    file_ = std::fopen(path.c_str(), "a");
    if (!file_) *error = "cannot write the transcript " + path + ": " + std::strerror(errno);
    return file_ != nullptr;
}

void Transcript::Page(const std::vector<Line>& lines) {
    Write();
    lines_ = lines;
}

void Transcript::More(const std::vector<Line>& lines) {
    lines_.insert(lines_.end(), lines.begin(), lines.end());
}

void Transcript::Write() {
    if (file_ && !lines_.empty()) {
        // Lines scrolled into view from above came last.
        std::stable_sort(lines_.begin(), lines_.end(),
                         [](const Line& a, const Line& b) { return a.top < b.top; });
        std::string text;
        for (const Line& l : lines_)
            if (l.title) text += utf::ToUtf8(l.text) + "\n";
        for (const std::u16string& p : Paragraphs(lines_)) text += utf::ToUtf8(p) + "\n";
        if (!choice_.empty()) text += "> " + utf::ToUtf8(choice_) + "\n";
        text += "\n";
        std::fwrite(text.data(), 1, text.size(), file_);
        std::fflush(file_);
    }
    lines_.clear();
    choice_.clear();
}

void Transcript::Close() {
    Write();
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

}  // namespace assist
