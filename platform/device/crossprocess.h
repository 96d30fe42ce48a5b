// Windows of other processes. FindWindowW and SetForegroundWindow ask these
// when a window is not one of this process's; the default answers "none".
#pragma once

#include "windef.h"

namespace device {

typedef HWND (*FindForeignWindowFn)(LPCWSTR className, LPCWSTR windowName);
typedef bool (*RaiseForeignWindowFn)(HWND window);
void SetForeignWindowHooks(FindForeignWindowFn find, RaiseForeignWindowFn raise);

HWND FindForeignWindow(LPCWSTR className, LPCWSTR windowName);
bool RaiseForeignWindow(HWND window);

}  // namespace device
