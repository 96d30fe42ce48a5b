// The SDL2 backend on SDL's dummy video driver: closing with a question on
// the screen, and waiting without spinning. The window's scale, the mouse as
// the stylus, typed text, Return and closing the window are the real-window
// scenarios' (tests/scenario/sdl_smoke.sh, tests/reader/window_smoke.sh).
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "crossprocess/crossprocess.h"
#include "device/record.h"
#include "sdl/sdl_backend.h"
#include "windows.h"
#include "wm/wm.h"

namespace {

int closes = 0;

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) ++closes;
    if (msg == WM_DESTROY && !GetParent(hwnd)) PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class Sdl : public ::testing::Test {
   protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        wm::ResetForTests();
        std::string error;
        if (!backend.Open(3, "sdl test", &error)) GTEST_SKIP() << "no dummy video: " << error;
        device::SetBackend(&backend);
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = u"SdlTest";
        RegisterClassW(&wc);
        main = CreateWindowExW(0, u"SdlTest", u"Sdl", WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr,
                               nullptr, nullptr);
        closes = 0;
    }
    void TearDown() override {
        wm::ResetForTests();
        device::SetBackend(nullptr);
        backend.Close();
    }
    sdl::Backend backend;
    HWND main = nullptr;
};

int boxAnswer = 0;
SDL_Event closeEvent{};
LRESULT CALLBACK AskingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_USER) {
        // The window is closed while the question is on the screen.
        SDL_PushEvent(&closeEvent);
        boxAnswer = MessageBoxW(hwnd, u"Leave?", u"Q", MB_YESNO);
    }
    return Proc(hwnd, msg, wParam, lParam);
}

TEST_F(Sdl, ClosingTheWindowCancelsABoxThenClosesTheProgram) {
    SetWindowLongW(main, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(AskingProc));
    boxAnswer = 0;
    device::SetMessageBoxAutoAnswer(false);
    PostMessageW(main, WM_USER, 0, 0);
    closeEvent.type = SDL_WINDOWEVENT;
    closeEvent.window.event = SDL_WINDOWEVENT_CLOSE;
    closeEvent.window.windowID = SDL_GetWindowID(backend.Window());
    MSG msg;
    int got = 0;
    while (GetMessageW(&msg, nullptr, 0, 0) && ++got < 1000) DispatchMessageW(&msg);
    EXPECT_EQ(boxAnswer, IDNO) << "the question was cancelled";
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_EQ(backend.CloseRequests(), 1);
    device::SetMessageBoxAutoAnswer(true);
}

TEST_F(Sdl, WaitsForTheDeadlineWithoutSpinning) {
    const uint32_t start = GetTickCount();
    int rounds = 0;
    while (static_cast<int32_t>(GetTickCount() - (start + 250)) < 0 && rounds < 1000) {
        backend.WaitUntil(true, start + 250);
        ++rounds;
    }
    EXPECT_GE(GetTickCount() - start, 250u) << "the clock follows real time";
    EXPECT_LT(rounds, 20) << "each wait sleeps until the deadline or an event";
}

TEST_F(Sdl, AnotherProcesssRequestWakesTheWait) {
    const std::string dir = ::testing::TempDir() + "sdl-wake-" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    device::InstallCrossProcess();
    backend.Pump();  // starts listening for SdlTest
    const std::string path = device::CrossProcessSocket(u"SdlTest");
    // If nothing woke the wait, this would after five seconds, and say so.
    std::mutex m;
    std::condition_variable done;
    bool finished = false, fallback = false;
    std::thread guard([&] {
        std::unique_lock<std::mutex> lock(m);
        if (!done.wait_for(lock, std::chrono::seconds(5), [&] { return finished; })) {
            fallback = true;
            SDL_Event e{};
            e.type = SDL_USEREVENT;
            SDL_PushEvent(&e);
        }
    });
    std::thread client([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
        const int fd = socket(AF_UNIX, SOCK_SEQPACKET, 0);
        EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        close(fd);
    });
    backend.WaitUntil(false, 0);  // no timer: sleeps until something arrives
    client.join();
    {
        std::lock_guard<std::mutex> lock(m);
        finished = true;
    }
    done.notify_all();
    guard.join();
    EXPECT_FALSE(fallback) << "the connection did not wake the wait";
    device::ShutdownCrossProcess();
    std::filesystem::remove_all(dir);
}

}  // namespace
