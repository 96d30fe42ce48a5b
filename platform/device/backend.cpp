#include "device/backend.h"

#include <cstdio>
#include <cstdlib>

namespace device {

namespace {
Backend* current = nullptr;
}  // namespace

Backend& CurrentBackend() {
    // Every program installs its backend before its first message; a device
    // with none has no input and no time, so carrying on would hang or lie.
    if (!current) {
        std::fputs("device: no backend installed\n", stderr);
        std::abort();
    }
    return *current;
}

void SetBackend(Backend* backend) {
    current = backend;
}

}  // namespace device
