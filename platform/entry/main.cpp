// The process entry: reads the device's options, sets the device up (store
// folder, clock, backend, cross-process windows, script) and calls the
// program's WinMain with an empty command line. Built into
// fernvale_device_main, which a program links to become an executable.
#include <dlfcn.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "assist/assist.h"
#include "crossprocess/crossprocess.h"
#include "device/record.h"
#include "device/window.h"
#include "entry/dump.h"
#include "entry/options.h"
#include "entry/script.h"
#include "entry/settings.h"
#include "files/store.h"
#include "headless/headless.h"
#include "windows.h"

namespace {

std::string ProgramName(const char* argv0) {
    std::string name = argv0 ? argv0 : "device";
    const size_t slash = name.rfind('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

// A backend that says when it first shows the screen, for timing the start.
class ReportingFirstFrame : public device::Backend {
   public:
    explicit ReportingFirstFrame(device::Backend* inner) : inner_(inner) {}
    void Pump() override { inner_->Pump(); }
    void WaitUntil(bool hasDeadline, uint32_t deadline) override {
        inner_->WaitUntil(hasDeadline, deadline);
    }
    void Present(const gdi::Surface& screen) override {
        inner_->Present(screen);
        if (reported_) return;
        reported_ = true;
        std::printf("first frame\n");
        std::fflush(stdout);
    }

   private:
    device::Backend* inner_;
    bool reported_ = false;
};

// The window module (device/window.h): where an installed program's
// installation put it, else where the build made it.
std::string WindowModulePath() {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        std::string path(self, static_cast<size_t>(n));
        path = path.substr(0, path.rfind('/') + 1) + FERNVALE_WINDOW_MODULE_INSTALLED;
        if (access(path.c_str(), R_OK) == 0) return path;
    }
    return FERNVALE_WINDOW_MODULE;
}

// The window module's calls other than opening.
struct WindowModule {
    device::ScaleWindowFunction scale = nullptr;
    device::CloseWindowFunction close = nullptr;
};

// Loads the window module and opens the window; null with the reason in
// `error`. The module stays loaded until the process ends. Its calls into the
// libraries under it are bound as they are first made: most of those
// libraries' functions are never called, and binding them all would add to
// the window's start (the module is built with the program, so none is
// missing).
device::Backend* OpenWindow(int scale, const std::string& title, WindowModule* calls,
                            std::string* error) {
    void* module = dlopen(WindowModulePath().c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!module) {
        *error = dlerror();
        return nullptr;
    }
    auto open = reinterpret_cast<device::OpenWindowFunction>(dlsym(module, device::kOpenWindow));
    calls->scale =
        reinterpret_cast<device::ScaleWindowFunction>(dlsym(module, device::kScaleWindow));
    calls->close =
        reinterpret_cast<device::CloseWindowFunction>(dlsym(module, device::kCloseWindow));
    if (!open || !calls->scale || !calls->close) {
        *error = "the window module lacks an entry point";
        return nullptr;
    }
    return open(scale, title.c_str(), error);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string program = ProgramName(argc > 0 ? argv[0] : nullptr);
    auto fail = [&](const std::string& message, int code) {
        std::fprintf(stderr, "%s: %s\n", program.c_str(), message.c_str());
        return code;
    };
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    device::Options options;
    std::string error;
    if (!device::ParseOptions(args, &options, &error)) return fail(error, 2);
    if (options.help) {
        std::fputs(device::HelpText(program).c_str(), stdout);
        return 0;
    }
    if (!options.store.empty()) device::SetStoreDirectory(options.store);
    if (!device::CheckStore(&error)) return fail(error, 1);
    // Under a file-size limit a write that passes it fails (and the program
    // can say so) instead of ending the process without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    device::Script script;
    if (!options.script.empty()) {
        if (!device::LoadScript(options.script, &script, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 2;
        }
    }
    device::SetClock(options.clockSet ? options.clock : 0);
    // Message boxes wait on the screen for an answer.
    device::SetMessageBoxAutoAnswer(false);

    // The device's settings, the command line over them for this run.
    const std::string settingsPath = device::SettingsPath();
    assist::Settings settings = device::LoadSettings(settingsPath);
    settings.voice = settings.voice || options.voice;
    if (options.contrastSet) settings.highContrast = options.highContrast;
    if (options.scaleSet) settings.scale = options.scale;
    if (!options.transcript.empty()) settings.transcript = options.transcript;
    settings.keepVoiceLog = options.headless;

    std::unique_ptr<assist::Speaker> speaker;
    std::string silent;  // why the voice has nowhere to go
    WindowModule windowModule;
    device::Backend* backend = &device::HeadlessBackend();
    if (options.headless) {
        device::StartScreenRecording();
        // Without a script the program is closed as soon as it waits.
        device::QueueScript(script);
    } else {
        backend = OpenWindow(settings.scale, program, &windowModule, &error);
        if (!backend) return fail("cannot open the device window: " + error, 1);
        speaker = assist::OpenSpeaker(&silent);
    }
    ReportingFirstFrame reporting(backend);
    device::SetBackend(options.reportFirstFrame ? &reporting : backend);
    // A key that changes a setting keeps it for the next run.
    auto sayWhySilent = [&] {
        if (silent.empty()) return;
        fail(silent, 0);
        silent.clear();  // once is enough
    };
    if (settings.voice) sayWhySilent();
    auto changed = [&](const std::string& name, int value) {
        const std::string text = name == "scale"      ? std::to_string(value)
                                 : name == "contrast" ? (value ? "high" : "normal")
                                                      : (value ? "on" : "off");
        device::SaveSetting(settingsPath, name, text);
        if (name == "scale" && windowModule.scale) windowModule.scale(value);
        if (name == "voice" && value) sayWhySilent();
    };
    if (!assist::Install(settings, std::move(speaker), changed, &error)) return fail(error, 1);
    device::InstallCrossProcess();

    static char16_t commandLine[1] = {0};
    const int code = WinMain(reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000)), nullptr,
                             commandLine, SW_SHOW);

    assist::Uninstall();
    device::ShutdownCrossProcess();
    device::SetBackend(nullptr);
    if (windowModule.close) windowModule.close();
    std::fflush(stdout);
    if (const int line = device::UnfinishedScriptLine()) {
        std::fprintf(stderr, "%s:%d: the program ended before this line\n", options.script.c_str(),
                     line);
        return code ? code : 1;
    }
    return code;
}
