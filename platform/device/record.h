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

// The answer given to each message box while nobody answers it on screen.
void SetMessageBoxAnswer(int answer);

// Every sound started since the log was last cleared; a stop is an empty name.
std::vector<std::u16string>& SoundLog();

// The device clock, in milliseconds.
void SetClock(uint32_t ms);
void AdvanceClock(uint32_t ms);

// Narrow helper for tests: the 16-bit text as 8-bit, each character's low byte.
std::string Narrow(const std::u16string& text);

}  // namespace device
