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

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options* out, std::string* error) {
    Options o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
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
