// Device scripts and options: the messages of bad lines and options, and the
// commands and failures the scenario scripts do not reach, run in-process
// against a small window.
#include "entry/script.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "device/record.h"
#include "entry/options.h"
#include "entry/settings.h"
#include "gdi_helpers.h"
#include "headless/headless.h"
#include "scratch_folder.h"
#include "windows.h"
#include "wm/wm.h"

namespace {

#define KEYS                                                                                  \
    "UP DOWN LEFT RIGHT PRIOR NEXT HOME END RETURN TAB SPACE ESCAPE F2 F3 F10 ALT MENU PLUS " \
    "MINUS, SHIFT+ or CTRL+ one of them, or one character"

TEST(ScriptParse, RejectsBadLinesNamingTheLine) {
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"dump\r\nfly 3\r\n", "s.txt:2: unknown command fly"},  // CR LF lines
        {"wait\n", "s.txt:1: expected wait MS"},
        {"wait -5\n", "s.txt:1: wait takes milliseconds, not -5"},
        {"wait 99999999999\n", "s.txt:1: wait takes milliseconds, not 99999999999"},
        {"\n\ntap 240 0\n", "s.txt:3: tap takes a screen pixel, X 0..239 and Y 0..319"},
        {"tap 0 320\n", "s.txt:1: tap takes a screen pixel, X 0..239 and Y 0..319"},
        {"tap 1\n", "s.txt:1: expected tap X Y"},
        {"press x\n", "s.txt:1: press takes a control id from 0 to 65535"},
        {"press 65536\n", "s.txt:1: press takes a control id from 0 to 65535"},
        {"menu\n", "s.txt:1: expected menu ID"},
        {"key LEFTISH\n", "s.txt:1: unknown key LEFTISH (" KEYS ")"},
        {"key up\n", "s.txt:1: unknown key up (" KEYS ")"},
        {"key SHIFT+a\n", "s.txt:1: unknown key SHIFT+a (" KEYS ")"},  // a capital is a character
        {"key CTRL+\n", "s.txt:1: unknown key CTRL+ (" KEYS ")"},
        {"wheel 0\n", "s.txt:1: wheel takes notches, -100 to 100 but not 0, not 0"},
        {"wheel -101\n", "s.txt:1: wheel takes notches, -100 to 100 but not 0, not -101"},
        {"wheel -\n", "s.txt:1: wheel takes notches, -100 to 100 but not 0, not -"},
        {"type\n", "s.txt:1: expected type TEXT"},
        {"key #\n", "s.txt:1: expected key NAME"},  // a '#' after a blank starts a comment
        {"key a#b\n", "s.txt:1: unknown key a#b (" KEYS ")"},  // inside a word it does not
        {"type \xC3\n", "s.txt:1: type needs UTF-8 text"},
        {"answer yes\n", "s.txt:1: answer takes OK, YES or NO, not yes"},
        {"answer CANCEL\n", "s.txt:1: answer takes OK, YES or NO, not CANCEL"},
        {"sip maybe\n", "s.txt:1: sip takes on or off, not maybe"},
        {"dump now\n", "s.txt:1: expected dump"},
        {"exit 0\n", "s.txt:1: expected exit"},
        {"shot\n", "s.txt:1: expected shot FILE"},
        {"DUMP\n", "s.txt:1: unknown command DUMP"},
        {"\x01\xFF\xFEzap 1\n", "s.txt:1: unknown command ???zap"},
    };
    for (const Case& c : cases) {
        device::Script s;
        std::string error;
        EXPECT_FALSE(device::ParseScript("s.txt", c.text, &s, &error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

TEST(ScriptParse, AFolderIsNoScript) {
    device::Script s;
    std::string error;
    EXPECT_FALSE(device::LoadScript("/tmp", &s, &error));
    EXPECT_EQ(error, "/tmp: cannot read the script");
}

TEST(Options, Table) {
    struct Case {
        std::vector<std::string> args;
        bool ok;
        const char* error;
    } cases[] = {
        {{}, true, ""},
        {{"--headless", "--script", "a.script", "--store", "/tmp/x", "--clock", "4294967295"},
         true,
         ""},
        {{"--scale", "8"}, true, ""},
        {{"--scale", "9"}, false, "--scale takes a whole number from 1 to 8, not 9"},
        {{"--scale", "2x"}, false, "--scale takes a whole number from 1 to 8, not 2x"},
        {{"--clock", "4294967296"},
         false,
         "--clock takes milliseconds from 0 to 4294967295, not 4294967296"},
        {{"--clock", "-1"}, false, "--clock takes milliseconds from 0 to 4294967295, not -1"},
        {{"--store"}, false, "--store needs a value"},
        {{"--store", ""}, false, "--store needs a folder"},
        {{"--script", "a"}, false, "--script runs only with --headless"},
        {{"--voice", "--contrast", "high", "--transcript", "t.txt"}, true, ""},
        {{"--contrast", "low"}, false, "--contrast takes high or normal, not low"},
        {{"--transcript", ""}, false, "--transcript needs a file"},
        {{"-h"}, false, "unknown option -h"},
        {{"book.dat"}, false, "unknown option book.dat"},
    };
    for (const Case& c : cases) {
        device::Options o;
        std::string error;
        EXPECT_EQ(device::ParseOptions(c.args, &o, &error), c.ok)
            << (c.args.empty() ? "" : c.args[0]);
        EXPECT_EQ(error, c.error);
    }
    device::Options o;
    std::string error;
    ASSERT_TRUE(device::ParseOptions({}, &o, &error));
    EXPECT_EQ(o.scale, 2) << "the real-window scenarios all give --scale";
}

// A key's change is written over the line it had, the person's other lines
// kept; bad values and unknown names are passed over.
using Settings = ScratchFolderTest;
TEST_F(Settings, KeysWriteTheirLineAndKeepTheRest) {
    const std::string path = (root / "store-device.conf").string();
    Write("store-device.conf", "# mine\nvoice on\nscale 9\ncolour blue\ntranscript /tmp/t.txt\n");
    EXPECT_TRUE(device::SaveSetting(path, "voice", "off"));
    EXPECT_TRUE(device::SaveSetting(path, "contrast", "high"));
    EXPECT_EQ(Read("store-device.conf"),
              "# mine\nvoice off\nscale 9\ncolour blue\ntranscript /tmp/t.txt\ncontrast high\n");
    const assist::Settings s = device::LoadSettings(path);
    EXPECT_FALSE(s.voice);
    EXPECT_TRUE(s.highContrast);
    EXPECT_EQ(s.scale, 2) << "9 is no scale";
    EXPECT_EQ(s.transcript, "/tmp/t.txt");
    EXPECT_FALSE(device::SaveSetting((root / "none" / "x.conf").string(), "voice", "on"));
}

// A window with an edit box (id 8) and a hidden button (id 9), run under a
// script.
struct Outcome {
    std::vector<std::string> failures;
    std::u16string typed;
};
Outcome* current = nullptr;
HWND edit = nullptr;

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (current && msg == WM_DESTROY) {
        char16_t text[64] = {};
        GetWindowTextW(edit, text, 64);
        current->typed = text;
        PostQuitMessage(0);
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

Outcome RunScript(const std::string& text) {
    wm::ResetForTests();
    device::HeadlessBackend().Reset();
    device::SetBackend(&device::HeadlessBackend());
    device::SetClock(1000);
    Outcome run;
    current = &run;
    device::Script s;
    std::string error;
    EXPECT_TRUE(device::ParseScript("t.script", text, &s, &error)) << error;
    device::SetScriptFailureHandler([&](const std::string& m) {
        run.failures.push_back(m);
        // The real handler ends the process; here the rest of the script goes.
        device::HeadlessBackend().Reset();
    });
    device::QueueScript(s, [](const std::string&) {});
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = u"ScriptTest";
    RegisterClassW(&wc);
    HWND main = CreateWindowExW(0, u"ScriptTest", u"Script", WS_VISIBLE, 0, 26, 240, 268, nullptr,
                                nullptr, nullptr, nullptr);
    edit = CreateWindowExW(0, u"EDIT", u"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 40, 100, 20,
                           main, reinterpret_cast<HMENU>(8), nullptr, nullptr);
    CreateWindowExW(0, u"BUTTON", u"Hidden", WS_CHILD, 10, 70, 50, 20, main,
                    reinterpret_cast<HMENU>(9), nullptr, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    device::SetScriptFailureHandler(nullptr);
    device::SetMessageBoxAutoAnswer(true);
    current = nullptr;
    return run;
}

// Pressing, typing and answering are the scenario scripts'; here capitals and
// symbols as keys, and a shot.
TEST(ScriptRun, KeysAndAShot) {
    const std::string shot = ::testing::TempDir() + "script_shot.png";
    std::remove(shot.c_str());
    Outcome r = RunScript("press 8\nkey d\nkey D\nkey 5\nkey ?\nkey TAB\nshot " + shot + "\n");
    gdi::Surface picture;
    EXPECT_TRUE(gfxtest::ReadPng(shot, &picture)) << "shot wrote " << shot;
    EXPECT_EQ(picture.width, 240);
    EXPECT_TRUE(r.failures.empty()) << (r.failures.empty() ? "" : r.failures[0]);
    EXPECT_EQ(r.typed, u"dD5?");
    EXPECT_EQ(device::UnfinishedScriptLine(), 0);
}

TEST(ScriptRun, FailuresNameTheLine) {
    struct Case {
        const char* script;
        const char* failure;
    } cases[] = {
        // A missing or disabled control and a missing box or button: the
        // error scenarios (tests/scenario/errors).
        {"press 9\n", "t.script:1: no control with id 9 on screen"},  // a hidden child
        {"menu 500\n", "t.script:1: no menu item with id 500"},
        {"shot /nonexistent/dir/x.png\n", "t.script:1: cannot write /nonexistent/dir/x.png"},
    };
    for (const Case& c : cases) {
        Outcome r = RunScript(c.script);
        ASSERT_EQ(r.failures.size(), 1u) << c.script;
        EXPECT_EQ(r.failures[0], c.failure);
    }
}

TEST(ScriptRun, NothingAfterExitRuns) {
    Outcome r = RunScript("press 8\ntype x\nexit\ntype y\n");
    EXPECT_TRUE(r.failures.empty());
    EXPECT_EQ(r.typed, u"x");
    EXPECT_EQ(device::UnfinishedScriptLine(), 0);
}

}  // namespace
