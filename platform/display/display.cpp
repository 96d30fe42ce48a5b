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

namespace {
FrameHook frameHook = nullptr;
}  // namespace

gdi::Surface& ComposeFrame() {
    wm::ComposeScreen();
    DrawChrome();
    if (frameHook) frameHook(gdi::Screen());
    return gdi::Screen();
}

void SetFrameHook(FrameHook hook) {
    frameHook = hook;
}

void Present() {
    CurrentBackend().Present(ComposeFrame());
}

}  // namespace device
