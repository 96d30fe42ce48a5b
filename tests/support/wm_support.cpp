#include "wm_support.h"

#include <algorithm>
#include <sstream>

#include "gdi/surface.h"
#include "wm/wm.h"

namespace wmtest {
namespace {
Handler handler = nullptr;
std::vector<UINT> only;
}  // namespace

std::vector<Seen>& Log() {
    static std::vector<Seen> log;
    return log;
}

std::map<HWND, std::string>& Names() {
    static std::map<HWND, std::string> names;
    return names;
}

void Name(HWND hwnd, const std::string& name) {
    Names()[hwnd] = name;
}

void RecordOnly(std::vector<UINT> msgs) {
    only = std::move(msgs);
}

std::string MsgName(UINT msg) {
    static const std::map<UINT, const char*> names = {
        {WM_CREATE, "WM_CREATE"},
        {WM_DESTROY, "WM_DESTROY"},
        {WM_MOVE, "WM_MOVE"},
        {WM_SIZE, "WM_SIZE"},
        {WM_ACTIVATE, "WM_ACTIVATE"},
        {WM_SETFOCUS, "WM_SETFOCUS"},
        {WM_KILLFOCUS, "WM_KILLFOCUS"},
        {WM_ENABLE, "WM_ENABLE"},
        {WM_SETTEXT, "WM_SETTEXT"},
        {WM_GETTEXT, "WM_GETTEXT"},
        {WM_GETTEXTLENGTH, "WM_GETTEXTLENGTH"},
        {WM_PAINT, "WM_PAINT"},
        {WM_CLOSE, "WM_CLOSE"},
        {WM_QUIT, "WM_QUIT"},
        {WM_ERASEBKGND, "WM_ERASEBKGND"},
        {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
        {WM_DRAWITEM, "WM_DRAWITEM"},
        {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
        {WM_NCCREATE, "WM_NCCREATE"},
        {WM_NCDESTROY, "WM_NCDESTROY"},
        {WM_KEYDOWN, "WM_KEYDOWN"},
        {WM_KEYUP, "WM_KEYUP"},
        {WM_CHAR, "WM_CHAR"},
        {WM_COMMAND, "WM_COMMAND"},
        {WM_TIMER, "WM_TIMER"},
        {WM_VSCROLL, "WM_VSCROLL"},
        {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
        {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
        {WM_LBUTTONUP, "WM_LBUTTONUP"},
        {WM_USER, "WM_USER"},
        {WM_USER + 1, "WM_USER+1"},
        {WM_USER + 2, "WM_USER+2"},
    };
    auto it = names.find(msg);
    if (it != names.end()) return it->second;
    std::ostringstream s;
    s << "0x" << std::hex << msg;
    return s.str();
}

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (only.empty() || std::find(only.begin(), only.end(), msg) != only.end())
        Log().push_back(Seen{hwnd, msg, wParam, lParam});
    if (handler) {
        bool handled = false;
        LRESULT r = handler(hwnd, msg, wParam, lParam, &handled);
        if (handled) return r;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void SetHandler(Handler h) {
    handler = h;
}

LPCWSTR TestClass() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = u"WmTest";
        registered = RegisterClassW(&wc) != 0;
    }
    return u"WmTest";
}

::testing::AssertionResult Matches(const std::vector<Want>& want) {
    const auto& got = Log();
    auto who = [](HWND h) {
        auto it = Names().find(h);
        return it == Names().end() ? std::string("?") : it->second;
    };
    const size_t n = std::max(want.size(), got.size());
    for (size_t i = 0; i < n; ++i) {
        std::ostringstream diff;
        if (i >= got.size()) {
            diff << "message " << i << ": expected " << MsgName(want[i].msg) << " to "
                 << want[i].who << ", but the sequence ended";
            return ::testing::AssertionFailure() << diff.str();
        }
        if (i >= want.size()) {
            diff << "message " << i << ": unexpected " << MsgName(got[i].msg) << " to "
                 << who(got[i].hwnd) << " after the expected end";
            return ::testing::AssertionFailure() << diff.str();
        }
        const bool same = got[i].msg == want[i].msg && who(got[i].hwnd) == want[i].who &&
                          (!want[i].wParam || *want[i].wParam == got[i].wParam);
        if (!same) {
            diff << "message " << i << ": expected " << MsgName(want[i].msg) << " to "
                 << want[i].who;
            if (want[i].wParam) diff << " wParam " << *want[i].wParam;
            diff << ", got " << MsgName(got[i].msg) << " to " << who(got[i].hwnd) << " wParam "
                 << got[i].wParam;
            return ::testing::AssertionFailure() << diff.str();
        }
    }
    return ::testing::AssertionSuccess();
}

void ResetDevice() {
    handler = nullptr;
    only.clear();
    wm::ResetForTests();
    device::HeadlessBackend().Reset();
    device::SetClock(1000);
    device::MessageBoxLog().clear();
    device::SetMessageBoxAnswer(IDOK);
    device::SetMessageBoxAutoAnswer(true);
    Log().clear();
    Names().clear();
    only.clear();
    handler = nullptr;
}

void Drain() {
    MSG msg;
    for (int guard = 0; guard < 100000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void RunFor(uint32_t ms) {
    const uint32_t end = GetTickCount() + ms;
    for (;;) {
        Drain();
        bool any = false;
        const int32_t next = wm::MsUntilNextTimer(&any);
        const int32_t left = static_cast<int32_t>(end - GetTickCount());
        if (left <= 0) return;
        if (!any || next > left) {
            device::SetClock(end);
            Drain();
            return;
        }
        if (next > 0) device::AdvanceClock(static_cast<uint32_t>(next));
    }
}

const gdi::Surface& ComposedScreen() {
    wm::ComposeScreen();
    return gdi::Screen();
}

uint32_t PixelAt(int x, int y) {
    const gdi::Surface& s = ComposedScreen();
    return s.pixels[static_cast<size_t>(y) * static_cast<size_t>(s.width) + static_cast<size_t>(x)];
}

HWND CreateMain(DWORD style) {
    HWND h = CreateWindowExW(0, TestClass(), u"Main", style, CW_USEDEFAULT, CW_USEDEFAULT, 240, 268,
                             nullptr, nullptr, nullptr, nullptr);
    Name(h, "main");
    return h;
}

}  // namespace wmtest
