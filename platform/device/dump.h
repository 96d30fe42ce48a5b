// The screen dump: what a person sees on the device, as stable text, for
// device scripts (`dump`) and scenario tests.
//
//   screen at 5000 ms
//   title "Sample"
//   window "Sample" class SampleWindow at 0,26 size 240x268 active
//     scroll range 0..709 page 268 pos 0
//     control 4000 EDIT at 10,36 size 120x19 "lantern" focused
//     control 1 BUTTON at 140,35 size 60x21 "Next" default
//     control 2 BUTTON at 10,66 size 70x16 "Sound" checked
//     control 5000 BUTTON at 100,64 size 80x21 "" owner-drawn
//     text at 4,96 size 124x13 weight 400 "Line 1: the fern path winds on"
//     picture 421 at 4,100 size 112x16
//     inverted at 0,26 size 240x20
//   menubar
//     button 500 "Menu" menu
//     button 510 image 3 disabled
//   menu "&Sounds" "E&xit"
//   inputpanel hidden
//   messagebox "Go on to the next page?" caption "Sample" type 0x4
//   sound "chime"
//   sound stop
//   raised by another process 1
//   end
//
// Windows are listed from the bottom of the z-order to the top, each with
// its vertical scroll bar (when it has one), its visible controls (window
// rectangles on the screen, the text, then the states: checked, unchecked,
// indeterminate, default, owner-drawn, disabled, focused) and the text runs,
// pictures and inverted rectangles drawn on it that can still be seen, in
// reading order (top to bottom, then left to right); positions are screen
// pixels. Something entirely hidden by a window above it is left out. The
// lines after the windows list the chrome (menu bar buttons, the open pop-up
// menu's items, the input panel), then every message box shown, every sound
// started ("stop" for a stop; "(no such resource)" after a name that was not
// found) and the raise requests of other processes since the last dump.
// Texts are quoted, with \" \\ and \xNN for control characters; other
// characters are written as UTF-8.
#pragma once

#include <string>

namespace device {

// Starts recording what is drawn on windows (call before the program starts
// so the first dump sees everything).
void StartScreenRecording();
// The dump of the screen as it is now; forgets the message boxes, sounds and
// raises it lists.
std::string DumpScreen();
// A 16-bit text quoted as the dump writes it.
std::string Quote(const std::u16string& text);

}  // namespace device
