// The browser backend: the device's screen drawn into a canvas, the pointer
// and touch as the stylus, the keyboard as on the desktop, the clock from the
// browser. The program's blocking loops yield to the browser while they wait
// (Asyncify unwinds the program's stack and rewinds it when an event or the
// next timer is due), so the reader's own code runs unchanged.
//
// The page (index.html) queues the browser's events, each with the tick it
// happened at; the backend takes them when the program pumps. The clock moves
// only while the program waits, to the next input's tick or timer's
// deadline, so a run replays alike from its start tick and its input (the
// page journals both, and replays them when a run ended without its save).
// With the page's `clock` parameter (app.js) the clock is virtual, as on the
// headless device: it starts there and only moves when a timer falls due, so
// a walkthrough's rolls come out as they do headless. Besides input, the page
// asks for the program to be closed (the page is left: the handheld's program
// is closed the way a person closes it, so it saves) and for the screen dump
// (tests).
#pragma once

#include <cstdint>
#include <vector>

#include "device/backend.h"

namespace web {

class Backend : public device::Backend {
   public:
    Backend();
    void Pump() override;
    void WaitUntil(bool hasDeadline, uint32_t deadline) override;
    void Present(const gdi::Surface& screen) override;

   private:
    void MoveClockTo(uint32_t tick);  // never back
    void WaitVirtual(int next, bool hasDeadline, uint32_t deadline);
    void CloseProgram();
    void Answer();
    const bool virtualClock_;
    bool waiting_ = false;  // for waitDeadline_, on the virtual clock since waitSince_
    uint32_t waitDeadline_ = 0;
    double waitSince_ = 0;
    std::vector<uint32_t> rgba_;  // the frame as the canvas takes it
    int closeRequests_ = 0;
};

}  // namespace web
