// The window manager's own state: classes, the window tree, the queue, timers
// and the caret. Used by the window manager, the controls and the device; the
// reader's code never sees it.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "gdi/surface.h"
#include "windows.h"

namespace wm {

// Error codes with their Win32 values.
constexpr DWORD kErrorInvalidParameter = 87;
constexpr DWORD kErrorInvalidWindowHandle = 1400;
constexpr DWORD kErrorTlwWithWsChild = 1406;
constexpr DWORD kErrorCannotFindWndClass = 1407;
constexpr DWORD kErrorClassAlreadyExists = 1410;
constexpr DWORD kErrorInvalidIndex = 1413;

// SM_CXVSCROLL and the border width of the handheld's QVGA screen.
constexpr int kScrollBarWidth = 13;
constexpr int kBorder = 1;

struct WindowClass {
    std::u16string name;  // as registered
    std::u16string key;   // lower-cased: class names compare without case
    WNDPROC proc = nullptr;
    UINT style = 0;
    HBRUSH background = nullptr;
    HICON icon = nullptr;
    int windowExtra = 0;
    HINSTANCE instance = nullptr;
};

struct ScrollBar {
    int min = 0;
    int max = 100;
    UINT page = 0;
    int pos = 0;
    bool enabled = true;
    bool tracking = false;  // a thumb drag is in progress: trackPos is live
    int trackPos = 0;
};

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> cls;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    HINSTANCE instance = nullptr;
    Window* parent = nullptr;       // null for top-level windows
    HWND owner = nullptr;           // top-level windows: the owner given at creation
    std::vector<Window*> children;  // z-order, topmost first
    RECT rect{};                    // window rectangle in the parent's client coordinates
    std::u16string text;
    std::vector<uint8_t> extra;  // cbWndExtra bytes
    RECT update{};               // bounding box of the update region, client coordinates
    bool erase = false;          // WM_ERASEBKGND due at the next BeginPaint
    bool frameDirty = false;     // border or scroll bar to redraw
    bool destroying = false;
    bool deferredSize = false;  // CW_USEDEFAULT: WM_SIZE/WM_MOVE wait for the first show
    ScrollBar vbar;
    ScrollBar hbar;
    std::unique_ptr<gdi::Surface> surface;  // top-level windows draw into their own surface
    // How the vertical bar last drawn on a top-level window's own surface
    // looked (place, arrows, thumb, state); empty when unknown. Nothing but
    // the frame's drawing touches that part of the surface, so drawing the
    // same bar again is skipped.
    std::vector<int> vbarDrawn;
};

// Handle lookup: null (and ERROR_INVALID_WINDOW_HANDLE) for a null or stale handle.
Window* Find(HWND hwnd);
Window* FindQuiet(HWND hwnd);
std::vector<Window*>& TopLevels();  // z-order, topmost first
Window* TopLevelOf(Window* w);
bool Visible(const Window* w);  // this window and every ancestor visible
bool Enabled(const Window* w);  // this window and every ancestor enabled

// Geometry.
RECT ClientInWindow(const Window* w);  // client rectangle relative to the window's top-left
RECT ClientOnScreen(const Window* w);  // screen rectangle of the client area
RECT WindowOnScreen(const Window* w);
RECT VisibleClip(const Window* w);  // screen rectangle where the window's client can show
RECT VScrollRect(const Window* w);  // the vertical bar, relative to the window's top-left
int ClientWidth(const Window* w);
int ClientHeight(const Window* w);

// Painting.
void InvalidateClient(Window* w, const RECT* rect, bool erase);  // rect in client coordinates
void InvalidateUncovered(Window* w);  // the area a window leaves when hidden, moved or destroyed
Window* FindWindowToPaint();
void DrawFrame(Window* w);  // border and scroll bars
HDC CreateDC(Window* w, bool clientArea, const RECT* clipClient);
void ComposeScreen();  // top-level surfaces onto gdi::Screen()
void SizeChanged(Window* w, bool sendSize);
void EnsureSurface(Window* w);

// Messages.
LRESULT Send(Window* w, UINT msg, WPARAM wParam, LPARAM lParam);
int32_t MsUntilNextTimer(bool* any);  // negative or 0: a timer is due now
void RemoveWindowFromQueue(HWND hwnd);
void SetCaptureInternal(HWND hwnd);

// Scroll bars (scrollbar.cpp).
void DrawVScroll(Window* w, HDC windowDC);
bool ScrollBarMouse(Window* w, UINT msg, POINT screen);  // true while a bar owns the stylus
bool ScrollBarTracking();
int ThumbValueForOffset(const ScrollBar& bar, int trackLength, int thumbLength, int offset);
void ScrollBarGeometry(const ScrollBar& bar, int height, int* arrow, int* thumbTop, int* thumbLen);

// Caret: hidden while `w` (an ancestor of its owner, or the owner) paints or
// scrolls; CaretHideFor says whether it was, so that a show matches it.
bool CaretHideFor(Window* w);
void CaretShowFor(Window* w);
void CaretForget(Window* w);

// Destroys every window and empties the queue, the timers and the input: a
// fresh device for the next test or script.
void ResetForTests();
void ResetWindowsForTests();

// Colours of the handheld's default scheme.
COLORREF SysColor(int index);

std::u16string Lower(const std::u16string& s);
inline std::u16string Text(LPCWSTR s) {
    return s ? std::u16string(s) : std::u16string();
}

}  // namespace wm
