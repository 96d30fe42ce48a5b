#include "assist/screen.h"

#include <algorithm>
#include <map>
#include <string>

#include "chrome/chrome.h"
#include "controls/controls.h"
#include "device/screen.h"
#include "gdi/record.h"
#include "resources/resources.h"
#include "wm/wm.h"

namespace assist {
namespace {

bool Inside(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool CentreIn(const RECT& area, const RECT& r) {
    const POINT c{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    return PtInRect(&area, c) != FALSE;
}

// Text runs of one row joined: a run that starts where the last one ended
// carries its own blanks; a gap between two runs is a blank. A run drawn
// again over itself (a part of the window repainted) counts once.
std::u16string JoinRow(std::vector<const gdi::Mark*> runs) {
    std::stable_sort(runs.begin(), runs.end(), [](const gdi::Mark* a, const gdi::Mark* b) {
        return a->rect.left < b->rect.left;
    });
    std::u16string out;
    LONG right = 0;
    const gdi::Mark* last = nullptr;
    for (const gdi::Mark* m : runs) {
        if (last && last->rect.left == m->rect.left && last->text == m->text) continue;
        last = m;
        if (!out.empty() && m->rect.left > right + 1 && out.back() != u' ' && m->text[0] != u' ')
            out += u' ';
        out += m->text;
        right = m->rect.right;
    }
    while (!out.empty() && out.back() == u' ') out.pop_back();
    while (!out.empty() && out.front() == u' ') out.erase(out.begin());
    return out;
}

std::u16string Widen(const std::string& s) {
    return std::u16string(s.begin(), s.end());
}

RECT SurfaceToScreen(RECT r, const wm::Window* top) {
    const RECT origin = wm::WindowOnScreen(top);
    OffsetRect(&r, origin.left, origin.top);
    return r;
}

// The words and pictures drawn on a control, read from its top-level
// window's record.
void DrawnOn(const wm::Window* control, std::u16string* words, bool* picture) {
    const wm::Window* top = wm::TopLevelOf(const_cast<wm::Window*>(control));
    const RECT area = wm::WindowOnScreen(control);
    std::map<LONG, std::vector<const gdi::Mark*>> rows;
    for (const gdi::Mark& m : gdi::MarksOn(top->surface.get())) {
        if (!CentreIn(area, SurfaceToScreen(m.rect, top))) continue;
        if (m.kind == gdi::MarkKind::Picture) *picture = true;
        if (m.kind == gdi::MarkKind::Text && !m.text.empty()) rows[m.rect.top].push_back(&m);
    }
    for (auto& [top_, runs] : rows) {
        const std::u16string row = JoinRow(runs);
        if (row.empty()) continue;
        if (!words->empty()) *words += u' ';
        *words += row;
    }
}

Target PageTarget(wm::Window* c) {
    Target t;
    t.window = c->handle;
    t.id = static_cast<int>(c->id);
    t.rect = wm::WindowOnScreen(c);
    t.view = wm::ClientOnScreen(c->parent);
    t.shown = wm::Visible(c);
    const std::u16string& cls = c->cls->key;
    const DWORD type = c->style & BS_TYPEMASK;
    if (cls == u"edit") {
        t.kind = Kind::AnswerBox;
        t.name = WindowText(c->handle);
    } else if (cls == u"button" && type == BS_OWNERDRAW) {
        bool picture = false;
        DrawnOn(c, &t.name, &picture);
        t.kind = t.name.empty() && picture ? Kind::Picture : Kind::Button;
    } else {
        const bool check =
            cls == u"button" &&
            (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
             type == BS_AUTO3STATE || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
        t.kind = check ? Kind::CheckBox : Kind::Button;
        t.name = WindowText(c->handle);
    }
    return t;
}

std::vector<Target> BarTargets() {
    std::vector<Target> out;
    for (const device::MenuBarButtonInfo& b : device::MenuBarButtons()) {
        // Blank buttons only keep the others in their places.
        if (b.hidden || !b.enabled || (b.caption.empty() && b.image < 0)) continue;
        Target t;
        t.kind = Kind::BarButton;
        t.id = b.command;
        t.rect = t.view = b.rect;
        t.name = b.caption;
        // A picture button is named by the program's string with its
        // command's number, when the program has one.
        if (t.name.empty())
            if (const char16_t* s = resources::FindString(b.command)) t.name = s;
        if (t.name.empty()) t.name = u"button " + Widen(std::to_string(b.command));
        out.push_back(t);
    }
    return out;
}

}  // namespace

std::u16string WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::u16string text(static_cast<size_t>(std::max(length, 0)) + 1, u'\0');
    text.resize(static_cast<size_t>(std::max(GetWindowTextW(hwnd, text.data(), length + 1), 0)));
    return text;
}

bool SameTarget(const Target& a, const Target& b) {
    return a.kind == b.kind && a.window == b.window && a.id == b.id;
}

bool InView(const Target& t) {
    return t.shown && Inside(t.view, t.rect);
}

std::vector<Target> PageTargets() {
    std::vector<Target> out;
    wm::Window* w = wm::FindQuiet(device::ProgramWindow());
    if (!w) return out;
    const RECT client = wm::ClientOnScreen(w);
    for (wm::Window* c : w->children) {
        if (c->destroying || !wm::Enabled(c) || !c->cls) continue;
        const RECT r = wm::WindowOnScreen(c);
        if (IsRectEmpty(&r)) continue;
        // The layout hides a control that would pass the page's end: it is
        // there to be scrolled to. One hidden anywhere else is not there.
        if (!wm::Visible(c) && r.top < client.top) continue;
        out.push_back(PageTarget(c));
    }
    std::stable_sort(out.begin(), out.end(), [](const Target& a, const Target& b) {
        return a.rect.top != b.rect.top ? a.rect.top < b.rect.top : a.rect.left < b.rect.left;
    });
    return out;
}

std::vector<Target> Targets() {
    std::vector<Target> out;
    const std::vector<device::MenuItemInfo> items = device::OpenMenuEntries();
    if (!items.empty()) {
        for (const device::MenuItemInfo& it : items) {
            if (!it.choosable) continue;
            Target t;
            t.kind = Kind::MenuItem;
            t.id = it.command;
            t.rect = t.view = it.rect;
            t.name = it.text;
            out.push_back(t);
        }
        return out;
    }
    controls::MessageBoxInfo box;
    if (controls::ShownMessageBox(&box)) {
        for (const controls::MessageBoxButtonInfo& b : box.buttons) {
            Target t;
            t.kind = Kind::BoxButton;
            t.window = box.hwnd;
            t.id = b.id;
            t.rect = t.view = b.rect;
            t.name = b.label;
            out.push_back(t);
        }
        return out;
    }
    out = PageTargets();
    for (const Target& t : BarTargets()) out.push_back(t);
    return out;
}

std::u16string Describe(const Target& t) {
    switch (t.kind) {
        case Kind::Button:
            return t.name.empty() ? u"button" : u"button: " + t.name;
        case Kind::Picture:
            return u"picture button";
        case Kind::AnswerBox: {
            const LRESULT limit = SendMessageW(t.window, EM_GETLIMITTEXT, 0, 0);
            std::u16string s = u"answer box, " + Widen(std::to_string(limit)) +
                               (limit == 1 ? u" letter" : u" letters");
            return t.name.empty() ? s : s + u": " + t.name;
        }
        case Kind::CheckBox: {
            const bool on = SendMessageW(t.window, BM_GETCHECK, 0, 0) == BST_CHECKED;
            return u"check box: " + t.name + (on ? u", ticked" : u", not ticked");
        }
        case Kind::BarButton:
            return u"icon bar: " + t.name;
        case Kind::MenuItem:
            return u"menu: " + t.name;
        case Kind::BoxButton:
            return u"button: " + t.name;
    }
    return t.name;
}

PageView ReadPage() {
    PageView page;
    wm::Window* w = wm::FindQuiet(device::ProgramWindow());
    if (!w || !w->surface) return page;
    page.window = w->handle;
    const RECT client = wm::ClientOnScreen(w);
    const int pos = (w->style & WS_VSCROLL) ? w->vbar.pos : 0;
    page.top = pos;
    page.bottom = pos + static_cast<int>(client.bottom - client.top);
    std::vector<RECT> controls, inverted;
    for (wm::Window* c : w->children) {
        if (c->destroying) continue;
        page.controls.push_back(c->handle);
        if (wm::Visible(c)) controls.push_back(wm::WindowOnScreen(c));
    }
    std::map<LONG, std::vector<const gdi::Mark*>> rows;
    for (const gdi::Mark& m : gdi::MarksOn(w->surface.get())) {
        const RECT r = SurfaceToScreen(m.rect, w);
        if (m.kind == gdi::MarkKind::Invert) inverted.push_back(r);
        if (m.kind != gdi::MarkKind::Text || m.text.empty() || !Inside(client, r)) continue;
        if (std::any_of(controls.begin(), controls.end(),
                        [&](const RECT& c) { return CentreIn(c, r); }))
            continue;
        rows[r.top].push_back(&m);
    }
    for (auto& [top, runs] : rows) {
        Line line;
        line.text = JoinRow(runs);
        if (line.text.empty()) continue;
        RECT r = SurfaceToScreen(runs.front()->rect, w);
        for (const gdi::Mark* m : runs) {
            const RECT more = SurfaceToScreen(m->rect, w);
            UnionRect(&r, &r, &more);
        }
        line.title = std::any_of(inverted.begin(), inverted.end(),
                                 [&](const RECT& i) { return CentreIn(i, r); });
        const int dy = pos - static_cast<int>(client.top);
        line.top = static_cast<int>(r.top) + dy;
        line.bottom = static_cast<int>(r.bottom) + dy;
        line.left = static_cast<int>(r.left);
        line.right = static_cast<int>(r.right);
        page.lines.push_back(std::move(line));
    }
    return page;
}

std::vector<std::u16string> Paragraphs(const std::vector<Line>& lines) {
    std::vector<std::u16string> out;
    const Line* previous = nullptr;
    for (const Line& line : lines) {
        if (line.title) continue;
        // Lines of a paragraph follow each other with a pixel or two between.
        const bool follows =
            previous && line.top - previous->bottom < (previous->bottom - previous->top) / 2;
        if (follows)
            out.back() += u' ' + line.text;
        else
            out.push_back(line.text);
        previous = &line;
    }
    return out;
}

}  // namespace assist
