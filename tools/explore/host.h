#pragma once

#include "windows.h"

namespace explore {

// Makes the reader's main window, with its own class and procedure, on the
// headless device. Hidden, it is never painted by itself: a navigation only
// marks the page dirty, and the explorer rebuilds pages when it chooses.
// Message boxes are answered OK at once and recorded.
void OpenHost(bool visible = false);

}  // namespace explore
