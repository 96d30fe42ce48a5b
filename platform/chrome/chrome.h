// The screen's chrome: the navigation bar at the top (the foreground window's
// title), the program's menu bar at the bottom and the input panel docked
// above it. These calls are for the device's scripts, its screen dump and
// tests; the reader's code never includes this header.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "windef.h"

namespace gdi {
struct Surface;
}

namespace device {

struct MenuBarButtonInfo {
    uint16_t command;        // command id the button sends
    std::u16string caption;  // text of a text button, empty for an image button
    int image;               // image index in the bar's strip, -1 for none
    bool enabled;
    bool hidden;
    bool dropDown;  // opens a pop-up menu
    RECT rect;      // screen pixels
};

// The visible bar's buttons, in order (hidden ones included, with hidden set).
std::vector<MenuBarButtonInfo> MenuBarButtons();
// What the navigation bar shows.
std::u16string NavigationTitle();
// The program's window whose title that is: the foreground window, or the
// one that owns the message box or chrome window in front; null when none.
HWND ProgramWindow();
// The icon of that window's class (RegisterClassW's hIcon), a desktop's
// window icon; null when it has none.
HICON ProgramIcon();
std::shared_ptr<gdi::Surface> ProgramIconPicture();
bool InputPanelShown();
// Shows or hides the input panel, as its toggle button does.
void SetInputPanel(bool shown);
// Taps the button with this command; false if no visible enabled button has it.
bool PressMenuBarButton(uint16_t command);
// Opens the pop-up menu holding the item and taps the item; false if none.
bool ChooseMenuItem(uint16_t command);
// Items of the pop-up menu on screen, without their &-marks; a separator is
// an empty string. Empty when no menu is open.
std::vector<std::u16string> OpenMenuItems();
struct MenuItemInfo {
    uint16_t command;
    std::u16string text;  // without its &-marks; empty for a separator
    bool choosable;       // not a separator, not grayed
    RECT rect;            // screen pixels
};
// The same items with what a tap on each needs.
std::vector<MenuItemInfo> OpenMenuEntries();
// Closes the pop-up menu on screen as a tap outside it would; false when none is open.
bool CloseOpenMenu();
// Draws the bars and the panel onto gdi::Screen(); device::Present calls it.
void DrawChrome();

}  // namespace device
