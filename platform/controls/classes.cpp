// The system's window classes: "BUTTON", "EDIT" and the message box's own.
//
// Implements: the classes registered once, before the program registers its
// first class, so the system's names are taken and a program's class of the
// same name is refused as on the handheld; each with its system colour as
// background.
//
// Leaves out: the other system classes (static, list box, combo box, scroll
// bar controls), which no program of this device creates.
//
// Differs: nothing known.
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
