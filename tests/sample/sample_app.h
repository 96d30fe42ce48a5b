// A small program for the handheld, written against the system headers only:
// a window with a scrolling text, push, check and owner-drawn buttons, an
// answer box, a message box, and a menu bar with a menu and picture buttons
// whose window follows the input panel. Tests drive it through the headless device.
#pragma once

#include <string>
#include <vector>

#include "windows.h"

namespace sample {

// What the program saw, for the tests to read.
struct Seen {
    std::u16string answer;  // the answer box's text when Enter confirmed it
    int sound = -1;         // the check box state at its last click
    int pictureClicks = 0;
    std::vector<int> questions;  // answers of the "Next" message box
    int ticks = 0;               // WM_TIMER messages of the status timer
    int scrollPos = 0;           // scroll position when the window went
    std::vector<int> commands;   // menu and menu bar commands, in order
    std::vector<int> heights;    // window heights after each input panel change
};

Seen& Result();

// The program's entry, in the handheld's shape; returns the WM_QUIT code.
int SampleMain(HINSTANCE instance, int show);

constexpr int kNext = 1;
constexpr int kSound = 2;
constexpr int kPicture = 5000;
constexpr int kAnswer = 4000;
// The menu bar: its menu's items and its picture buttons.
constexpr int kAbout = 600;
constexpr int kKeyboard = 601;
constexpr int kExit = 602;
constexpr int kBack = 610;
constexpr int kForward = 611;
constexpr int kHelp = 612;

}  // namespace sample
