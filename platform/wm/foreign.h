// Windows of other processes, as the window manager sees them: handles that
// stand for another process's window. FindWindowW and SetForegroundWindow ask these
// when a window is not one of this process's; the default answers "none".
// InvalidateRect, UpdateWindow and SetWindowPos hand a handle that stands for
// another process's window to ForwardToForeignWindow.
#pragma once

#include "windef.h"

namespace wm {

typedef HWND (*FindForeignWindowFn)(LPCWSTR className, LPCWSTR windowName);
typedef bool (*RaiseForeignWindowFn)(HWND window);
void SetForeignWindowHooks(FindForeignWindowFn find, RaiseForeignWindowFn raise);

HWND FindForeignWindow(LPCWSTR className, LPCWSTR windowName);
bool RaiseForeignWindow(HWND window);

// A call made on another process's window.
struct ForeignCall {
    enum Kind { Invalidate, Update, SetPos } kind = Update;
    bool hasRect = false;  // Invalidate: rect given (else the whole client area)
    RECT rect{};
    bool erase = false;
    HWND after = nullptr;  // SetPos
    int x = 0, y = 0, cx = 0, cy = 0;
    UINT flags = 0;
};
typedef bool (*IsForeignWindowFn)(HWND window);
typedef bool (*ForwardForeignFn)(HWND window, const ForeignCall& call);
void SetForeignCallHooks(IsForeignWindowFn isForeign, ForwardForeignFn forward);

// True when the handle stands for another process's window.
bool IsForeignWindow(HWND window);
bool ForwardToForeignWindow(HWND window, const ForeignCall& call);

}  // namespace wm
