// The sample program as a whole program for the device: one copy at a time
// (a second copy brings the first forward and ends, as handheld programs
// do), and a last line on stdout telling what the program saw.
#include <cstdio>
#include <string>

#include "sample_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    HANDLE lock = CreateFileW(u"sample.lock", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (lock == INVALID_HANDLE_VALUE) {
        HWND other = FindWindowW(u"SampleWindow", nullptr);
        bool raised = false;
        if (other) {
            raised = SetForegroundWindow(
                         reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(other) | 0x01)) != 0;
            InvalidateRect(other, nullptr, TRUE);
            UpdateWindow(other);
            SetWindowPos(other, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
        }
        std::printf("sample: another copy runs; %s\n",
                    other ? (raised ? "brought it forward" : "could not raise it")
                          : "its window was not found");
        return 1;
    }
    const int code = sample::SampleMain(instance, show);
    CloseHandle(lock);
    const sample::Seen& seen = sample::Result();
    std::string answer;
    for (char16_t c : seen.answer) answer += static_cast<char>(c);
    std::string questions;
    for (int q : seen.questions) questions += (questions.empty() ? "" : ",") + std::to_string(q);
    std::string commands;
    for (int c : seen.commands) commands += (commands.empty() ? "" : ",") + std::to_string(c);
    std::string heights;
    for (int h : seen.heights) heights += (heights.empty() ? "" : ",") + std::to_string(h);
    std::printf(
        "sample: answer \"%s\" sound %d pictures %d questions [%s] ticks %d scroll %d commands "
        "[%s] "
        "heights [%s]\n",
        answer.c_str(), seen.sound, seen.pictureClicks, questions.c_str(), seen.ticks,
        seen.scrollPos, commands.c_str(), heights.c_str());
    std::fflush(stdout);
    return code;
}
