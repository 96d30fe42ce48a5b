// Windows of other processes: a forked child shows a window; this process
// finds it with FindWindowW and reaches it with SetForegroundWindow (also
// with the popup bit), InvalidateRect, UpdateWindow and SetWindowPos. The
// child reports what arrived through a pipe.
#include "crossprocess/crossprocess.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "headless/headless.h"
#include "scratch_folder.h"
#include "windows.h"
#include "wm/wm.h"

namespace {

struct Report {
    int raises = 0;
    int paints = 0;
    int erases = 0;
    bool topmost = false;
    bool popupActive = false;  // the raise with the popup bit activated the owned box
};

Report childReport;
HWND childBox = nullptr;

LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        ++childReport.paints;
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (msg == WM_ERASEBKGND) ++childReport.erases;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

sockaddr_un AddressOf(const std::string& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
    return addr;
}

// Each test has its own runtime folder, so its sockets meet no one else's.
class CrossProcess : public ScratchFolderTest {
   protected:
    void SetUp() override {
        ScratchFolderTest::SetUp();
        setenv("XDG_RUNTIME_DIR", root.c_str(), 1);
        wm::ResetForTests();
        device::InstallCrossProcess();
    }
    void TearDown() override {
        device::ShutdownCrossProcess();
        ScratchFolderTest::TearDown();
    }
};

// The child: shows "XprocTarget" (and an owned popup), serves requests until
// it has seen `want` raises or five seconds pass, then writes its report.
[[noreturn]] void Child(int out, int want) {
    wm::ResetForTests();
    device::SetBackend(&device::HeadlessBackend());
    device::InstallCrossProcess();
    WNDCLASSW wc{};
    wc.lpfnWndProc = ChildProc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = u"XprocTarget";
    RegisterClassW(&wc);
    HWND main = CreateWindowExW(0, u"XprocTarget", u"Target", WS_VISIBLE, 0, 26, 240, 268, nullptr,
                                nullptr, nullptr, nullptr);
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"XprocPopup";
    RegisterClassW(&wc);
    childBox = CreateWindowExW(0, u"XprocPopup", u"Box", WS_POPUP | WS_VISIBLE, 20, 100, 200, 80,
                               main, nullptr, nullptr, nullptr);
    SetForegroundWindow(main);
    UpdateWindow(main);
    childReport = Report{};
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    // Requests are served whenever the loop pumps (PeekMessageW included).
    while (std::chrono::steady_clock::now() < until && childReport.raises < want) {
        device::PollCrossProcess();
        childReport.raises += device::TakeForeignRaises();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    wm::Window* w = wm::Find(main);
    childReport.topmost = w && (w->exStyle & WS_EX_TOPMOST);
    // The last request raised the window with its popup bit.
    childReport.popupActive = GetForegroundWindow() == childBox;
    (void)!write(out, &childReport, sizeof childReport);
    device::ShutdownCrossProcess();
    _exit(0);
}

// Waits until the socket accepts connections (it exists a moment before).
bool WaitForSocket(const std::string& path) {
    const sockaddr_un addr = AddressOf(path);
    for (int i = 0; i < 200; ++i) {
        const int fd = socket(AF_UNIX, SOCK_SEQPACKET, 0);
        const bool up = connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
        close(fd);
        if (up) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

Report ReadReport(int in, pid_t child) {
    Report r;
    pollfd p{in, POLLIN, 0};
    if (poll(&p, 1, 10000) == 1) {
        EXPECT_EQ(read(in, &r, sizeof r), static_cast<ssize_t>(sizeof r));
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    return r;
}

TEST_F(CrossProcess, FindRaiseRepaintAndMoveAnotherProcesssWindow) {
    EXPECT_EQ(FindWindowW(u"XprocTarget", nullptr), nullptr) << "nobody runs it yet";
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(pipeFds[0]);
        Child(pipeFds[1], 2);
    }
    close(pipeFds[1]);
    ASSERT_TRUE(WaitForSocket(device::CrossProcessSocket(u"XprocTarget")));
    HWND other = FindWindowW(u"xproctarget", nullptr);  // class names compare without case
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(FindWindowW(u"XprocTarget", u"Target"), nullptr)
        << "window names are not looked up elsewhere";
    EXPECT_EQ(reinterpret_cast<uintptr_t>(other) & 1, 0u);
    EXPECT_FALSE(IsWindow(other)) << "the stand-in is no window of this process";
    EXPECT_TRUE(SetForegroundWindow(other));
    EXPECT_TRUE(InvalidateRect(other, nullptr, TRUE));
    EXPECT_TRUE(UpdateWindow(other));
    EXPECT_TRUE(
        SetWindowPos(other, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW));
    EXPECT_TRUE(
        SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(other) | 1)));
    const Report r = ReadReport(pipeFds[0], child);
    close(pipeFds[0]);
    EXPECT_EQ(r.raises, 2);
    EXPECT_GE(r.paints, 1) << "the paint asked for";
    EXPECT_GE(r.erases, 1);
    EXPECT_TRUE(r.topmost);
    EXPECT_TRUE(r.popupActive);
    // The child has gone: its socket with it, and the stand-in reaches nobody.
    EXPECT_FALSE(std::filesystem::exists(device::CrossProcessSocket(u"XprocTarget")));
    EXPECT_EQ(FindWindowW(u"XprocTarget", nullptr), nullptr);
    EXPECT_FALSE(SetForegroundWindow(other));
    EXPECT_FALSE(UpdateWindow(other));
}

TEST_F(CrossProcess, AWindowOnItsWayIsWaitedFor) {
    // A process that has started but shows its window only later: one that
    // looks for it meanwhile finds it. With nobody starting, nothing is waited for.
    int started[2];
    ASSERT_EQ(pipe(started), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        wm::ResetForTests();
        device::InstallCrossProcess();
        (void)!write(started[1], "s", 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        Child(started[1], 1);
    }
    char c;
    ASSERT_EQ(read(started[0], &c, 1), 1);
    HWND other = FindWindowW(u"XprocTarget", nullptr);
    EXPECT_NE(other, nullptr);
    EXPECT_TRUE(SetForegroundWindow(other));
    waitpid(child, nullptr, 0);
    close(started[0]);
    close(started[1]);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(FindWindowW(u"XprocTarget", nullptr), nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST_F(CrossProcess, StaleSocketIsNoWindowAndIsTakenOver) {
    // A socket file left by a process that died.
    const std::string path = device::CrossProcessSocket(u"XprocStale");
    int fd = socket(AF_UNIX, SOCK_SEQPACKET, 0);
    const sockaddr_un addr = AddressOf(path);
    ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
    close(fd);
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(FindWindowW(u"XprocStale", nullptr), nullptr);
    // A window of that class here takes the address over.
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"XprocStale";
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, u"XprocStale", u"", WS_VISIBLE, 0, 26, 240, 100, nullptr, nullptr,
                             nullptr, nullptr);
    device::PollCrossProcess();
    const int probe = socket(AF_UNIX, SOCK_SEQPACKET, 0);
    EXPECT_EQ(connect(probe, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0)
        << "listening again";
    close(probe);
    DestroyWindow(w);
    device::PollCrossProcess();
    EXPECT_FALSE(std::filesystem::exists(path)) << "the window went, and its socket with it";
}

TEST_F(CrossProcess, SocketNames) {
    EXPECT_EQ(device::CrossProcessSocket(u"QOT1Fernvale"),
              (root / "fernvale-qot1fernvale.sock").string());
    EXPECT_EQ(device::CrossProcessSocket(u"qot1fernvale"),
              device::CrossProcessSocket(u"QOT1FERNVALE"));
    // Names with other characters or very long ones are hashed, and stay apart.
    const std::string spaced = device::CrossProcessSocket(u"My Window");
    const std::string dotted = device::CrossProcessSocket(u"My.Window");
    EXPECT_NE(spaced, dotted);
    EXPECT_EQ(spaced.find(' '), std::string::npos);
    const std::string longName = device::CrossProcessSocket(std::u16string(300, u'x'));
    EXPECT_LT(longName.size(), sizeof(sockaddr_un::sun_path));
    EXPECT_NE(longName, device::CrossProcessSocket(std::u16string(301, u'x')));
    // Without a runtime folder: the store folder, else /tmp.
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(device::CrossProcessSocket(u"a").rfind("/fernvale-a.sock"),
              device::CrossProcessSocket(u"a").size() - 16);
}

}  // namespace
