// What the device adds around the handheld so that a person can use it
// without a stylus and without sight: the keyboard as a stylus (a focus ring
// moved by Tab), a voice that says what the screen shows, a transcript of
// the pages read, and a high-contrast look. The program never knows of any
// of it: the keys become taps and scroll-bar arrows, and everything said or
// written is read from the screen.
//
// Keys (taken before the program sees them):
//   Tab, Shift+Tab       move the ring through everything that can be tapped
//   Enter, Space         tap what the ring is on (an answer box then takes the typing)
//   Escape               close the open menu; leave an answer box
//   Menu, F10, Alt       open (or close) the menu bar's menu
//   Up, Down             inside an open menu: the items
//   Left, Right          inside a message box: its buttons
//   F2                   the voice on or off
//   F3                   high contrast on or off
//   Ctrl+Plus, Ctrl+Minus  the window's scale
// While an answer box has been entered, the keys are the box's: Enter and Tab
// confirm the answer (as on the handheld); Shift+Tab and Escape leave it.
// The mouse wheel scrolls three lines a notch, as the scroll bar's arrows.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "assist/screen.h"
#include "assist/speech.h"

namespace assist {

struct Settings {
    bool voice = false;
    bool highContrast = false;
    int scale = 2;              // the window's, 1 to 8
    std::string transcript;     // a file to append to, or empty
    bool keepVoiceLog = false;  // for the screen dump
};

// A setting changed by a key while running: "voice", "contrast" or "scale".
using SettingChanged = std::function<void(const std::string& name, int value)>;

// Installs the keys, the voice, the transcript and the look around the
// program. `speaker` is where the voice goes (null: nowhere, as headless).
// False with the reason when the transcript cannot be opened.
bool Install(const Settings& settings, std::unique_ptr<Speaker> speaker, SettingChanged changed,
             std::string* error);
// Writes the last page to the transcript and takes everything away again.
void Uninstall();

// For the screen dump: where the ring is, and the pieces said since last asked.
struct FocusState {
    bool shown = false;  // the keyboard has moved it, or the voice is on
    bool on = false;     // false: on nothing
    Target target;
    bool entered = false;  // an answer box that takes the typing
};
FocusState CurrentFocus();
std::vector<std::u16string> TakeSaid();

}  // namespace assist
