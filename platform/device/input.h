// The one way input enters the device. Backends and tests hand each stylus
// or key event to device::Input, with screen coordinates and virtual-key
// codes; the event is queued and the window manager turns it into messages
// (hit testing, capture, focus) when the program reads its queue. The other
// calls are shorthands for common sequences.
#pragma once

#include <cstdint>
#include <string>

namespace device {

enum class InputKind { StylusDown, StylusMove, StylusUp, KeyDown, KeyUp, Char, Wheel };

struct InputEvent {
    InputKind kind;
    int x = 0, y = 0;   // screen pixel, for the stylus and the wheel
    uint32_t code = 0;  // virtual key, the UTF-16 unit for Char, notches for Wheel
};

void Input(const InputEvent& event);

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
// Turns of the mouse wheel over a screen pixel: positive towards the person
// (the page moves up, as the scroll bar's down arrow moves it). The handheld
// has no wheel: only the device's own keys (SetInputFilter) act on it.
void Wheel(int x, int y, int notches);

// The device's own keys (the keyboard as a stylus) see each event as the
// window manager takes it, before the program does; a filter that returns
// true has used the event up. What it sends with InputNext comes before
// everything still waiting, in the order sent, and is not filtered.
using InputFilter = bool (*)(const InputEvent& event);
void SetInputFilter(InputFilter filter);
void InputNext(const InputEvent& event);
void TapNext(int x, int y);

// The window manager takes the queued events in order when the program reads
// its queue; false when none is waiting.
bool TakeInput(InputEvent* event);
// Discards queued input that has not been read yet.
void ClearInput();

}  // namespace device
