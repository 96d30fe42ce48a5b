#include "assist/assist.h"

#include <algorithm>
#include <set>

#include "assist/display.h"
#include "assist/focus.h"
#include "assist/pages.h"
#include "assist/transcript.h"
#include "assist/voice.h"
#include "chrome/chrome.h"
#include "controls/controls.h"
#include "device/backend.h"
#include "device/input.h"
#include "gdi/record.h"
#include "wm/wm.h"

namespace assist {
namespace {

constexpr int kLinesPerNotch = 3;
constexpr int kMinScale = 1, kMaxScale = 8;

struct State {
    Settings settings;
    SettingChanged changed;
    PageTracker pages;
    Focus focus;
    Voice voice;
    Transcript transcript;
    HWND announcedBox = nullptr;
    bool sayPageAgain = false;  // the voice was just turned on
    bool shift = false, ctrl = false, altAlone = false;
    std::set<uint32_t> usedDown;  // keys whose down was used: their up goes too
    bool pressing = false;        // the stylus went down on a target
    Target pressed;
};
std::unique_ptr<State> state;

std::u16string Number(int n) {
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

bool IsEdit(HWND hwnd) {
    const wm::Window* w = wm::FindQuiet(hwnd);
    return w && w->cls && w->cls->key == u"edit";
}

// What the transcript writes for a choice: a page's own words as they are,
// anything else as the voice says it. Entering an answer box chooses nothing.
void NoteChoice(const Target& t) {
    if (t.kind == Kind::AnswerBox) return;
    state->transcript.Chose(t.kind == Kind::Button && !t.name.empty() ? t.name : Describe(t));
}

// The target a stylus tap at `p` lands on, if any.
bool TargetAt(POINT p, Target* out) {
    for (const Target& t : Targets()) {
        RECT seen{};
        if (InView(t) && IntersectRect(&seen, &t.rect, &t.view) && PtInRect(&seen, p)) {
            *out = t;
            return true;
        }
    }
    return false;
}

void Wheel(int notches) {
    const HWND hwnd = device::ProgramWindow();
    const wm::Window* w = wm::FindQuiet(hwnd);
    if (!w || !wm::Enabled(w) || !(w->style & WS_VSCROLL) || notches == 0) return;
    const WPARAM code = notches > 0 ? SB_LINEDOWN : SB_LINEUP;
    for (int i = 0; i < std::abs(notches) * kLinesPerNotch; ++i)
        SendMessageW(hwnd, WM_VSCROLL, code, 0);
    SendMessageW(hwnd, WM_VSCROLL, SB_ENDSCROLL, 0);
}

void ToggleMenu() {
    state->focus.Show();
    if (device::CloseOpenMenu()) return;
    for (const device::MenuBarButtonInfo& b : device::MenuBarButtons()) {
        if (!b.dropDown || b.hidden || !b.enabled) continue;
        device::TapNext((b.rect.left + b.rect.right) / 2, (b.rect.top + b.rect.bottom) / 2);
        return;
    }
}

void ToggleVoice() {
    State& s = *state;
    const bool on = !s.voice.On();
    if (on) {
        s.voice.SetOn(true);
        s.focus.Show();
        s.voice.Add(u"voice on");
        s.sayPageAgain = true;
    } else {
        s.voice.Add(u"voice off");
        s.voice.Flush();
        s.voice.SetOn(false);
    }
    s.settings.voice = on;
    if (s.changed) s.changed("voice", on);
}

void ToggleContrast() {
    State& s = *state;
    s.settings.highContrast = !s.settings.highContrast;
    s.voice.Add(s.settings.highContrast ? u"high contrast" : u"normal contrast");
    if (s.changed) s.changed("contrast", s.settings.highContrast);
}

void Scale(int step) {
    State& s = *state;
    const int scale = std::clamp(s.settings.scale + step, kMinScale, kMaxScale);
    if (scale == s.settings.scale) return;
    s.settings.scale = scale;
    s.voice.Add(u"scale " + Number(scale));
    if (s.changed) s.changed("scale", scale);
}

bool TapFocus() {
    Focus& f = state->focus;
    if (!f.Shown() || !f.Current()) return false;
    const Target t = *f.Current();
    if (!f.Tap()) return false;
    NoteChoice(t);
    return true;
}

// A key going down; true when the device used it.
bool KeyDown(uint32_t vk) {
    State& s = *state;
    Focus& f = s.focus;
    switch (vk) {
        case VK_F2:
            ToggleVoice();
            return true;
        case VK_F3:
            ToggleContrast();
            return true;
        case VK_APPS:
        case VK_F10:
            ToggleMenu();
            return true;
        default:
            break;
    }
    if (s.ctrl && (vk == VK_OEM_PLUS || vk == VK_ADD || vk == VK_OEM_MINUS || vk == VK_SUBTRACT)) {
        Scale(vk == VK_OEM_PLUS || vk == VK_ADD ? 1 : -1);
        return true;
    }
    const bool tab = vk == VK_TAB;
    const bool back = tab && s.shift;
    const bool press = vk == VK_RETURN || vk == VK_SPACE;
    if (!device::OpenMenuEntries().empty()) {
        if (tab || vk == VK_DOWN || vk == VK_UP) {
            f.Move(back || vk == VK_UP ? -1 : 1);
            return true;
        }
        if (vk == VK_ESCAPE) return device::CloseOpenMenu();
        return press && TapFocus();
    }
    controls::MessageBoxInfo box;
    if (controls::ShownMessageBox(&box)) {
        if (tab || vk == VK_LEFT || vk == VK_RIGHT) {
            f.Move(back || vk == VK_LEFT ? -1 : 1);
            return true;
        }
        return press && TapFocus();
    }
    // An answer box the person is typing in has its keys, as on the handheld
    // (Enter and Tab confirm it); Shift+Tab and Escape leave it.
    if (IsEdit(GetFocus()) && (!f.Shown() || f.InAnswerBox())) {
        if (back || (vk == VK_ESCAPE && f.Shown())) {
            f.Leave();
            if (back) f.Move(-1);
            return true;
        }
        if (vk == VK_RETURN || tab) s.transcript.Chose(u"answer: " + WindowText(GetFocus()));
        return false;
    }
    if (tab) {
        if (!f.Shown() && f.Current())
            f.Show();
        else
            f.Move(back ? -1 : 1);
        return true;
    }
    return press && TapFocus();
}

bool Filter(const device::InputEvent& e) {
    State& s = *state;
    using device::InputKind;
    switch (e.kind) {
        case InputKind::StylusDown:
            s.pressing = TargetAt(POINT{e.x, e.y}, &s.pressed);
            return false;
        case InputKind::StylusUp: {
            Target t;
            if (s.pressing && TargetAt(POINT{e.x, e.y}, &t) && SameTarget(t, s.pressed))
                NoteChoice(t);
            s.pressing = false;
            return false;
        }
        case InputKind::Wheel:
            Wheel(static_cast<int>(e.code));
            return true;
        case InputKind::KeyDown:
        case InputKind::KeyUp:
            break;
        default:
            return false;
    }
    const bool down = e.kind == InputKind::KeyDown;
    if (e.code == VK_SHIFT) s.shift = down;
    if (e.code == VK_CONTROL) s.ctrl = down;
    if (e.code == VK_MENU) {
        // Alt pressed and let go alone opens the menu; the handheld has no
        // Alt key, so the program never sees it.
        if (down) {
            s.altAlone = true;
        } else if (s.altAlone) {
            s.altAlone = false;
            ToggleMenu();
        }
        return true;
    }
    if (!down) return s.usedDown.erase(e.code) > 0;
    if (e.code != VK_SHIFT && e.code != VK_CONTROL) s.altAlone = false;
    if (!KeyDown(e.code)) return false;
    s.usedDown.insert(e.code);
    return true;
}

void AnnounceBox(Voice& voice) {
    controls::MessageBoxInfo box;
    if (!controls::ShownMessageBox(&box)) {
        state->announcedBox = nullptr;
        return;
    }
    if (box.hwnd == state->announcedBox) return;
    state->announcedBox = box.hwnd;
    voice.Add(box.caption.empty() ? box.text : box.caption + u": " + box.text);
    std::u16string buttons;
    for (const controls::MessageBoxButtonInfo& b : box.buttons)
        buttons += (buttons.empty() ? u"" : u", ") + b.label;
    voice.Add((box.buttons.size() == 1 ? u"button: " : u"buttons: ") + buttons);
}

void OnFrame(gdi::Surface& screen) {
    State& s = *state;
    const PageView view = ReadPage();
    const PageChange change = s.pages.Update(view);
    s.focus.Update(change.fresh);
    if (change.fresh || (s.sayPageAgain && view.window)) {
        for (const std::u16string& piece : PagePieces(view.lines, PageTargets().size()))
            s.voice.Add(piece);
        s.sayPageAgain = false;
    } else {
        for (const std::u16string& p : Paragraphs(change.lines)) s.voice.Add(p);
    }
    AnnounceBox(s.voice);
    if (s.focus.TakeMoved() && s.focus.Shown() && s.focus.Current())
        s.voice.Add(Describe(*s.focus.Current()));
    s.voice.Flush();
    if (change.fresh)
        s.transcript.Page(change.lines);
    else if (!change.lines.empty())
        s.transcript.More(change.lines);

    if (s.settings.highContrast) DrawHighContrast(screen);
    if (const Target* t = s.focus.Current(); t && s.focus.Shown()) {
        const bool page = t->kind == Kind::Button || t->kind == Kind::Picture ||
                          t->kind == Kind::AnswerBox || t->kind == Kind::CheckBox;
        const RECT whole{0, 0, screen.width, screen.height};
        if (!page || t->shown)
            DrawRing(screen, t->rect, page ? t->view : whole, s.settings.highContrast);
    }
}

}  // namespace

bool Install(const Settings& settings, std::unique_ptr<Speaker> speaker, SettingChanged changed,
             std::string* error) {
    Uninstall();
    auto s = std::make_unique<State>();
    if (!settings.transcript.empty() && !s->transcript.Open(settings.transcript, error))
        return false;
    s->settings = settings;
    s->changed = std::move(changed);
    s->voice.SetSpeaker(std::move(speaker));
    s->voice.SetLogging(settings.keepVoiceLog);
    s->voice.SetOn(settings.voice);
    if (settings.voice) s->focus.Show();
    state = std::move(s);
    // Names and page text are read from the record of what was drawn.
    gdi::SetDrawRecording(true);
    device::SetInputFilter(Filter);
    device::SetFrameHook(OnFrame);
    return true;
}

void Uninstall() {
    if (!state) return;
    device::SetInputFilter(nullptr);
    device::SetFrameHook(nullptr);
    state->transcript.Close();
    state.reset();
}

FocusState CurrentFocus() {
    FocusState out;
    if (!state) return out;
    const Focus& f = state->focus;
    out.shown = f.Shown();
    if (const Target* t = f.Current()) {
        out.on = true;
        out.target = *t;
        out.entered = f.InAnswerBox();
    }
    return out;
}

std::vector<std::u16string> TakeSaid() {
    return state ? state->voice.TakeLog() : std::vector<std::u16string>();
}

}  // namespace assist
