#include "entry/dump.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "assist/assist.h"
#include "chrome/chrome.h"
#include "core/utf.h"
#include "crossprocess/crossprocess.h"
#include "device/record.h"
#include "device/screen.h"
#include "gdi/record.h"
#include "resources/resources.h"
#include "wm/wm.h"

namespace device {
namespace {

void Append(std::string* out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string* out, const char* format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    *out += line;
}

// A class name: as it is when it is a plain word, else quoted.
std::string Word(const std::u16string& name) {
    std::string s;
    for (char16_t c : name) {
        if (c <= 0x20 || c >= 0x7F || c == u'"' || c == u'\\') return Quote(name);
        s += static_cast<char>(c);
    }
    return s.empty() ? Quote(name) : s;
}

std::string Box(const RECT& r) {
    char s[64];
    std::snprintf(s, sizeof s, "at %ld,%ld size %ldx%ld", static_cast<long>(r.left),
                  static_cast<long>(r.top), static_cast<long>(r.right - r.left),
                  static_cast<long>(r.bottom - r.top));
    return s;
}

bool Covers(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// True when `r` (screen) is hidden by a visible top-level window above `w`,
// or lies off the screen.
bool Hidden(const wm::Window* w, const RECT& r) {
    RECT onScreen{};
    const RECT screen{0, 0, kScreenWidth, kScreenHeight};
    if (!IntersectRect(&onScreen, &r, &screen)) return true;
    for (const wm::Window* t : wm::TopLevels()) {
        if (t == w) return false;
        if ((t->style & WS_VISIBLE) && !t->destroying && Covers(wm::WindowOnScreen(t), onScreen))
            return true;
    }
    return false;
}

std::string ControlStates(wm::Window* c) {
    std::string s;
    const bool button = c->cls && c->cls->key == u"button";
    const DWORD type = c->style & BS_TYPEMASK;
    if (button) {
        if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
            type == BS_3STATE || type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON) {
            const LRESULT check = SendMessageW(c->handle, BM_GETCHECK, 0, 0);
            s += check == BST_CHECKED         ? " checked"
                 : check == BST_INDETERMINATE ? " indeterminate"
                                              : " unchecked";
        }
        if (type == BS_DEFPUSHBUTTON) s += " default";
        if (type == BS_OWNERDRAW) s += " owner-drawn";
    }
    if (!wm::Enabled(c)) s += " disabled";
    if (GetFocus() == c->handle) s += " focused";
    return s;
}

void ListControls(std::string* out, wm::Window* top, wm::Window* w) {
    for (wm::Window* c : w->children) {
        if (!wm::Visible(c) || c->destroying) continue;
        const RECT r = wm::WindowOnScreen(c);
        // Only the part inside every parent's client area can be seen.
        RECT seen = r;
        for (const wm::Window* p = c->parent; p; p = p->parent) {
            const RECT pc = wm::ClientOnScreen(p);
            IntersectRect(&seen, &seen, &pc);
        }
        if (IsRectEmpty(&seen) || Hidden(top, seen)) continue;
        const int length = GetWindowTextLengthW(c->handle);
        std::u16string text(static_cast<size_t>(std::max(length, 0)) + 1, u'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(c->handle, text.data(), length + 1)));
        Append(out, "  control %ld %s %s %s%s\n", static_cast<long>(c->id),
               Word(c->cls->name).c_str(), Box(r).c_str(), Quote(text).c_str(),
               ControlStates(c).c_str());
        ListControls(out, top, c);
    }
}

void ListMarks(std::string* out, wm::Window* t) {
    const RECT origin = wm::WindowOnScreen(t);
    std::vector<gdi::Mark> marks = gdi::MarksOn(t->surface.get());
    for (gdi::Mark& m : marks) OffsetRect(&m.rect, origin.left, origin.top);
    std::stable_sort(marks.begin(), marks.end(), [](const gdi::Mark& a, const gdi::Mark& b) {
        return a.rect.top != b.rect.top ? a.rect.top < b.rect.top : a.rect.left < b.rect.left;
    });
    for (const gdi::Mark& m : marks) {
        RECT seen{};
        if (!IntersectRect(&seen, &m.rect, &origin) || Hidden(t, seen)) continue;
        switch (m.kind) {
            case gdi::MarkKind::Text:
                Append(out, "  text %s weight %d %s\n", Box(m.rect).c_str(), m.weight,
                       Quote(m.text).c_str());
                break;
            case gdi::MarkKind::Picture:
                Append(out, "  picture %u %s\n", m.picture, Box(m.rect).c_str());
                break;
            case gdi::MarkKind::Invert:
                Append(out, "  inverted %s\n", Box(m.rect).c_str());
                break;
        }
    }
}

// The keyboard's focus ring, once it shows.
void ListFocus(std::string* out) {
    const assist::FocusState f = assist::CurrentFocus();
    if (!f.shown) return;
    if (!f.on) {
        *out += "focus none\n";
        return;
    }
    const assist::Target& t = f.target;
    const char* where = t.kind == assist::Kind::BarButton   ? "menubar"
                        : t.kind == assist::Kind::MenuItem  ? "menu"
                        : t.kind == assist::Kind::BoxButton ? "messagebox"
                                                            : "control";
    Append(out, "focus %s %d %s %s%s%s\n", where, t.id, Quote(assist::Describe(t)).c_str(),
           Box(t.rect).c_str(), f.entered ? " entered" : "",
           assist::InView(t) ? "" : " out of view");
}

}  // namespace

std::string Quote(const std::u16string& text) {
    std::string s = "\"";
    for (const char c : utf::ToUtf8(text)) {
        if (c == '"' || c == '\\') {
            s += '\\';
            s += c;
        } else if ((c >= 0 && c < 0x20) || c == 0x7F) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\x%02X", static_cast<unsigned>(c));
            s += esc;
        } else {
            s += c;
        }
    }
    return s + "\"";
}

void StartScreenRecording() {
    gdi::SetDrawRecording(true);
}

std::string DumpScreen() {
    // Bring the screen up to date first, as the person would see it.
    wm::ComposeScreen();
    std::string out;
    Append(&out, "screen at %lu ms\n", static_cast<unsigned long>(GetTickCount()));
    Append(&out, "title %s\n", Quote(NavigationTitle()).c_str());
    std::vector<const gdi::Surface*> live;
    for (auto it = wm::TopLevels().rbegin(); it != wm::TopLevels().rend(); ++it) {
        wm::Window* t = *it;
        if (t->surface) live.push_back(t->surface.get());
        if (!(t->style & WS_VISIBLE) || t->destroying) continue;
        const RECT r = wm::WindowOnScreen(t);
        Append(&out, "window %s class %s %s%s\n", Quote(t->text).c_str(),
               Word(t->cls->name).c_str(), Box(r).c_str(),
               GetForegroundWindow() == t->handle ? " active" : "");
        if (t->style & WS_VSCROLL) {
            const wm::ScrollBar& b = t->vbar;
            Append(&out, "  scroll range %d..%d page %u pos %d%s\n", b.min, b.max, b.page, b.pos,
                   b.enabled ? "" : " disabled");
        }
        ListControls(&out, t, t);
        ListMarks(&out, t);
    }
    gdi::KeepMarksOnly(live);
    const auto buttons = MenuBarButtons();
    if (!buttons.empty()) {
        out += "menubar\n";
        for (const MenuBarButtonInfo& b : buttons) {
            Append(&out, "  button %u", b.command);
            if (!b.caption.empty()) Append(&out, " %s", Quote(b.caption).c_str());
            if (b.image >= 0) Append(&out, " image %d", b.image);
            Append(&out, "%s%s%s\n", b.dropDown ? " menu" : "", b.enabled ? "" : " disabled",
                   b.hidden ? " hidden" : "");
        }
    }
    const auto items = OpenMenuItems();
    if (!items.empty()) {
        out += "menu";
        for (const auto& item : items) out += " " + Quote(item);
        out += "\n";
    }
    Append(&out, "inputpanel %s\n", InputPanelShown() ? "shown" : "hidden");
    ListFocus(&out);
    for (const MessageBoxRecord& m : MessageBoxLog())
        Append(&out, "messagebox %s caption %s type 0x%X\n", Quote(m.text).c_str(),
               Quote(m.caption).c_str(), m.type);
    MessageBoxLog().clear();
    for (const std::u16string& s : SoundLog()) {
        if (s.empty()) {
            out += "sound stop\n";
            continue;
        }
        resources::Data data;
        Append(&out, "sound %s%s\n", Quote(s).c_str(),
               resources::FindSoundData(s, &data) ? "" : " (no such resource)");
    }
    SoundLog().clear();
    for (const std::u16string& piece : assist::TakeSaid())
        Append(&out, "voice %s\n", Quote(piece).c_str());
    if (const int raises = TakeForeignRaises())
        Append(&out, "raised by another process %d\n", raises);
    out += "end\n";
    return out;
}

}  // namespace device
