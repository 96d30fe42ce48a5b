// A record of what has been drawn on window surfaces and is still there to
// be seen: text runs, pictures blitted from loaded bitmaps and inverted
// rectangles. The drawing calls report to it; the device's screen dump reads
// it. Drawing itself does not change: the record only follows it.
//
// The record keeps a list per surface. A fill, an opaque text cell or a copy
// of other pixels removes the entries it covers completely; scrolling moves
// the entries inside the scrolled area and keeps only what stays inside it;
// an inversion of the same rectangle twice cancels out; pieces of one
// picture drawn apart (a scroll uncovers the rest of a picture partly kept)
// are one picture. Memory bitmaps are not recorded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gdi/surface.h"

namespace gdi {

enum class MarkKind { Text, Picture, Invert };

struct Mark {
    MarkKind kind;
    RECT rect;             // surface pixels: the text cell, the picture, the inverted area
    std::u16string text;   // Text
    int weight = 0;        // Text: the font's weight
    int height = 0;        // Text: the font's cell height
    uint16_t picture = 0;  // Picture: the bitmap's resource id
    RECT clip = {0, 0, 0,
                 0};  // Text: the part the context let it draw on (a cover of it removes it)
    RECT placed = {0, 0, 0, 0};  // Picture: where the whole bitmap lies
};

// Turns recording on or off (off by default, so tests and the program pay
// nothing unless a dump is wanted).
void SetDrawRecording(bool on);
bool DrawRecording();

// What is recorded on `s` now, oldest first.
const std::vector<Mark>& MarksOn(const Surface* s);
// Drops the records of every surface not in `live`.
void KeepMarksOnly(const std::vector<const Surface*>& live);
// Drops the record of `s`: a new surface may be made where a freed one was.
void ForgetMarks(const Surface* s);

// Reports from the drawing code.
void NoteText(const Surface* s, const RECT& cell, const RECT& clip, const std::u16string& text,
              int height, int weight);
void NoteCover(const Surface* s, const RECT& area);
void NotePicture(const Surface* s, const RECT& area, const RECT& placed, uint16_t id);
void NoteInvert(const Surface* s, const RECT& area);
void NoteScroll(const Surface* s, const RECT& area, int dx, int dy);

// Pixels of bitmaps loaded from resources, with their ids: a copy from one of
// these is recorded as a picture.
void NoteLoadedBitmap(const Surface* pixels, uint16_t id);
bool LoadedBitmapId(const Surface* pixels, uint16_t* id);

}  // namespace gdi
