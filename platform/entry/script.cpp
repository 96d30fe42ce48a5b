#include "entry/script.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "chrome/chrome.h"
#include "controls/controls.h"
#include "core/utf.h"
#include "device/input.h"
#include "device/record.h"
#include "device/screen.h"
#include "display/screenshot.h"
#include "entry/dump.h"
#include "headless/headless.h"
#include "wm/wm.h"

namespace device {
namespace {

std::function<void(const std::string&)> failure;
std::shared_ptr<int> nextLine;  // the line of the next command to run; 0 when done

void Fail(const std::string& message) {
    if (failure) {
        failure(message);
        return;
    }
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
    std::_Exit(1);
}

bool Number(const std::string& s, uint32_t max, uint32_t* out) {
    if (s.empty() || s.size() > 10) return false;
    unsigned long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    if (v > max) return false;
    *out = static_cast<uint32_t>(v);
    return true;
}

struct KeyName {
    const char* name;
    uint32_t vk;
};
constexpr KeyName kKeys[] = {
    {"UP", VK_UP},         {"DOWN", VK_DOWN},     {"LEFT", VK_LEFT},      {"RIGHT", VK_RIGHT},
    {"PRIOR", VK_PRIOR},   {"NEXT", VK_NEXT},     {"HOME", VK_HOME},      {"END", VK_END},
    {"RETURN", VK_RETURN}, {"TAB", VK_TAB},       {"SPACE", VK_SPACE},    {"ESCAPE", VK_ESCAPE},
    {"F2", VK_F2},         {"F3", VK_F3},         {"F10", VK_F10},        {"ALT", VK_MENU},
    {"MENU", VK_APPS},     {"PLUS", VK_OEM_PLUS}, {"MINUS", VK_OEM_MINUS}};
constexpr const char* kKeyList =
    "UP DOWN LEFT RIGHT PRIOR NEXT HOME END RETURN TAB SPACE ESCAPE F2 F3 F10 ALT MENU PLUS "
    "MINUS, SHIFT+ or CTRL+ one of them, or one character";

struct KeyPress {
    uint32_t vk = 0;  // 0: a character of its own
    bool shift = false, ctrl = false;
};

// A key's name, with SHIFT+ and CTRL+ in front for keys held with it.
bool ReadKey(std::string name, KeyPress* out) {
    for (bool more = true; more;) {
        more = false;
        for (const char* prefix : {"SHIFT+", "CTRL+"}) {
            const std::string p = prefix;
            if (name.size() > p.size() && name.compare(0, p.size(), p) == 0) {
                (p == "SHIFT+" ? out->shift : out->ctrl) = true;
                name = name.substr(p.size());
                more = true;
            }
        }
    }
    for (const KeyName& k : kKeys)
        if (name == k.name) {
            out->vk = k.vk;
            return true;
        }
    const auto c = static_cast<unsigned char>(name[0]);
    return name.size() == 1 && c > 0x20 && c < 0x7F && !out->shift && !out->ctrl;
}

void PressKey(const std::string& name) {
    KeyPress k;
    ReadKey(name, &k);
    if (k.vk) {
        if (k.shift) KeyDown(VK_SHIFT);
        if (k.ctrl) KeyDown(VK_CONTROL);
        Key(k.vk);
        if (k.ctrl) KeyUp(VK_CONTROL);
        if (k.shift) KeyUp(VK_SHIFT);
        return;
    }
    // Letters and digits are keys whose characters the message loop
    // makes (TranslateMessage); capitals with Shift held. Other
    // characters arrive as characters only.
    const char ch = name[0];
    if (ch >= 'a' && ch <= 'z') {
        Key(static_cast<uint32_t>(ch - 'a' + 'A'));
    } else if (ch >= 'A' && ch <= 'Z') {
        KeyDown(VK_SHIFT);
        Key(static_cast<uint32_t>(ch));
        KeyUp(VK_SHIFT);
    } else if (ch >= '0' && ch <= '9') {
        Key(static_cast<uint32_t>(ch));
    } else {
        Char(static_cast<char16_t>(ch));
    }
}

// The visible control with this id, topmost window first; null if none.
wm::Window* FindControl(wm::Window* w, LONG_PTR id) {
    for (wm::Window* c : w->children) {
        if (c->destroying || !wm::Visible(c)) continue;
        if (c->id == id) return c;
        if (wm::Window* found = FindControl(c, id)) return found;
    }
    return nullptr;
}

void Press(const std::string& where, uint32_t id) {
    for (wm::Window* t : wm::TopLevels()) {
        if (t->destroying || !(t->style & WS_VISIBLE)) continue;
        wm::Window* c = FindControl(t, static_cast<LONG_PTR>(id));
        if (!c) continue;
        if (!wm::Enabled(c)) return Fail(where + "control " + std::to_string(id) + " is disabled");
        RECT r = wm::WindowOnScreen(c);
        const RECT screen{0, 0, kScreenWidth, kScreenHeight};
        IntersectRect(&r, &r, &screen);
        const POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        // A window above it would take the tap.
        for (wm::Window* above : wm::TopLevels()) {
            if (above == t) break;
            const RECT a = wm::WindowOnScreen(above);
            if (!above->destroying && (above->style & WS_VISIBLE) && PtInRect(&a, p))
                return Fail(where + "control " + std::to_string(id) +
                            " is covered by another window");
        }
        if (IsRectEmpty(&r)) break;
        Tap(p.x, p.y);
        return;
    }
    if (PressMenuBarButton(static_cast<uint16_t>(id))) return;
    Fail(where + "no control with id " + std::to_string(id) + " on screen");
}

}  // namespace

void RunCommand(const Script& script, const ScriptCommand& c,
                const std::function<void(const std::string&)>& print) {
    const std::string where = script.file + ":" + std::to_string(c.line) + ": ";
    const std::string& n = c.name;
    if (n == "tap") {
        Tap(c.x, c.y);
    } else if (n == "drag") {
        const size_t last = c.args.size() - 2;
        for (size_t k = 0; k <= last; k += 2) {
            const int x = std::stoi(c.args[k]), y = std::stoi(c.args[k + 1]);
            k == 0 ? StylusDown(x, y) : StylusMove(x, y);
        }
        StylusUp(std::stoi(c.args[last]), std::stoi(c.args[last + 1]));
    } else if (n == "press") {
        Press(where, c.number);
    } else if (n == "menu") {
        if (ChooseMenuItem(static_cast<uint16_t>(c.number))) return;
        Fail(where + "no menu item with id " + std::to_string(c.number));
    } else if (n == "key") {
        PressKey(c.args[0]);
    } else if (n == "wheel") {
        // Over the middle of the work area.
        Wheel(kScreenWidth / 2, (kWorkTop + kWorkBottom) / 2, c.x);
    } else if (n == "type") {
        bool ok = true;
        Type(utf::FromUtf8(c.rest, &ok));
    } else if (n == "answer") {
        const int id = c.args[0] == "OK" ? IDOK : c.args[0] == "YES" ? IDYES : IDNO;
        if (!controls::MessageBoxShowing()) return Fail(where + "no message box to answer");
        if (!controls::PressMessageBoxButton(id))
            return Fail(where + "the message box has no " + c.args[0] + " button");
    } else if (n == "sip") {
        SetInputPanel(c.args[0] == "on");
    } else if (n == "dump") {
        const std::string text = DumpScreen();
        if (print)
            print(text);
        else {
            std::fwrite(text.data(), 1, text.size(), stdout);
            std::fflush(stdout);
        }
    } else if (n == "shot") {
        if (!SaveScreen(c.rest)) Fail(where + "cannot write " + c.rest);
    }
}

bool ParseScript(const std::string& file, const std::string& text, Script* out,
                 std::string* error) {
    Script s;
    s.file = file;
    std::istringstream in(text);
    std::string raw;
    int line = 0;
    while (std::getline(in, raw)) {
        ++line;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        // A comment starts at a '#' at the start or after a blank.
        for (size_t i = 0; i < raw.size(); ++i)
            if (raw[i] == '#' && (i == 0 || raw[i - 1] == ' ' || raw[i - 1] == '\t')) {
                raw.resize(i);
                break;
            }
        while (!raw.empty() && (raw.back() == ' ' || raw.back() == '\t')) raw.pop_back();
        size_t start = raw.find_first_not_of(" \t");
        if (start == std::string::npos) continue;
        ScriptCommand c;
        c.line = line;
        size_t end = raw.find_first_of(" \t", start);
        c.name = raw.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (end != std::string::npos) {
            size_t from = raw.find_first_not_of(" \t", end);
            if (from != std::string::npos) c.rest = raw.substr(from);
        }
        std::istringstream words(c.rest);
        for (std::string w; words >> w;) c.args.push_back(w);
        const std::string where = file + ":" + std::to_string(line) + ": ";
        auto bad = [&](const std::string& message) {
            *error = where + message;
            return false;
        };
        auto count = [&](size_t n, const char* form) {
            if (c.args.size() != n) return bad(std::string("expected ") + form);
            return true;
        };
        const std::string& n = c.name;
        if (n == "wait") {
            if (!count(1, "wait MS")) return false;
            if (!Number(c.args[0], 86400000, &c.number))
                return bad("wait takes milliseconds, not " + c.args[0]);
        } else if (n == "tap") {
            if (!count(2, "tap X Y")) return false;
            uint32_t x = 0, y = 0;
            if (!Number(c.args[0], 239, &x) || !Number(c.args[1], 319, &y))
                return bad("tap takes a screen pixel, X 0..239 and Y 0..319");
            c.x = static_cast<int>(x), c.y = static_cast<int>(y);
        } else if (n == "drag") {
            if (c.args.size() < 4 || c.args.size() % 2) return bad("expected drag X Y X Y ...");
            uint32_t v = 0;
            for (size_t k = 0; k < c.args.size(); ++k)
                if (!Number(c.args[k], k % 2 ? 319 : 239, &v))
                    return bad("drag takes screen pixels, X 0..239 and Y 0..319");
        } else if (n == "press" || n == "menu") {
            if (!count(1, n == "press" ? "press ID" : "menu ID")) return false;
            if (!Number(c.args[0], 65535, &c.number))
                return bad(n + " takes a control id from 0 to 65535");
        } else if (n == "key") {
            if (!count(1, "key NAME")) return false;
            KeyPress k;
            if (!ReadKey(c.args[0], &k))
                return bad("unknown key " + c.args[0] + " (" + kKeyList + ")");
        } else if (n == "wheel") {
            if (!count(1, "wheel N")) return false;
            const std::string& a = c.args[0];
            uint32_t notches = 0;
            if (!Number(a[0] == '-' ? a.substr(1) : a, 100, &notches) || notches == 0)
                return bad("wheel takes notches, -100 to 100 but not 0, not " + a);
            c.x = a[0] == '-' ? -static_cast<int>(notches) : static_cast<int>(notches);
        } else if (n == "type") {
            bool ok = true;
            if (c.rest.empty()) return bad("expected type TEXT");
            utf::FromUtf8(c.rest, &ok);
            if (!ok) return bad("type needs UTF-8 text");
        } else if (n == "answer") {
            if (!count(1, "answer OK|YES|NO")) return false;
            if (c.args[0] != "OK" && c.args[0] != "YES" && c.args[0] != "NO")
                return bad("answer takes OK, YES or NO, not " + c.args[0]);
        } else if (n == "sip") {
            if (!count(1, "sip on|off")) return false;
            if (c.args[0] != "on" && c.args[0] != "off")
                return bad("sip takes on or off, not " + c.args[0]);
        } else if (n == "dump" || n == "exit") {
            if (!count(0, n.c_str())) return false;
        } else if (n == "shot") {
            if (c.rest.empty()) return bad("expected shot FILE");
        } else {
            // Shown as it was written, but only printable ASCII of it.
            std::string shown;
            for (char ch : n.substr(0, 40)) shown += ch > 0x20 && ch < 0x7F ? ch : '?';
            return bad("unknown command " + shown);
        }
        s.commands.push_back(std::move(c));
    }
    *out = std::move(s);
    return true;
}

bool LoadScript(const std::string& path, Script* out, std::string* error) {
    std::error_code ec;
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path, ec)) {
        *error = path + ": cannot read the script";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        *error = path + ": cannot read the script";
        return false;
    }
    return ParseScript(path, text.str(), out, error);
}

