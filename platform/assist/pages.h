// Follows the program's page from one screen to the next, to tell a new page
// from the same page repainted, scrolled or uncovered. Lines are kept in page
// pixels (screen rows plus the scroll position), so a scroll moves nothing.
//
// A page is new when the program's window changes, when every control it
// had is gone (a rebuild makes all of them anew), or when a line seen before
// is in view again but no longer there. Otherwise the lines in view not seen
// before are the page's next lines, scrolled or uncovered into view.
#pragma once

#include <vector>

#include "assist/screen.h"

namespace assist {

struct PageChange {
    bool fresh = false;       // a new page: `lines` is all of it that can be seen
    std::vector<Line> lines;  // otherwise the lines seen for the first time
};

class PageTracker {
   public:
    PageChange Update(const PageView& view);
    void Forget() { *this = PageTracker(); }

   private:
    bool Fresh(const PageView& view) const;
    HWND window_ = nullptr;
    std::vector<HWND> controls_;
    std::vector<Line> known_;
};

}  // namespace assist
