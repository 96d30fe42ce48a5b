#include "embed.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace embed {
namespace {

[[noreturn]] void Fail(const std::string& where, const std::string& message) {
    throw Failure{where + ": " + message};
}

std::u16string FromUtf8(const std::string& s, const std::string& where) {
    std::u16string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        unsigned long cp;
        int extra;
        if (c < 0x80) {
            cp = c;
            extra = 0;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else {
            Fail(where, "text is not UTF-8");
        }
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                Fail(where, "text is not UTF-8");
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF would
        // come out as different or broken UTF-16.
        static const unsigned long kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kLeast[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            Fail(where, "text is not UTF-8");
        i += 1 + extra;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

struct Token {
    std::string text;
    bool quoted = false;
};

std::vector<Token> Tokenize(const std::string& line, const std::string& where) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            Token t;
            t.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char d = line[i++];
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d == '\\') {
                    if (i >= line.size()) break;
                    char e = line[i++];
                    if (e == 'n')
                        t.text.push_back('\n');
                    else if (e == 't')
                        t.text.push_back('\t');
                    else if (e == '"' || e == '\\')
                        t.text.push_back(e);
                    else
                        Fail(where, std::string("unknown escape \\") + e);
                } else {
                    t.text.push_back(d);
                }
            }
            if (!closed) Fail(where, "unterminated string");
            tokens.push_back(t);
        } else {
            Token t;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
                   line[i] != '#')
                t.text.push_back(line[i++]);
            tokens.push_back(t);
        }
    }
    return tokens;
}

long Number(const Token& t, long low, long high, const std::string& where, const char* what) {
    if (t.quoted || t.text.empty()) Fail(where, std::string(what) + " must be a number");
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(t.text.c_str(), &end, 0);
    if (*end != 0 || errno != 0)
        Fail(where, std::string(what) + " must be a number, not \"" + t.text + "\"");
    if (v < low || v > high)
        Fail(where, std::string(what) + " " + t.text + " is outside " + std::to_string(low) + ".." +
                        std::to_string(high));
    return v;
}

bool IsId(const std::string& s) {
    if (s.empty() || s.size() > 5 ||
        !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    long v = std::atol(s.c_str());
    return v >= 1 && v <= 65535 && std::to_string(v) == s;
}

bool IsName(const std::string& s) {
    return !s.empty() && s.size() <= 64 && std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               c == '_' || c == '-';
    });
}

}  // namespace

std::vector<File> Collect(const fs::path& folder, const std::string& extension, bool numeric) {
    std::vector<File> files;
    if (!fs::is_directory(folder)) return files;
    std::set<std::string> seen;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        fs::path p = entry.path();
        std::string stem = p.stem().string();
        if (p.extension() != extension)
            Fail(p.string(), "not a " + extension + " file; only resources belong in this folder");
        if (numeric ? !IsId(stem) : !IsName(stem))
            Fail(p.string(), numeric ? "a resource file must be named by its id (1 to 65535)"
                                     : "a sound must be named with letters, digits, '_' or '-'");
        std::string folded = stem;
        std::transform(folded.begin(), folded.end(), folded.begin(),
                       [](unsigned char c) { return std::toupper(c); });
        if (!seen.insert(folded).second) Fail(p.string(), "two files have this resource name");
        files.push_back({stem, p});
    }
    std::sort(files.begin(), files.end(), [&](const File& a, const File& b) {
        return numeric ? std::atol(a.key.c_str()) < std::atol(b.key.c_str()) : a.key < b.key;
    });
    return files;
}

namespace {

bool Has(const std::vector<File>& files, const std::string& key) {
    return std::any_of(files.begin(), files.end(), [&](const File& f) { return f.key == key; });
}

}  // namespace

