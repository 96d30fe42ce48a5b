#include "assist/pages.h"

#include <algorithm>

namespace assist {
namespace {

bool SameLine(const Line& a, const Line& b) {
    return a.top == b.top && a.text == b.text;
}

bool Contains(const std::vector<Line>& lines, const Line& line) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const Line& l) { return SameLine(l, line); });
}

}  // namespace

bool PageTracker::Fresh(const PageView& view) const {
    if (view.window != window_) return true;
    const bool replaced =
        !(view.controls.empty() && controls_.empty()) &&
        std::none_of(view.controls.begin(), view.controls.end(), [&](HWND c) {
            return std::find(controls_.begin(), controls_.end(), c) != controls_.end();
        });
    if (replaced) return true;
    for (const Line& k : known_) {
        const bool inView = k.top >= view.top && k.bottom <= view.bottom;
        if (inView && !Contains(view.lines, k)) return true;
    }
    // A line where another one was seen, drawn over it.
    for (const Line& l : view.lines)
        for (const Line& k : known_)
            if (l.top < k.bottom && k.top < l.bottom && !SameLine(l, k)) return true;
    return false;
}

PageChange PageTracker::Update(const PageView& view) {
    PageChange change;
    if (!view.window) return change;
    if (Fresh(view)) {
        window_ = view.window;
        controls_ = view.controls;
        known_ = view.lines;
        change.fresh = true;
        change.lines = view.lines;
        return change;
    }
    controls_ = view.controls;
    for (const Line& l : view.lines)
        if (!Contains(known_, l)) change.lines.push_back(l);
    known_.insert(known_.end(), change.lines.begin(), change.lines.end());
    return change;
}

}  // namespace assist
