#include "gdi/record.h"

#include <algorithm>
#include <map>

#include "gdi/objects.h"

namespace gdi {
namespace {

bool recording = false;
constexpr size_t kMostMarks = 4096;  // per surface

std::map<const Surface*, std::vector<Mark>>& Marks() {
    static std::map<const Surface*, std::vector<Mark>> marks;
    return marks;
}

std::map<const Surface*, uint16_t>& Loaded() {
    static std::map<const Surface*, uint16_t> loaded;
    return loaded;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The box around both; an empty one adds nothing.
RECT Union(const RECT& a, const RECT& b) {
    if (IsEmpty(a)) return b;
    if (IsEmpty(b)) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

// The part of a mark's rectangle that can be seen on the surface.
RECT Seen(const Surface* s, const RECT& r) {
    return Intersect(r, RECT{0, 0, s->width, s->height});
}

}  // namespace

void SetDrawRecording(bool on) {
    recording = on;
    if (!on) Marks().clear();
}

bool DrawRecording() {
    return recording;
}

const std::vector<Mark>& MarksOn(const Surface* s) {
    static const std::vector<Mark> none;
    auto it = Marks().find(s);
    return it == Marks().end() ? none : it->second;
}

void KeepMarksOnly(const std::vector<const Surface*>& live) {
    for (auto it = Marks().begin(); it != Marks().end();)
        it = std::find(live.begin(), live.end(), it->first) == live.end() ? Marks().erase(it)
                                                                          : std::next(it);
}

void ForgetMarks(const Surface* s) {
    Marks().erase(s);
}

void NoteCover(const Surface* s, const RECT& area) {
    if (!recording || IsEmpty(area)) return;
    auto it = Marks().find(s);
    if (it == Marks().end()) return;
    auto& v = it->second;
    v.erase(std::remove_if(v.begin(), v.end(),
                           [&](const Mark& m) {
                               // Text is gone once what was drawn of it is covered, even
                               // when its cell runs past the context it was drawn through.
                               const RECT drawn =
                                   m.kind == MarkKind::Text ? Intersect(m.rect, m.clip) : m.rect;
                               return Inside(Seen(s, drawn), area);
                           }),
            v.end());
}

void NoteText(const Surface* s, const RECT& cell, const RECT& clip, const std::u16string& text,
              int height, int weight) {
    if (!recording || text.empty() || IsEmpty(Intersect(cell, clip))) return;
    auto& v = Marks()[s];
    // The same text drawn again in the same place is still one run, drawn
    // where either was.
    for (Mark& m : v)
        if (m.kind == MarkKind::Text && Same(m.rect, cell) && m.text == text) {
            m.clip = Union(m.clip, Intersect(cell, clip));
            return;
        }
    Mark m{MarkKind::Text, cell, text, weight, height, 0, clip};
    v.push_back(std::move(m));
    // Text drawn again and again without ever being erased cannot make the
    // record grow without bound: the oldest runs go first.
    if (v.size() > kMostMarks)
        v.erase(v.begin(), v.begin() + static_cast<ptrdiff_t>(v.size() - kMostMarks));
}

void NotePicture(const Surface* s, const RECT& area, const RECT& placed, uint16_t id) {
    if (!recording || IsEmpty(area)) return;
    NoteCover(s, area);
    auto& v = Marks()[s];
    for (Mark& m : v)
        if (m.kind == MarkKind::Picture && m.picture == id && Same(m.placed, placed)) {
            m.rect = Union(m.rect, area);
            return;
        }
    Mark m{MarkKind::Picture, area, {}, 0, 0, id};
    m.placed = placed;
    v.push_back(std::move(m));
}

void NoteInvert(const Surface* s, const RECT& area) {
    if (!recording || IsEmpty(area)) return;
    auto& v = Marks()[s];
    for (auto it = v.begin(); it != v.end(); ++it)
        if (it->kind == MarkKind::Invert && Same(it->rect, area)) {
            v.erase(it);  // inverted twice: back as it was
            return;
        }
    v.push_back(Mark{MarkKind::Invert, area, {}, 0, 0, 0});
}

void NoteScroll(const Surface* s, const RECT& area, int dx, int dy) {
    if (!recording) return;
    auto it = Marks().find(s);
    if (it == Marks().end()) return;
    auto& v = it->second;
    std::vector<Mark> kept;
    for (Mark& m : v) {
        if (IsEmpty(Intersect(m.rect, area))) {
            kept.push_back(std::move(m));
            continue;
        }
        // A mark inside the scrolled area moves with its pixels; what leaves
        // the area is gone. A text run keeps its cell: only what is drawn of
        // it is cut.
        auto move = [&](const RECT& r) {
            return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
        };
        const RECT moved = move(m.rect);
        if (IsEmpty(Intersect(moved, area))) continue;
        m.rect = m.kind == MarkKind::Text ? moved : Intersect(moved, area);
        m.clip = Intersect(move(m.clip), area);
        m.placed = move(m.placed);
        kept.push_back(std::move(m));
    }
    v = std::move(kept);
}

void NoteLoadedBitmap(const Surface* pixels, uint16_t id) {
    Loaded()[pixels] = id;
}

bool LoadedBitmapId(const Surface* pixels, uint16_t* id) {
    auto it = Loaded().find(pixels);
    if (it == Loaded().end()) return false;
    *id = it->second;
    return true;
}

}  // namespace gdi
