// What the device draws over the composed screen: the high-contrast look and
// the keyboard's focus ring.
#pragma once

#include "gdi/surface.h"

namespace assist {

// Every pixel outside the pictures on the windows becomes black or white by
// its brightness; pictures keep their colours.
void DrawHighContrast(gdi::Surface& screen);

// A ring around `target` (screen pixels), drawn only inside `clip`: orange
// with a black edge outside it, which shows on white, on black and on
// pictures; `thick` for the high-contrast look.
void DrawRing(gdi::Surface& screen, const RECT& target, const RECT& clip, bool thick);

}  // namespace assist
