#include "headless/headless.h"

#include "controls/controls.h"
#include "crossprocess/crossprocess.h"
#include "device/record.h"
#include "display/display.h"
#include "wm/wm.h"

namespace device {

void Headless::Then(std::function<void()> step) {
    scripted_ = true;
    ends_ = 0;
    closePosted_ = false;
    steps_.push_back(Step{std::move(step)});
}

void Headless::Wait(uint32_t ms) {
    scripted_ = true;
    ends_ = 0;
    closePosted_ = false;
    steps_.push_back(Step{nullptr, ms});
}

void Headless::Reset() {
    steps_.clear();
    scripted_ = false;
    ends_ = 0;
    closePosted_ = false;
    unattended_ = false;
}

void Headless::Pump() {
    PollCrossProcess();
}

void Headless::Present(const gdi::Surface&) {}

void Headless::WaitUntil(bool hasDeadline, uint32_t deadline) {
    const uint32_t now = GetTickCount();
    if (!steps_.empty()) {
        Step& s = steps_.front();
        if (s.action) {
            auto action = std::move(s.action);
            steps_.pop_front();
            action();
            return;
        }
        if (!s.started) {
            s.started = true;
            s.until = now + s.ms;
        }
        if (hasDeadline && static_cast<int32_t>(deadline - s.until) < 0) {
            if (static_cast<int32_t>(deadline - now) > 0) SetClock(deadline);
            return;
        }
        SetClock(s.until);
        steps_.pop_front();
        return;
    }
    if (hasDeadline && !scripted_) {
        // Without a script, timers alone keep a program going; after ten
        // minutes of device time with nobody there, it is closed.
        if (!unattended_) {
            unattended_ = true;
            unattendedSince_ = now;
        }
        if (static_cast<int32_t>(deadline - unattendedSince_) <= kUnattendedMs) {
            if (static_cast<int32_t>(deadline - now) > 0) SetClock(deadline);
            return;
        }
    }
    End();
}

void Headless::End() {
    // A message box on screen is cancelled first; then the program's windows
    // are closed once; a program still running after that is asked to quit.
    ++ends_;
    if (controls::MessageBoxShowing() && ends_ <= 16) {
        controls::CancelMessageBox();
        return;
    }
    if (!closePosted_) {
        closePosted_ = true;
        if (PostCloseToProgram()) return;
    }
    PostQuitMessage(0);
}

Headless& HeadlessBackend() {
    static Headless headless;
    return headless;
}

}  // namespace device
