// The screen saved as a PNG file (a device script's `shot`). A build without
// PNG output (the browser's) leaves it out.
#pragma once

#include <string>

namespace device {

// Composes the screen and writes it as a PNG file.
bool SaveScreen(const std::string& path);

}  // namespace device
