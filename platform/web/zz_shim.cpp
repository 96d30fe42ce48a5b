// TEMPORARY until the shared backend code leaves headless/ (not to commit)
#include "chrome/chrome.h"
#include "device/backend.h"
#include "gdi/surface.h"
#include "headless/headless.h"
#include "wm/wm.h"
namespace device {
bool PostCloseToProgram() {
    bool any = false;
    for (wm::Window* t : wm::TopLevels()) {
        const bool device = t->cls && !t->cls->name.empty() && t->cls->name[0] == u'#';
        if (t->destroying || !(t->style & WS_VISIBLE) || device || t->owner) continue;
        PostMessageW(t->handle, WM_CLOSE, 0, 0);
        any = true;
    }
    return any;
}
namespace {
Backend* current = nullptr;
}
Backend& CurrentBackend() {
    return *current;
}
void SetBackend(Backend* b) {
    current = b;
}
void Present() {
    wm::ComposeScreen();
    DrawChrome();
    CurrentBackend().Present(gdi::Screen());
}
}  // namespace device