Definitions ParseDefinitions(const std::string& name, const std::string& text,
                             const std::vector<File>& bitmaps, const std::vector<File>& sounds,
                             const std::vector<File>& icons) {
    Definitions defs;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    Menu* menu = nullptr;
    Popup* popup = nullptr;
    MenuBar* bar = nullptr;
    std::set<long> menuIds, barIds;
    while (std::getline(in, line)) {
        ++number;
        std::string where = name + ":" + std::to_string(number);
        std::vector<Token> t = Tokenize(line, where);
        if (t.empty()) continue;
        const std::string& word = t[0].quoted ? std::string() : t[0].text;
        auto expect = [&](size_t n) {
            if (t.size() != n)
                Fail(where, "\"" + word + "\" takes " + std::to_string(n - 1) + " values");
        };
        if (popup) {
            if (word == "item") {
                if (t.size() < 3 || !t[2].quoted)
                    Fail(where, "item needs a command id and a quoted text");
                Item item;
                item.command = Number(t[1], 1, 65535, where, "command id");
                item.text = FromUtf8(t[2].text, where);
                for (size_t k = 3; k < t.size(); ++k) {
                    if (t[k].text == "grayed")
                        item.flags |= 0x0001;
                    else if (t[k].text == "checked")
                        item.flags |= 0x0008;
                    else
                        Fail(where, "unknown item flag \"" + t[k].text + "\"");
                }
                popup->items.push_back(item);
            } else if (word == "separator") {
                expect(1);
                popup->items.push_back(Item{0, u"", 0x0800});
            } else if (word == "end") {
                expect(1);
                popup = nullptr;
            } else {
                Fail(where, "expected item, separator or end in a pop-up");
            }
        } else if (menu) {
            if (word == "popup") {
                expect(2);
                if (!t[1].quoted) Fail(where, "popup needs a quoted caption");
                menu->popups.push_back(Popup{FromUtf8(t[1].text, where), {}});
                popup = &menu->popups.back();
            } else if (word == "end") {
                expect(1);
                if (menu->popups.empty()) Fail(menu->where, "menu has no pop-up");
                menu = nullptr;
            } else {
                Fail(where, "expected popup or end in a menu");
            }
        } else if (bar) {
            if (word == "button") {
                expect(7);
                Button b;
                b.where = where;
                b.image = t[1].text == "none" ? -2 : Number(t[1], 0, 32767, where, "image index");
                b.command = Number(t[2], 0, 65535, where, "command id");
                b.state = Number(t[3], 0, 255, where, "state");
                b.style = Number(t[4], 0, 255, where, "style");
                b.caption = Number(t[5], 0, 65535, where, "caption string id");
                b.subMenu =
                    t[6].text == "none" ? 0xFFFF : Number(t[6], 0, 65534, where, "sub-menu index");
                bar->buttons.push_back(b);
            } else if (word == "end") {
                expect(1);
                bar = nullptr;
            } else {
                Fail(where, "expected button or end in a menu bar");
            }
        } else if (word == "bitmap" || word == "icon") {
            expect(2);
            std::string range = t[1].text;
            size_t dash = range.find('-');
            long first = Number(Token{range.substr(0, dash)}, 1, 65535, where, "id");
            long last = dash == std::string::npos
                            ? first
                            : Number(Token{range.substr(dash + 1)}, first, 65535, where, "id");
            const std::vector<File>& files = word == "bitmap" ? bitmaps : icons;
            for (long id = first; id <= last; ++id)
                if (!Has(files, std::to_string(id)))
                    Fail(where, (word == "bitmap" ? "bitmaps/" : "icons/") + std::to_string(id) +
                                    ".bmp is missing");
        } else if (word == "sound") {
            expect(2);
            if (!Has(sounds, t[1].text)) Fail(where, "sounds/" + t[1].text + ".wav is missing");
        } else if (word == "string") {
            expect(3);
            if (!t[2].quoted) Fail(where, "string needs a quoted text");
            long id = Number(t[1], 0, 65535, where, "string id");
            if (!defs.strings.emplace(id, FromUtf8(t[2].text, where)).second)
                Fail(where, "string " + std::to_string(id) + " is defined twice");
        } else if (word == "menu") {
            expect(2);
            long id = Number(t[1], 1, 65535, where, "menu id");
            if (!menuIds.insert(id).second)
                Fail(where, "menu " + std::to_string(id) + " is defined twice");
            defs.menus.push_back(Menu{id, {}, where});
            menu = &defs.menus.back();
        } else if (word == "menubar") {
            if (t.size() != 4 || t[2].text != "menu")
                Fail(where, "expected: menubar <id> menu <menu id>");
            long id = Number(t[1], 1, 65535, where, "menu bar id");
            if (!barIds.insert(id).second)
                Fail(where, "menu bar " + std::to_string(id) + " is defined twice");
            defs.menuBars.push_back(
                MenuBar{id, Number(t[3], 1, 65535, where, "menu id"), {}, where});
            bar = &defs.menuBars.back();
        } else {
            Fail(where, "unknown statement \"" + t[0].text + "\"");
        }
    }
    if (popup || menu || bar) Fail(name + ":" + std::to_string(number), "missing \"end\"");
    for (const MenuBar& b : defs.menuBars) {
        const Menu* m = nullptr;
        for (const Menu& candidate : defs.menus)
            if (candidate.id == b.menu) m = &candidate;
        if (!m) Fail(b.where, "menu " + std::to_string(b.menu) + " is not defined");
        for (const Button& button : b.buttons) {
            if (button.subMenu != 0xFFFF && button.subMenu >= static_cast<long>(m->popups.size()))
                Fail(button.where, "menu " + std::to_string(b.menu) + " has no pop-up " +
                                       std::to_string(button.subMenu));
            if (button.caption != 0 && !defs.strings.count(button.caption))
                Fail(button.where, "string " + std::to_string(button.caption) + " is not defined");
        }
    }
    return defs;
}

namespace {

std::string Literal16(const std::u16string& s) {
    std::ostringstream o;
    o << "u\"";
    for (char16_t c : s) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
            o << static_cast<char>(c);
        } else {
            // A hexadecimal escape ends its literal so the next character
            // cannot be read as one more digit.
            char buffer[24];
            std::snprintf(buffer, sizeof buffer, "\\x%04x\" u\"", static_cast<unsigned>(c));
            o << buffer;
        }
    }
    o << "\"";
    return o.str();
}

