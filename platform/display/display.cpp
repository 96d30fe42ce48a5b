#include "display/display.h"

#include "chrome/chrome.h"
#include "device/backend.h"
#include "gdi/surface.h"
#include "wm/wm.h"

namespace device {

bool PostCloseToProgram() {
    bool any = false;
    for (wm::Window* t : wm::TopLevels()) {
        // The device's own windows (bars, panel, menus, message boxes) have
        // class names starting with '#'; owned windows go with their owner.
        const bool device = t->cls && !t->cls->name.empty() && t->cls->name[0] == u'#';
        if (t->destroying || !(t->style & WS_VISIBLE) || device || t->owner) continue;
        PostMessageW(t->handle, WM_CLOSE, 0, 0);
        any = true;
    }
    return any;
}

void Present() {
    wm::ComposeScreen();
    DrawChrome();
    CurrentBackend().Present(gdi::Screen());
}

bool SaveScreen(const std::string& path) {
    wm::ComposeScreen();
    DrawChrome();
    return gdi::WritePng(gdi::Screen(), path.c_str());
}

}  // namespace device
