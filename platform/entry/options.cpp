#include "entry/options.h"

#include <cerrno>
#include <cstdlib>

namespace device {
namespace {

bool Number(const std::string& text, long long lo, long long hi, long long* out) {
    if (text.empty() || text.size() > 12) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    const long long v = std::strtoll(text.c_str(), nullptr, 10);
    if (v < lo || v > hi) return false;
    *out = v;
    return true;
}

// The device's options and keys: the handheld's keys as the SDL backend maps
// the PC's onto them (sdl::VirtualKeyFor), and the device's own (assist/).
constexpr const char* kHelp =
    " [option]...\n"
    "Runs the program on the emulated handheld: in a window, or headless.\n"
    "\n"
    "Options:\n"
    "  --headless               no window, no audio, a virtual clock\n"
    "  --script FILE            run a device script (with --headless)\n"
    "  --store DIR              the object store folder (created when missing)\n"
    "  --scale N                window scale, 1 to 8 (default 2)\n"
    "  --clock MS               start value of the device clock (default 0)\n"
    "  --voice                  say what the screen shows\n"
    "  --contrast high|normal   black on white with a thick focus ring\n"
    "  --transcript FILE        append every page read to FILE\n"
    "  --report-first-frame     print \"first frame\" once the screen is first shown\n"
    "  --help                   print this help and exit\n"
    "\n"
    "Keys in the window:\n"
    "  left mouse button        the stylus: tap, drag\n"
    "  arrows, Page Up/Down,    the handheld's keys, for the program\n"
    "    Home, End\n"
    "  Tab, Shift+Tab           move the focus ring through what can be tapped\n"
    "  Enter, Space             tap what the ring is on\n"
    "  Escape                   close the menu; leave an answer box\n"
    "  Menu key, F10, Alt       open or close the menu bar's menu\n"
    "  F2                       the voice on or off\n"
    "  F3                       high contrast on or off\n"
    "  Ctrl+Plus, Ctrl+Minus    the window's scale\n"
    "  mouse wheel              three lines a notch\n"
    "  other characters         typed, as on the input panel\n"
    "  closing the window       closes the program, as Ctrl+C and SIGTERM do\n";

}  // namespace

std::string HelpText(const std::string& program) {
    return "Usage: " + program + kHelp;
}

bool ParseOptions(const std::vector<std::string>& args, Options* out, std::string* error) {
    Options o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help") {
            *out = Options{};
            out->help = true;
            return true;
        }
        if (a == "--headless" || a == "--voice") {
            (a == "--voice" ? o.voice : o.headless) = true;
            continue;
        }
        if (a == "--report-first-frame") {
            o.reportFirstFrame = true;
            continue;
        }
        if (a != "--script" && a != "--store" && a != "--scale" && a != "--clock" &&
            a != "--contrast" && a != "--transcript") {
            *error = "unknown option " + a;
            return false;
        }
        if (i + 1 >= args.size()) {
            *error = a + " needs a value";
            return false;
        }
        const std::string& v = args[++i];
        long long n = 0;
        if (a == "--script") {
            o.script = v;
        } else if (a == "--store") {
            if (v.empty()) {
                *error = "--store needs a folder";
                return false;
            }
            o.store = v;
        } else if (a == "--scale") {
            if (!Number(v, 1, 8, &n)) {
                *error = "--scale takes a whole number from 1 to 8, not " + v;
                return false;
            }
            o.scale = static_cast<int>(n);
            o.scaleSet = true;
        } else if (a == "--contrast") {
            if (v != "high" && v != "normal") {
                *error = "--contrast takes high or normal, not " + v;
                return false;
            }
            o.highContrast = v == "high";
            o.contrastSet = true;
        } else if (a == "--transcript") {
            if (v.empty()) {
                *error = "--transcript needs a file";
                return false;
            }
            o.transcript = v;
        } else {
            if (!Number(v, 0, 0xFFFFFFFFll, &n)) {
                *error = "--clock takes milliseconds from 0 to 4294967295, not " + v;
                return false;
            }
            o.clock = static_cast<uint32_t>(n);
            o.clockSet = true;
        }
    }
    if (!o.script.empty() && !o.headless) {
        *error = "--script runs only with --headless";
        return false;
    }
    *out = o;
    return true;
}

}  // namespace device
