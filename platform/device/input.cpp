#include "device/input.h"

#include <deque>

namespace device {
namespace {
std::deque<InputEvent> queue;
}  // namespace

void Input(const InputEvent& event) {
    queue.push_back(event);
}

bool TakeInput(InputEvent* event) {
    if (queue.empty()) return false;
    *event = queue.front();
    queue.pop_front();
    return true;
}

void ClearInput() {
    queue.clear();
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

}  // namespace device
