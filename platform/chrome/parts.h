// The chrome's own state shared by its parts: the screen's layout, the windows
// that make up the chrome, the menu bars and the input panel. Internal to the
// platform.
#pragma once

#include <string>
#include <vector>

#include "device/screen.h"
#include "windows.h"

namespace chrome {

// The handheld's screen and its bars.
using device::kBarHeight;
using device::kBarTop;
using device::kNavHeight;
using device::kPanelHeight;
using device::kPanelTop;
using device::kScreenHeight;
using device::kScreenWidth;

// The toggle button of the input panel at the bar's right end.
constexpr int kSipButtonWidth = 24;

// Chrome windows are pop-ups that show without taking the activation from
// the program (WS_EX_NOACTIVATE keeps taps from taking it); should one be
// activated all the same, it gives the activation straight back, so the
// focused control of the program keeps the focus.
bool IsChromeWindow(HWND hwnd);
void ShowWithoutActivation(HWND hwnd);
void ReturnActivation(HWND previous);
// Puts the top-level windows in their layers (message boxes, menu, panel,
// bars, the program's windows); true when the order changed.
bool Restack();

// Fonts of the chrome (created once, never freed).
HFONT BarFont();   // bold 8 point: bar captions and the navigation title
HFONT MenuFont();  // 9 point: pop-up menu items
HFONT KeyFont();   // 8 point: key labels

// Menu bars (menubar.cpp).
HWND VisibleMenuBar();  // the frontmost shown bar, or null
void InvalidateSipButtons();
bool IsMenuBar(HWND hwnd);
bool IsPopupMenu(HWND hwnd);

// The input panel (sip.cpp).
bool PanelShown();
void SetPanelShown(bool shown);
HWND PanelWindow();
bool IsPanel(HWND hwnd);

void ResetMenusForTests();

// Tests: forget the panel state and the open menu.
void ResetForTests();

}  // namespace chrome
