// The handheld's screen (Pocket PC 2003, QVGA, 96 DPI) and the strips the
// device keeps for itself: the one place these numbers are written.
#pragma once

namespace device {

constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;
constexpr int kNavHeight = 26;  // navigation bar at the top
constexpr int kBarTop = 294;    // menu bar at the bottom
constexpr int kBarHeight = 26;
constexpr int kPanelTop = 214;  // input panel, docked right above the menu bar
constexpr int kPanelHeight = 80;
// The program's work area between the two bars.
constexpr int kWorkTop = kNavHeight;
constexpr int kWorkBottom = kBarTop;

}  // namespace device
