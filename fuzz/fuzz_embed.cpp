// Reads arbitrary text as the resource embedder's definitions (resources.txt).
// A refusal must carry a "file:line: message"; accepted definitions must hold
// only well-formed UTF-16 text, and the generated source must give back
// every string exactly.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "embed.h"

namespace {

const char kName[] = "res.txt";

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

bool WellFormed(const std::u16string& s) {
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] >= 0xDC00 && s[i] <= 0xDFFF) return false;
        if (s[i] >= 0xD800 && s[i] <= 0xDBFF) {
            if (i + 1 >= s.size() || s[i + 1] < 0xDC00 || s[i + 1] > 0xDFFF) return false;
            ++i;
        }
    }
    return true;
}

int Hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    Require(false);
    return 0;
}

// Reads the adjacent u"..." literals at `at` (printable characters and
// \xhhhh escapes, each escape ending its literal), up to the next ','.
std::u16string ReadLiterals(const std::string& source, size_t* at) {
    std::u16string text;
    size_t i = *at;
    while (i < source.size() && source[i] != ',' && source[i] != '}') {
        if (source[i] == ' ') {
            ++i;
            continue;
        }
        Require(source.compare(i, 2, "u\"") == 0);
        i += 2;
        while (i < source.size() && source[i] != '"') {
            Require(source[i] >= 0x20 && source[i] < 0x7F && source[i] != '?');
            if (source[i] == '\\') {
                Require(source[i + 1] == 'x' && i + 6 < source.size());
                char16_t c = 0;
                for (int k = 2; k < 6; ++k) c = static_cast<char16_t>(c * 16 + Hex(source[i + k]));
                text.push_back(c);
                i += 6;
                Require(source[i] == '"');
                break;
            }
            text.push_back(static_cast<char16_t>(source[i++]));
        }
        Require(i < source.size());
        ++i;
    }
    *at = i;
    return text;
}

void CheckStringTable(const std::string& source, const embed::Definitions& defs) {
    const std::string start = "const resources::StringEntry strings[] = {\n";
    size_t at = source.find(start);
    Require(at != std::string::npos);
    at += start.size();
    for (const auto& [id, text] : defs.strings) {
        const std::string head = "    {" + std::to_string(id) + ", ";
        Require(source.compare(at, head.size(), head) == 0);
        at += head.size();
        Require(ReadLiterals(source, &at) == text);
        Require(source.compare(at, 3, "},\n") == 0);
        at += 3;
    }
    Require(source.compare(at, 17, "    {0, nullptr}}") == 0);
}

std::vector<embed::File> Files(std::initializer_list<const char*> keys) {
    std::vector<embed::File> files;
    for (const char* k : keys) files.push_back({k, {}});
    return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<embed::File> bitmaps = Files({"1", "2", "3", "421"});
    static const std::vector<embed::File> sounds = Files({"Gong", "chime"});
    static const std::vector<embed::File> icons = Files({"420"});
    const std::string text(reinterpret_cast<const char*>(data), size);
    embed::Definitions defs;
    try {
        defs = embed::ParseDefinitions(kName, text, bitmaps, sounds, icons);
    } catch (const embed::Failure& f) {
        const std::string prefix = std::string(kName) + ":";
        Require(f.message.compare(0, prefix.size(), prefix) == 0);
        const long line = std::atol(f.message.c_str() + prefix.size());
        Require(line >= 1 &&
                line <= 1 + static_cast<long>(std::count(text.begin(), text.end(), '\n')));
        const size_t colon = f.message.find(": ", prefix.size());
        Require(colon != std::string::npos && colon + 2 < f.message.size());
        return 0;
    }
    for (const auto& [id, s] : defs.strings) Require(id >= 0 && id <= 65535 && WellFormed(s));
    for (const embed::Menu& m : defs.menus) {
        Require(!m.popups.empty());
        for (const embed::Popup& p : m.popups) {
            Require(WellFormed(p.caption));
            for (const embed::Item& item : p.items) Require(WellFormed(item.text));
        }
    }
    for (const embed::MenuBar& b : defs.menuBars)
        for (const embed::Button& button : b.buttons)
            Require(button.caption == 0 || defs.strings.count(button.caption));
    CheckStringTable(embed::Generate("res", {}, {}, {}, defs), defs);
    return 0;
}
