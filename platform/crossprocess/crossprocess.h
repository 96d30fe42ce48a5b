// Windows of other processes of the device. Each process that shows a
// top-level window listens on a Unix socket named after the window's class
// (in $XDG_RUNTIME_DIR, else the object store folder, else /tmp). FindWindowW
// in another process connects to that socket and hands out a stand-in handle;
// SetForegroundWindow, InvalidateRect, UpdateWindow and SetWindowPos on the
// stand-in send a request, which the owning process carries out on its UI
// thread the next time its backend pumps.
//
// Implements: a process that has not shown a window yet marks itself as
// starting (a shared lock on fernvale-starting.lock in the same folder);
// FindWindowW that finds no window while another process is starting looks
// again for up to 5 s, so copies started together find the first one's window
// instead of nothing. A request is taken when the other process's UI thread
// has received it; one not taken within 2 s (the process is stopped or
// stuck) fails with ERROR_TIMEOUT, and so does every later call on that
// stand-in, so a caller never hangs on an unanswering process.
//
// Left out: FindWindowW with a window name does not look at other processes;
// the calls do not wait for the other process to carry them out (success
// means the request was taken).
//
// Everything runs on the UI thread except the waker's wait.
#pragma once

#include <string>

#include "windef.h"

namespace device {

// Installs the cross-process hooks and starts listening for this process's
// top-level windows.
void InstallCrossProcess();
// Stops listening and removes this process's sockets.
void ShutdownCrossProcess();
// Opens sockets for new top-level window classes, closes those whose windows
// have gone, and serves the requests that have arrived. Backends call it
// from Pump.
void PollCrossProcess();
// A backend that sleeps until its own input arrives starts the waker: a
// thread that calls `wake` (which must be safe from another thread, e.g.
// SDL_PushEvent) when a request has arrived, so the UI thread can serve it.
// Stopped by StopCrossProcessWaker or ShutdownCrossProcess.
void StartCrossProcessWaker(void (*wake)());
void StopCrossProcessWaker();
// Called after a request raised one of this process's windows (the SDL
// backend raises its window).
void SetRaiseHandler(void (*raise)());
// Raise requests served since the last call.
int TakeForeignRaises();
// The socket a window class is reached at.
std::string CrossProcessSocket(const std::u16string& className);

}  // namespace device
