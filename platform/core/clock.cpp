#include "device/record.h"
#include "winbase.h"

namespace {
uint32_t clockMs = 0;
}

namespace device {

void SetClock(uint32_t ms) { clockMs = ms; }
void AdvanceClock(uint32_t ms) { clockMs += ms; }

}  // namespace device

DWORD GetTickCount() { return clockMs; }
