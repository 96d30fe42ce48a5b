#include "assist/focus.h"

#include "chrome/chrome.h"
#include "controls/controls.h"
#include "device/input.h"
#include "wm/wm.h"

namespace assist {
namespace {

bool OnPage(const Target& t) {
    return t.kind == Kind::Button || t.kind == Kind::Picture || t.kind == Kind::AnswerBox ||
           t.kind == Kind::CheckBox;
}

const Target* Find(const std::vector<Target>& targets, const Target& t) {
    for (const Target& c : targets)
        if (SameTarget(c, t)) return &c;
    return nullptr;
}

const Target* FirstChoiceInView(const std::vector<Target>& targets) {
    for (const Target& t : targets)
        if (OnPage(t) && InView(t)) return &t;
    return nullptr;
}

int ScrollPos(HWND hwnd) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_POS;
    return GetScrollInfo(hwnd, SB_VERT, &si) ? si.nPos : 0;
}

}  // namespace

void Reveal(const Target& t) {
    int way = -1;
    // Far more lines than any page has: the loop ends when nothing moves.
    for (int line = 0; line < 1000; ++line) {
        wm::Window* c = wm::FindQuiet(t.window);
        if (!c || !c->parent) return;
        const RECT r = wm::WindowOnScreen(c);
        const RECT view = wm::ClientOnScreen(c->parent);
        const bool below = !wm::Visible(c) || r.bottom > view.bottom;
        // A control taller than the view stops with its top at the view's.
        const int code = r.top < view.top            ? SB_LINEUP
                         : below && r.top > view.top ? SB_LINEDOWN
                                                     : -1;
        if (code < 0 || (way >= 0 && code != way)) return;
        way = code;
        const HWND parent = c->parent->handle;
        const int before = ScrollPos(parent);
        SendMessageW(parent, WM_VSCROLL, static_cast<WPARAM>(code), 0);
        SendMessageW(parent, WM_VSCROLL, SB_ENDSCROLL, 0);
        if (ScrollPos(parent) == before) return;
    }
}

void Focus::Set(const Target* t) {
    has_ = t != nullptr;
    if (t) current_ = *t;
    entered_ = false;
    moved_ = has_;
}

void Focus::Update(bool freshPage) {
    const std::vector<Target> targets = Targets();
    controls::MessageBoxInfo box;
    const Context context = !device::OpenMenuEntries().empty() ? Context::Menu
                            : controls::ShownMessageBox(&box)  ? Context::Box
                                                               : Context::Page;
    if (context != context_) {
        if (context_ == Context::Page) {
            savedHas_ = has_;
            saved_ = current_;
        }
        context_ = context;
        if (context == Context::Menu) {
            Set(targets.empty() ? nullptr : &targets.front());
        } else if (context == Context::Box) {
            const Target* chosen = nullptr;
            for (const Target& t : targets)
                if (t.id == box.defaultId) chosen = &t;
            Set(chosen);
        } else {
            const Target* back = savedHas_ ? Find(targets, saved_) : nullptr;
            Set(back && !freshPage ? back : FirstChoiceInView(targets));
        }
    } else if (context == Context::Page && freshPage) {
        Set(FirstChoiceInView(targets));
    }
    // A control the stylus gave the program's focus takes the ring too.
    const HWND programFocus = GetFocus();
    if (context == Context::Page && programFocus != programFocus_) {
        for (const Target& t : targets) {
            if (t.window != programFocus || !OnPage(t)) continue;
            if (!has_ || !SameTarget(t, current_)) {
                Set(&t);
                entered_ = t.kind == Kind::AnswerBox;
            }
        }
    }
    programFocus_ = programFocus;
    // Keep its place and words up to date; it goes with its target.
    if (has_) {
        const Target* now = Find(targets, current_);
        if (now) {
            // Words drawn on a button are only seen while it shows.
            const std::u16string name = now->name.empty() ? current_.name : now->name;
            current_ = *now;
            current_.name = name;
        } else {
            has_ = entered_ = false;
        }
    }
}

void Focus::Move(int step) {
    shown_ = true;
    const std::vector<Target> targets = Targets();
    const int n = static_cast<int>(targets.size());
    if (n == 0) return Set(nullptr);
    int i = -1;
    if (has_)
        for (int k = 0; k < n; ++k)
            if (SameTarget(targets[static_cast<size_t>(k)], current_)) i = k;
    if (i < 0) {
        // From nothing, reading on from where the page is: forwards the first
        // thing in view or below it, backwards the last in view or above it.
        i = step > 0 ? 0 : n - 1;
        for (int k = 0; k < n; ++k) {
            const int at = step > 0 ? k : n - 1 - k;
            const Target& t = targets[static_cast<size_t>(at)];
            if (!OnPage(t) ||
                (step > 0 ? t.rect.top >= t.view.top : t.rect.bottom <= t.view.bottom)) {
                i = at;
                break;
            }
        }
    } else {
        i = ((i + step) % n + n) % n;
    }
    Set(&targets[static_cast<size_t>(i)]);
    if (OnPage(current_)) Reveal(current_);
}

bool Focus::Tap() {
    if (!has_) return false;
    if (OnPage(current_)) {
        Reveal(current_);
        wm::Window* c = wm::FindQuiet(current_.window);
        if (!c || !c->parent) return false;
        current_.rect = wm::WindowOnScreen(c);
        current_.view = wm::ClientOnScreen(c->parent);
    }
    RECT r{};
    if (!IntersectRect(&r, &current_.rect, &current_.view)) return false;
    device::TapNext((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    if (current_.kind == Kind::AnswerBox) entered_ = true;
    return true;
}

bool Focus::InAnswerBox() const {
    return has_ && entered_ && current_.kind == Kind::AnswerBox && GetFocus() == current_.window;
}

void Focus::Show() {
    if (shown_) return;
    shown_ = true;
    moved_ = has_;
    if (has_ && OnPage(current_)) Reveal(current_);
}

bool Focus::TakeMoved() {
    const bool moved = moved_;
    moved_ = false;
    return moved;
}

}  // namespace assist
