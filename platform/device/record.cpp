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
