#include "controls/controls.h"

namespace controls {
namespace {

struct SystemClass {
    const char16_t* name;
    WNDPROC (*proc)();
    int background;  // COLOR_* index
};

// Registered before the program's first class, so the system's names are taken.
constexpr SystemClass kSystemClasses[] = {
    {u"BUTTON", ButtonWindowProc, COLOR_BTNFACE},
    {u"EDIT", EditWindowProc, COLOR_WINDOW},
    {u"#MessageBox", MessageBoxWindowProc, COLOR_WINDOW},
};

}  // namespace

void RegisterSystemClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    for (const SystemClass& c : kSystemClasses) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = c.proc();
        wc.lpszClassName = c.name;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<LONG_PTR>(c.background + 1));
        RegisterClassW(&wc);
    }
}

}  // namespace controls
