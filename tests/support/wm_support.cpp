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
#define NAMED(m) \
    { m, #m }
    static const std::map<UINT, const char*> names = {
        NAMED(WM_CREATE),      NAMED(WM_DESTROY),       NAMED(WM_MOVE),
        NAMED(WM_SIZE),        NAMED(WM_ACTIVATE),      NAMED(WM_SETFOCUS),
        NAMED(WM_KILLFOCUS),   NAMED(WM_ENABLE),        NAMED(WM_SETTEXT),
        NAMED(WM_GETTEXT),     NAMED(WM_GETTEXTLENGTH), NAMED(WM_PAINT),
        NAMED(WM_CLOSE),       NAMED(WM_QUIT),          NAMED(WM_ERASEBKGND),
        NAMED(WM_SHOWWINDOW),  NAMED(WM_DRAWITEM),      NAMED(WM_WINDOWPOSCHANGED),
        NAMED(WM_NCCREATE),    NAMED(WM_NCDESTROY),     NAMED(WM_KEYDOWN),
        NAMED(WM_KEYUP),       NAMED(WM_CHAR),          NAMED(WM_COMMAND),
        NAMED(WM_TIMER),       NAMED(WM_VSCROLL),       NAMED(WM_MOUSEMOVE),
        NAMED(WM_LBUTTONDOWN), NAMED(WM_LBUTTONUP),     NAMED(WM_USER)};
#undef NAMED
    auto it = names.find(msg);
    if (it != names.end()) return it->second;
    std::ostringstream s;
    if (msg > WM_USER && msg < WM_USER + 0x100)
        s << "WM_USER+" << msg - WM_USER;
    else
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
        if (i < want.size() && i < got.size() && got[i].msg == want[i].msg &&
            who(got[i].hwnd) == want[i].who &&
            (!want[i].wParam || *want[i].wParam == got[i].wParam))
            continue;
        std::ostringstream diff;
        diff << "message " << i << ": expected ";
        if (i < want.size()) {
            diff << MsgName(want[i].msg) << " to " << want[i].who;
            if (want[i].wParam) diff << " wParam " << *want[i].wParam;
        } else {
            diff << "the end";
        }
        diff << ", got ";
        if (i < got.size())
            diff << MsgName(got[i].msg) << " to " << who(got[i].hwnd) << " wParam "
                 << got[i].wParam;
        else
            diff << "the end";
        return ::testing::AssertionFailure() << diff.str();
    }
    return ::testing::AssertionSuccess();
}

void ResetDevice() {
    handler = nullptr;
    only.clear();
    wm::ResetForTests();
    device::HeadlessBackend().Reset();
    device::SetBackend(&device::HeadlessBackend());
    device::SetClock(1000);
    device::MessageBoxLog().clear();
    device::SetMessageBoxAnswer(IDOK);
    device::SetMessageBoxAutoAnswer(true);
    Log().clear();
    Names().clear();
    only.clear();
    handler = nullptr;
}

void MainWindowTest::SetUp() {
    ResetDevice();
    main = CreateMain(style_);
    Drain();
    Log().clear();
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

std::u16string TextOf(HWND hwnd) {
    char16_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    return text;
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
