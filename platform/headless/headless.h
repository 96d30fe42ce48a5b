// The headless backend: no window and no audio, the device clock is virtual,
// input comes from a script of steps, screens are saved as PNG files.
//
// When the program waits with nothing to do, the backend runs the next step of
// its script; a wait step lets device time pass, firing timers on the way.
// Without a script, waiting jumps the clock to the next timer, so loops finish
// at once and always the same way (for at most ten minutes of device time).
// When there is nothing left to wait for (the script has ended, or there is
// neither a script nor a timer, or the ten minutes are up) the device closes
// the program as a person would: the message box on screen is cancelled, then
// the top-level windows are sent WM_CLOSE; if the program still runs after
// that, it is asked to quit.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>

#include "device/backend.h"

namespace device {

class Headless : public Backend {
   public:
    void Pump() override;  // serves other processes' requests
    void WaitUntil(bool hasDeadline, uint32_t deadline) override;
    void Present(const gdi::Surface& screen) override;

    // Script steps, run in order whenever the program waits.
    void Then(std::function<void()> step);
    void Wait(uint32_t ms);
    // Forgets the script and the end state (tests call this between cases).
    void Reset();

   private:
    struct Step {
        std::function<void()> action;  // empty for a wait
        uint32_t ms = 0;
        bool started = false;
        uint32_t until = 0;
    };
    void End();
    std::deque<Step> steps_;
    static constexpr int32_t kUnattendedMs = 10 * 60 * 1000;
    bool scripted_ = false;
    bool unattended_ = false;
    uint32_t unattendedSince_ = 0;
    int ends_ = 0;
    bool closePosted_ = false;
};

// The one headless backend; installed with SetBackend like any other.
Headless& HeadlessBackend();

}  // namespace device