void SetScriptFailureHandler(std::function<void(const std::string&)> fail) {
    failure = std::move(fail);
}

void QueueScript(const Script& script, std::function<void(const std::string&)> print) {
    Headless& h = HeadlessBackend();
    SetMessageBoxAutoAnswer(false);
    nextLine = std::make_shared<int>(0);
    auto track = nextLine;
    auto shared = std::make_shared<Script>(script);
    const auto& cmds = shared->commands;
    *track = cmds.empty() ? 0 : cmds[0].line;
    // Even an empty script ends: the program is then closed at once.
    if (cmds.empty()) h.Then([] {});
    for (size_t i = 0; i < cmds.size(); ++i) {
        const int following = i + 1 < cmds.size() ? cmds[i + 1].line : 0;
        if (cmds[i].name == "exit") {
            // Nothing after it runs; the backend closes the program.
            h.Then([track] { *track = 0; });
            break;
        }
        if (cmds[i].name == "wait") {
            h.Then([track, line = cmds[i].line] { *track = line; });
            h.Wait(cmds[i].number);
            h.Then([track, following] { *track = following; });
            continue;
        }
        h.Then([shared, i, track, following, print] {
            *track = shared->commands[i].line;
            RunCommand(*shared, shared->commands[i], print);
            *track = following;
        });
    }
}

int UnfinishedScriptLine() {
    return nextLine ? *nextLine : 0;
}

}  // namespace device
