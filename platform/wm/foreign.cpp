#include "wm/foreign.h"

#include "wm/wm.h"

namespace wm {

namespace {
FindForeignWindowFn findForeign = nullptr;
RaiseForeignWindowFn raiseForeign = nullptr;
}  // namespace

void SetForeignWindowHooks(FindForeignWindowFn find, RaiseForeignWindowFn raise) {
    findForeign = find;
    raiseForeign = raise;
}

namespace {
IsForeignWindowFn isForeign = nullptr;
ForwardForeignFn forwardForeign = nullptr;
}  // namespace

void SetForeignCallHooks(IsForeignWindowFn is, ForwardForeignFn forward) {
    isForeign = is;
    forwardForeign = forward;
}

bool IsForeignWindow(HWND window) {
    return isForeign && window && isForeign(window);
}

bool ForwardToForeignWindow(HWND window, const ForeignCall& call) {
    return forwardForeign && forwardForeign(window, call);
}

HWND FindForeignWindow(LPCWSTR className, LPCWSTR windowName) {
    return findForeign ? findForeign(className, windowName) : nullptr;
}

bool RaiseForeignWindow(HWND window) {
    if (raiseForeign && window) return raiseForeign(window);
    SetLastError(kErrorInvalidWindowHandle);
    return false;
}

}  // namespace wm
