#include "display/screenshot.h"

#include "display/display.h"
#include "gdi/surface.h"

namespace device {

bool SaveScreen(const std::string& path) {
    return gdi::WritePng(ComposeFrame(), path.c_str());
}

}  // namespace device
