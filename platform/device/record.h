// What the device has shown and played, for tests and device scripts to read.
// The reader's code never includes this.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace device {

struct MessageBoxRecord {
    std::u16string text;
    std::u16string caption;  // empty when the caller gave none
    uint32_t type;
};

// Every message box shown since the log was last cleared, oldest first.
std::vector<MessageBoxRecord>& MessageBoxLog();

// Message boxes are answered at once by default: each is recorded and gets the
// chosen answer (IDOK unless set). With auto-answer off, a box is shown on the
// screen and waits for the stylus, Enter or Escape, or PressMessageBoxButton.
void SetMessageBoxAnswer(int answer);
int MessageBoxAnswer();
void SetMessageBoxAutoAnswer(bool on);
bool MessageBoxAutoAnswer();

// Every sound started since the log was last cleared; a stop is an empty name.
std::vector<std::u16string>& SoundLog();

// The device clock, in milliseconds, as GetTickCount reads it.
void SetClock(uint32_t ms);
void AdvanceClock(uint32_t ms);

// Narrow helper for tests: the 16-bit text as 8-bit, each character's low byte.
std::string Narrow(const std::u16string& text);

}  // namespace device
