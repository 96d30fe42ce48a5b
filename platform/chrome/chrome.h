// The screen's chrome: the navigation bar at the top (the foreground window's
// title), the program's menu bar at the bottom and the input panel docked
// above it. These calls are for the device's scripts, its screen dump and
// tests; the reader's code never includes this header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "windef.h"

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
// The class icon of the window whose title the navigation bar shows (null
// for none): the program's icon, for a desktop window around the device.
HICON ProgramIcon();
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
// Draws the bars and the panel onto gdi::Screen(); device::Present calls it.
void DrawChrome();

}  // namespace device
