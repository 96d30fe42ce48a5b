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

// The device's options and keys. The keys are the handheld's, as the SDL
// backend maps the PC's keys onto them (sdl::VirtualKeyFor).
constexpr const char* kHelp =
    " [--headless [--script FILE]] [--store DIR] [--scale N] [--clock MS]\n"
    "Runs the program on the emulated handheld: in a window, or headless.\n"
    "\n"
    "Options:\n"
    "  --headless       no window, no audio, a virtual clock\n"
    "  --script FILE    run a device script (with --headless)\n"
    "  --store DIR      the object store folder (created when missing)\n"
    "  --scale N        window scale, 1 to 8 (default 2)\n"
    "  --clock MS       start value of the device clock (default 0)\n"
    "  --help           print this help and exit\n"
    "\n"
    "Keys in the window, as the handheld's:\n"
    "  left mouse button    the stylus: tap, drag\n"
    "  arrow keys           the arrow keys (up, down, left, right)\n"
    "  Page Up, Page Down   page up, page down\n"
    "  Home, End            home, end\n"
    "  Enter, Tab           the action key, tab\n"
    "  Backspace, Escape    backspace, escape\n"
    "  other characters     typed, as on the input panel\n"
    "  closing the window   closes the program, as Ctrl+C and SIGTERM do\n";

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
        if (a == "--headless") {
            o.headless = true;
            continue;
        }
        if (a != "--script" && a != "--store" && a != "--scale" && a != "--clock") {
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
