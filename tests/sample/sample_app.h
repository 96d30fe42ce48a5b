// A small program for the handheld, written against the system headers only:
// a window with a scrolling text, push, check and owner-drawn buttons, an
// answer box and a message box. Tests drive it through the headless device.
#pragma once

#include <string>
#include <vector>

#include "windows.h"

namespace sample {

// What the program saw, for the tests to read.
struct Seen {
    std::u16string answer;    // the answer box's text when Enter confirmed it
    int sound = -1;           // the check box state at its last click
    int pictureClicks = 0;
    std::vector<int> questions;  // answers of the "Next" message box
    int ticks = 0;               // WM_TIMER messages of the status timer
    int scrollPos = 0;           // scroll position when the window went
    int paints = 0;
};

Seen& Result();

// The program's entry, in the handheld's shape; returns the WM_QUIT code.
int SampleMain(HINSTANCE instance, int show);

constexpr int kNext = 1;
constexpr int kSound = 2;
constexpr int kPicture = 5000;
constexpr int kAnswer = 4000;

}  // namespace sample
