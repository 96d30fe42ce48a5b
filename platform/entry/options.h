// The device's own command-line options, read by the process entry before
// the program's WinMain runs:
//   --headless        no window, no audio, a virtual clock
//   --script FILE     a device script to run (with --headless)
//   --store DIR       the object store folder
//   --scale N         window scale of the SDL backend (1..8, default 2)
//   --clock MS        start value of the device clock
//   --voice           say what the screen shows
//   --contrast high|normal  black on white, a thick focus ring
//   --transcript FILE append every page read to FILE
//   --report-first-frame  print "first frame" on standard output once the
//                     screen has first been shown (to time the start)
//   --help            the options and the device's keys (HelpText)
// --scale, --voice, --contrast and --transcript override the device's
// settings file for this run (entry/settings.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "assist/assist.h"

namespace device {

struct Options {
    bool headless = false;
    std::string script;
    std::string store;
    int scale = assist::Settings().scale;
    bool scaleSet = false;
    bool clockSet = false;
    uint32_t clock = 0;
    bool help = false;  // print HelpText and exit; the other options are not read
    bool voice = false;
    bool highContrast = false;
    bool contrastSet = false;
    std::string transcript;
    bool reportFirstFrame = false;
};

// False with a one-line message in `error` for an unknown option, a missing
// or bad value, or a script without --headless.
bool ParseOptions(const std::vector<std::string>& args, Options* out, std::string* error);

// What --help prints for `program`: its options and the keys of the device's
// window. docs/device.md shows the same text (for a program named "program").
std::string HelpText(const std::string& program);

}  // namespace device
