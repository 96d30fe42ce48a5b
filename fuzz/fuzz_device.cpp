// Reads arbitrary text as the device's options and a device script, then runs
// an accepted script against the sample program on the headless device, the
// way the process entry does, with the device's keys and voice around it
// (assist/). The options come first, one a line, up to a NUL
// byte; the rest is the script. Each input starts from the device's own
// resets, and is bounded (commands, wait lengths) so that it stays quick.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "assist/assist.h"
#include "chrome/parts.h"
#include "device/record.h"
#include "entry/dump.h"
#include "entry/options.h"
#include "entry/script.h"
#include "headless/headless.h"
#include "sample_app.h"
#include "wm/wm.h"

namespace {

constexpr size_t kMostCommands = 48;
constexpr uint32_t kLongestWait = 4000;  // ms of device time: a few status ticks
const char kFile[] = "fuzz.script";

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

// One line, "fuzz.script:LINE: message", LINE within the script.
void RequireScriptMessage(const std::string& m, int lines) {
    const std::string prefix = std::string(kFile) + ":";
    Require(m.compare(0, prefix.size(), prefix) == 0);
    Require(m.find('\n') == std::string::npos);
    const int line = std::atoi(m.c_str() + prefix.size());
    Require(line >= 1 && line <= lines);
    const size_t colon = m.find(": ", prefix.size());
    Require(colon != std::string::npos && colon + 2 < m.size());
}

// Shots go to one file in a folder of our own: a script names any path.
std::string ShotPath() {
    char folder[] = "/tmp/fuzz_device_XXXXXX";
    if (!mkdtemp(folder)) std::abort();
    static const std::string made = folder;
    std::atexit([] {
        if (std::system(("rm -rf " + made).c_str()) != 0) return;
    });
    return made + "/shot.png";
}

void ResetDevice() {
    wm::ResetForTests();
    chrome::ResetForTests();
    device::HeadlessBackend().Reset();
    device::MessageBoxLog().clear();
    device::SoundLog().clear();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string shot = ShotPath();
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\0');
    std::vector<std::string> args;
    std::string text = input;
    if (split != std::string::npos) {
        for (size_t from = 0; from <= split;) {
            size_t end = std::min(input.find('\n', from), split);
            args.push_back(input.substr(from, end - from));
            from = end + 1;
        }
        text = input.substr(split + 1);
    }

    device::Options options;
    options.scale = 0;  // must be set or left alone as a whole
    std::string error;
    if (device::ParseOptions(args, &options, &error)) {
        Require(options.scale >= 1 && options.scale <= 8);
        Require(options.script.empty() || options.headless);
        Require(!options.clockSet || std::find(args.begin(), args.end(), "--clock") != args.end());
    } else {
        Require(options.scale == 0);
        Require(!error.empty() && error.find('\n') == std::string::npos);
        options = device::Options{};
    }

    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    device::Script script;
    if (!device::ParseScript(kFile, text, &script, &error)) {
        RequireScriptMessage(error, lines);
        return 0;
    }
    int last = 0;
    for (device::ScriptCommand& c : script.commands) {
        Require(c.line > last && c.line <= lines);
        last = c.line;
        if (c.name == "wait") c.number = std::min(c.number, kLongestWait);
        if (c.name == "shot") c.rest = shot;
    }
    if (script.commands.size() > kMostCommands) script.commands.resize(kMostCommands);

    ResetDevice();
    device::SetClock(options.clockSet ? options.clock : 0);
    device::SetBackend(&device::HeadlessBackend());
    device::StartScreenRecording();
    // The device's keys, voice and look as the options ask (no transcript:
    // a script could name any file).
    assist::Settings settings;
    settings.voice = options.voice;
    settings.highContrast = options.highContrast;
    settings.keepVoiceLog = true;
    Require(assist::Install(settings, nullptr, nullptr, &error));
    std::vector<std::string> failures;
    device::SetScriptFailureHandler([&](const std::string& m) {
        failures.push_back(m);
        // The real handler ends the process: here the program is closed.
        device::HeadlessBackend().Reset();
        device::HeadlessBackend().Then([] {});
    });
    size_t dumps = 0;
    device::QueueScript(script, [&](const std::string& dump) {
        Require(dump.compare(0, 10, "screen at ") == 0);
        Require(dump.size() >= 4 && dump.compare(dump.size() - 4, 4, "end\n") == 0);
        ++dumps;
    });
    sample::SampleMain(reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000)), SW_SHOW);
    device::SetScriptFailureHandler(nullptr);
    assist::Uninstall();

    Require(failures.size() <= 1);
    for (const std::string& m : failures) RequireScriptMessage(m, lines);
    Require(dumps <= static_cast<size_t>(std::count_if(
                         script.commands.begin(), script.commands.end(),
                         [](const device::ScriptCommand& c) { return c.name == "dump"; })));
    for (int answer : sample::Result().questions)
        Require(answer == IDYES || answer == IDNO || answer == IDCANCEL);
    return 0;
}