std::string Literal8(const std::string& s) {
    std::ostringstream o;
    o << "\"";
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
            o << static_cast<char>(c);
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\%03o", c);
            o << buffer;
        }
    }
    o << "\"";
    return o.str();
}

}  // namespace

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) Fail(p.string(), "cannot be read");
    std::ostringstream o;
    o << in.rdbuf();
    return o.str();
}

namespace {

void WriteBytes(std::ostringstream& o, const std::string& name, const std::string& bytes) {
    o << "alignas(4) const unsigned char " << name << "[] =\n    \"";
    int column = 0;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
            o << static_cast<char>(c);
            column += 1;
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\%03o", c);
            o << buffer;
            column += 4;
        }
        if (column >= 96) {
            o << "\"\n    \"";
            column = 0;
        }
    }
    o << "\";\n";
}

}  // namespace

std::string Generate(const fs::path& dir, const std::vector<File>& bitmaps,
                     const std::vector<File>& sounds, const std::vector<File>& icons,
                     const Definitions& defs) {
    std::ostringstream o;
    o << "// Generated by tools/embed from " << dir.string() << ". Do not edit.\n"
      << "#include \"resources/resources.h\"\n\nnamespace {\n\n";
    auto files = [&](const std::vector<File>& list, const std::string& prefix) {
        for (size_t i = 0; i < list.size(); ++i)
            WriteBytes(o, prefix + std::to_string(i), ReadAll(list[i].path));
    };
    files(bitmaps, "bitmap");
    files(sounds, "sound");
    files(icons, "icon");
    auto table = [&](const std::vector<File>& list, const std::string& prefix, bool named) {
        o << "const resources::FileEntry " << prefix << "s[] = {\n";
        for (size_t i = 0; i < list.size(); ++i) {
            std::string data = prefix + std::to_string(i);
            if (named)
                o << "    {0, " << Literal16(FromUtf8(list[i].key, list[i].path.string())) << ", "
                  << data << ", sizeof " << data << " - 1},\n";
            else
                o << "    {" << list[i].key << ", nullptr, " << data << ", sizeof " << data
                  << " - 1},\n";
        }
        o << "    {0, nullptr, nullptr, 0}};\n";
    };
    table(bitmaps, "bitmap", false);
    table(sounds, "sound", true);
    table(icons, "icon", false);
    o << "const resources::StringEntry strings[] = {\n";
    for (const auto& [id, text] : defs.strings)
        o << "    {" << id << ", " << Literal16(text) << "},\n";
    o << "    {0, nullptr}};\n";
    for (size_t m = 0; m < defs.menus.size(); ++m) {
        const Menu& menu = defs.menus[m];
        for (size_t p = 0; p < menu.popups.size(); ++p) {
            o << "const resources::MenuItem menu" << m << "_" << p << "[] = {\n";
            for (const Item& item : menu.popups[p].items)
                o << "    {" << item.command << ", " << Literal16(item.text) << ", " << item.flags
                  << "},\n";
            o << "    {0, nullptr, 0}};\n";
        }
        o << "const resources::MenuPopup menu" << m << "[] = {\n";
        for (size_t p = 0; p < menu.popups.size(); ++p)
            o << "    {" << Literal16(menu.popups[p].caption) << ", menu" << m << "_" << p << ", "
              << menu.popups[p].items.size() << "},\n";
        o << "};\n";
    }
    o << "const resources::Menu menus[] = {\n";
    for (size_t m = 0; m < defs.menus.size(); ++m)
        o << "    {" << defs.menus[m].id << ", menu" << m << ", " << defs.menus[m].popups.size()
          << "},\n";
    o << "    {0, nullptr, 0}};\n";
    for (size_t b = 0; b < defs.menuBars.size(); ++b) {
        o << "const resources::MenuBarButton bar" << b << "[] = {\n";
        for (const Button& x : defs.menuBars[b].buttons)
            o << "    {" << x.image << ", " << x.command << ", " << x.state << ", " << x.style
              << ", " << x.caption << ", " << x.subMenu << "},\n";
        o << "    {0, 0, 0, 0, 0, 0}};\n";
    }
    o << "const resources::MenuBar menuBars[] = {\n";
    for (size_t b = 0; b < defs.menuBars.size(); ++b)
        o << "    {" << defs.menuBars[b].id << ", " << defs.menuBars[b].menu << ", bar" << b << ", "
          << defs.menuBars[b].buttons.size() << "},\n";
    o << "    {0, 0, nullptr, 0}};\n\n";
    o << "const resources::Table table = {\n    " << Literal8(dir.string()) << ",\n    bitmaps, "
      << bitmaps.size() << ", sounds, " << sounds.size() << ", icons, " << icons.size()
      << ",\n    strings, " << defs.strings.size() << ", menus, " << defs.menus.size()
      << ", menuBars, " << defs.menuBars.size() << "};\n\n"
      << "struct Registrar {\n    Registrar() { resources::Register(&table); }\n} registrar;\n\n"
      << "}  // namespace\n";
    return o.str();
}

}  // namespace embed
