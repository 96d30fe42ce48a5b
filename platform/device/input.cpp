#include "device/input.h"

#include <deque>

namespace device {
namespace {
std::deque<InputEvent> queue;
std::deque<InputEvent> next;  // sent by the filter: first, and not filtered again
InputFilter filter = nullptr;
}  // namespace

void Input(const InputEvent& event) {
    queue.push_back(event);
}

void InputNext(const InputEvent& event) {
    next.push_back(event);
}

void TapNext(int x, int y) {
    InputNext({InputKind::StylusDown, x, y, 0});
    InputNext({InputKind::StylusUp, x, y, 0});
}

void SetInputFilter(InputFilter f) {
    filter = f;
}

bool TakeInput(InputEvent* event) {
    for (;;) {
        if (!next.empty()) {
            *event = next.front();
            next.pop_front();
            return true;
        }
        if (queue.empty()) return false;
        *event = queue.front();
        queue.pop_front();
        if (!filter || !filter(*event)) return true;
    }
}

void ClearInput() {
    queue.clear();
    next.clear();
}

void StylusDown(int x, int y) {
    Input({InputKind::StylusDown, x, y, 0});
}
void StylusMove(int x, int y) {
    Input({InputKind::StylusMove, x, y, 0});
}
void StylusUp(int x, int y) {
    Input({InputKind::StylusUp, x, y, 0});
}
void Tap(int x, int y) {
    StylusDown(x, y);
    StylusUp(x, y);
}
void KeyDown(uint32_t vk) {
    Input({InputKind::KeyDown, 0, 0, vk});
}
void KeyUp(uint32_t vk) {
    Input({InputKind::KeyUp, 0, 0, vk});
}
void Key(uint32_t vk) {
    KeyDown(vk);
    KeyUp(vk);
}
void Char(char16_t c) {
    Input({InputKind::Char, 0, 0, c});
}
void Type(const std::u16string& text) {
    for (char16_t c : text) Char(c);
}
void Wheel(int x, int y, int notches) {
    Input({InputKind::Wheel, x, y, static_cast<uint32_t>(notches)});
}

}  // namespace device
