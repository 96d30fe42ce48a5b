// build/explore: explores a book, or previews one of its pages.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/explore/explorer.h"

// The book's source files, written by add_explorer().
extern const char* const kBookSources[];
extern const int kBookSourceCount;

namespace {

constexpr const char* kUsage =
    "usage: explore [--max-states N] [--max-seconds S] [--no-menu] [--novelty] [--lints-warn]\n"
    "               [--exact] [--json FILE] [--walkthroughs FOLDER]\n"
    "       explore --preview N [--state FILE] [--png FILE]\n";

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

// A paragraph's title as the page shows it: the text between <H> and <J>,
// with <a> as a space.
std::string Title(const bookc::Book& book, int paragraph) {
    for (const bookc::Paragraph& p : book.paragraphs) {
        if (p.number != paragraph) continue;
        std::string text;
        for (const bookc::Word& w : p.words) text += w.text + " ";
        const size_t open = text.find("<H>"), close = text.find("<J>");
        if (open == std::string::npos || close == std::string::npos || close < open) return "";
        std::string title = text.substr(open + 3, close - open - 3);
        for (size_t i = title.find("<a>"); i != std::string::npos; i = title.find("<a>", i))
            title.replace(i, 3, " ");
        return title;
    }
    return "";
}

bool Number(const char* s, double& v) {
    char* end = nullptr;
    v = std::strtod(s, &end);
    return end && *end == '\0' && v >= 0;
}

}  // namespace

int main(int argc, char** argv) {
    explore::Options options;
    std::string jsonPath, walkthroughs, statePath, pngPath = "preview.png";
    int preview = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        double v = 0;
        if (a == "--no-menu") {
            options.menu = false;
        } else if (a == "--novelty") {
            options.novelty = true;
        } else if (a == "--exact") {
            options.exact = true;
        } else if (a == "--lints-warn") {
            options.lintsWarnOnly = true;
        } else if (a == "--max-states" && hasValue && Number(argv[i + 1], v)) {
            options.maxStates = static_cast<size_t>(v);
            ++i;
        } else if (a == "--max-seconds" && hasValue && Number(argv[i + 1], v)) {
            options.maxSeconds = v;
            ++i;
        } else if (a == "--json" && hasValue) {
            jsonPath = argv[++i];
        } else if (a == "--walkthroughs" && hasValue) {
            walkthroughs = argv[++i];
        } else if (a == "--preview" && hasValue && Number(argv[i + 1], v) && v >= 1) {
            preview = static_cast<int>(v);
            ++i;
        } else if (a == "--state" && hasValue) {
            statePath = argv[++i];
        } else if (a == "--png" && hasValue) {
            pngPath = argv[++i];
        } else {
            std::cerr << kUsage;
            return 2;
        }
    }
    if (preview) {
        std::string state, dump, error;
        if (!statePath.empty() && !ReadFile(statePath, state)) {
            std::cerr << "explore: cannot read " << statePath << "\n";
            return 1;
        }
        if (!explore::Preview(preview, state, pngPath, dump, error)) {
            std::cerr << "explore: " << error << "\n";
            return 1;
        }
        std::cout << dump;
        return 0;
    }
    std::vector<bookc::Source> sources;
    for (int i = 0; i < kBookSourceCount; ++i) {
        bookc::Source s{kBookSources[i], ""};
        if (!ReadFile(s.name, s.text)) {
            std::cerr << "explore: cannot read the book source " << s.name << "\n";
            return 1;
        }
        sources.push_back(std::move(s));
    }
    bookc::CompileResult book = bookc::Compile(sources);
    if (!book.ok) {
        std::cerr << "explore: the book's source does not compile: " << book.errors[0].Format()
                  << "\n";
        return 1;
    }
    explore::Report report = explore::Explore(book.book, options);
    std::cout << explore::FormatText(report);
    if (!jsonPath.empty() && !WriteFile(jsonPath, explore::FormatJson(report))) {
        std::cerr << "explore: cannot write " << jsonPath << "\n";
        return 1;
    }
    if (!walkthroughs.empty()) {
        for (const explore::EndingReached& e : report.endings) {
            if (!e.reached) continue;
            std::string script;
            uint32_t clock = 0;
            if (!explore::WalkthroughScript(e.path, script, clock)) {
                std::cerr << "explore: no clock gives the rolls of the way to " << e.paragraph
                          << "\n";
                continue;
            }
            const std::string base = walkthroughs + "/ending-" + std::to_string(e.paragraph);
            script = "# " + std::string(e.good ? "Good" : "Bad") + " ending \"" + e.name +
                     "\", paragraph " + std::to_string(e.paragraph) + ": replay with --clock " +
                     std::to_string(clock) + "\n# ends on \"" + Title(book.book, e.paragraph) +
                     "\"\n" + script;
            if (!WriteFile(base + ".script", script) ||
                !WriteFile(base + ".clock", std::to_string(clock) + "\n")) {
                std::cerr << "explore: cannot write " << base << ".script\n";
                return 1;
            }
        }
    }
    return report.Clean() ? 0 : 1;
}
