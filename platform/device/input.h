// The one way input enters the device: backends and tests call these with
// screen coordinates and virtual-key codes. Each call queues the input; the
// window manager turns it into messages when the program reads its queue.
#pragma once

#include <cstdint>
#include <string>

namespace device {

void StylusDown(int x, int y);
void StylusMove(int x, int y);
void StylusUp(int x, int y);
void Tap(int x, int y);  // down and up at one point

void KeyDown(uint32_t virtualKey);
void KeyUp(uint32_t virtualKey);
void Key(uint32_t virtualKey);  // down and up
// A character that arrives without a key (the input panel): WM_CHAR only.
void Char(char16_t c);
void Type(const std::u16string& text);

// Discards queued input that has not been read yet.
void ClearInput();

}  // namespace device
