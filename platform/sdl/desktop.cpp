#include "sdl/desktop.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace sdl {
namespace {

std::string Variable(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

bool Exists(const std::string& path) {
    return !path.empty() && access(path.c_str(), F_OK) == 0;
}

std::string lostProgram;

// Called by the X library, which ends the process itself if this returns.
int DisplayLost(void*) {
    const std::string display = Variable("DISPLAY");
    std::fprintf(stderr, "%s: the display %s closed the connection\n", lostProgram.c_str(),
                 display.c_str());
    std::fflush(nullptr);
    _exit(1);
}

}  // namespace

QuietStart::QuietStart() {
    auto set = [&](const char* name, const std::string& value) {
        if (std::getenv(name) || setenv(name, value.c_str(), 0) != 0) return;
        set_.push_back(name);
    };
    if (!Exists(Variable("HOME") + "/.XCompose")) set("XCOMPOSEFILE", "/dev/null");
    // The session bus is where libdbus looks first; when it is not there, the
    // address names that place only, so that no bus is launched.
    std::string runtime = Variable("XDG_RUNTIME_DIR");
    if (runtime.empty()) runtime = "/run/user/" + std::to_string(getuid());
    if (!Exists(runtime + "/bus")) set("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + runtime + "/bus");
}

QuietStart::~QuietStart() {
    for (const char* name : set_) unsetenv(name);
}

void EndOnLostDisplay(const std::string& program) {
    // SDL loads the X library (for X11 and Wayland alike); it is looked up
    // where SDL loaded it rather than linked, so the module needs no X headers.
    void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (!x11) return;
    using Handler = int (*)(void*);
    auto setHandler = reinterpret_cast<Handler (*)(Handler)>(dlsym(x11, "XSetIOErrorHandler"));
    lostProgram = program;
    if (setHandler) setHandler(DisplayLost);
    dlclose(x11);
}

}  // namespace sdl
