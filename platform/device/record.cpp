// The device's logs (device/record.h) and GetTickCount.
//
// Implements: GetTickCount as the device clock in milliseconds, wrapping at
// 2^32 as the handheld's does; the backend sets it (virtual time headless,
// real time with a window).
//
// Leaves out: the other clocks (GetSystemTime, QueryPerformanceCounter).
//
// Differs: the clock starts where the device's options set it (0 unless
// --clock is given), not at the handheld's time since boot.
#include "device/record.h"

#include "winbase.h"
#include "winuser.h"

namespace {
int answer = IDOK;
bool autoAnswer = true;
uint32_t clockMs = 0;
}  // namespace

namespace device {

std::vector<MessageBoxRecord>& MessageBoxLog() {
    static std::vector<MessageBoxRecord> log;
    return log;
}

void SetMessageBoxAnswer(int a) {
    answer = a;
}
int MessageBoxAnswer() {
    return answer;
}
void SetMessageBoxAutoAnswer(bool on) {
    autoAnswer = on;
}
bool MessageBoxAutoAnswer() {
    return autoAnswer;
}

std::vector<std::u16string>& SoundLog() {
    static std::vector<std::u16string> log;
    return log;
}

void SetClock(uint32_t ms) {
    clockMs = ms;
}
void AdvanceClock(uint32_t ms) {
    clockMs += ms;
}

std::string Narrow(const std::u16string& text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) out.push_back(static_cast<char>(c & 0xff));
    return out;
}

}  // namespace device

DWORD GetTickCount() {
    return clockMs;
}
