// The device's own settings, kept from one run to the next in a small text
// file beside the store folder (<store>-device.conf), never in the program's
// files: "name value" a line, '#' starts a comment.
//
//   voice on|off          say what the screen shows
//   contrast high|normal  the high-contrast look
//   scale N               the window's scale, 1 to 8
//   transcript FILE       append every page read to FILE
//
// The command line overrides them for one run; the keys that change them
// while running write them back. A missing file, an unknown name or a bad
// value leaves that setting as it was.
#pragma once

#include <string>

#include "assist/assist.h"

namespace device {

std::string SettingsPath();
assist::Settings LoadSettings(const std::string& path);
// Sets one "name value" line, keeping the others; false when the file cannot
// be written (nothing half-written is left).
bool SaveSetting(const std::string& path, const std::string& name, const std::string& value);

}  // namespace device
