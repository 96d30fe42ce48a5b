// The screen dump: what a person sees on the device, as stable text, for
// device scripts (`dump`) and scenario tests.
//
//   screen at 5000 ms
//   title "Sample"
//   window "Sample" class SampleWindow at 0,26 size 240x268
//     scroll range 0..709 page 268 pos 0
//     control 4000 EDIT at 10,36 size 120x19 "lantern" disabled
//     control 1 BUTTON at 140,35 size 60x21 "Next" default disabled
//     control 2 BUTTON at 10,66 size 70x16 "Sound" checked disabled
//     control 5000 BUTTON at 100,64 size 80x21 "" owner-drawn disabled
//     text at 4,98 size 144x13 weight 400 "Line 1: the fern path winds on"
//     picture 421 at 4,120 size 16x16
//     inverted at 0,26 size 227x20
//   window "" class #MenuBar at 0,294 size 240x26
//     text at 3,301 size 30x13 weight 700 "Menu"
//   window "Sample" class #MessageBox at 10,120 size 220x79 active
//     text at 19,149 size 117x13 weight 400 "Go on to the next page?"
//   menubar
//     button 401 "Menu" menu
//     button 610 image 0 hidden
//     button 611 image 1 disabled
//   menu "About" "Keyboard" "" "Exit"
//   inputpanel hidden
//   focus control 1 "button: Next" at 140,35 size 60x21
//   messagebox "Go on to the next page?" caption "Sample" type 0x4
//   sound "chime"
//   sound stop
//   voice "Go on to the next page?"
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
// menu's items with separators as "", the input panel), the keyboard's focus
// once it shows (assist/assist.h: where it is, as the voice says it, "entered"
// for an answer box taking the typing, "out of view", or "focus none"), then
// every message box shown, every sound started ("stop" for a stop; "(no such
// resource)" after a name that was not found), every piece the voice said
// (only with the voice on) and the raise requests of other processes since
// the last dump.
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
