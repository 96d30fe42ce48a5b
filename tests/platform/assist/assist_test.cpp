// Telling a new page from the same page scrolled or repainted, where the
// voice goes (speech-dispatcher's protocol to a stand-in daemon, real speech
// from espeak-ng written to a WAV) and the high-contrast look.
// What is said and when, the focus ring and the keys are the reader's
// scenarios (tests/reader/keyboard*.script, voice.script).
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "assist/display.h"
#include "assist/pages.h"
#include "assist/speech.h"
#include "assist/voice.h"
#include "gdi/record.h"
#include "wm/wm.h"
#include "wm_support.h"

namespace {

// Each case follows a page seen first as `first`, then shows `next`.
TEST(PageTracker, NewPagesAndLinesComingIntoView) {
    const HWND window = reinterpret_cast<HWND>(1), other = reinterpret_cast<HWND>(2);
    const HWND button = reinterpret_cast<HWND>(10), rebuilt = reinterpret_cast<HWND>(11);
    const assist::Line title{0, 13, 0, 200, u"Title", true}, one{20, 33, 4, 200, u"one", false},
        two{300, 313, 4, 200, u"two", false}, other1{20, 33, 4, 200, u"changed", false};
    const assist::PageView first{window, 0, 268, {title, one}, {button}};
    struct Case {
        const char* what;
        assist::PageView next;
        bool fresh;
        size_t lines;  // fresh: all in view; otherwise those seen for the first time
    } cases[] = {
        {"repainted", first, false, 0},
        {"scrolled down: the title leaves, a line comes",
         {window, 100, 368, {two}, {button}},
         false,
         1},
        {"a shorter view (the input panel)", {window, 0, 30, {title}, {button}}, false, 0},
        {"every control made anew", {window, 0, 268, {title, one}, {rebuilt}}, true, 2},
        {"a line seen before is gone", {window, 0, 268, {title}, {button}}, true, 1},
        {"another line where one was", {window, 0, 268, {title, other1}, {button}}, true, 2},
        {"another window", {other, 0, 268, {title, one}, {button}}, true, 2},
    };
    for (const Case& c : cases) {
        assist::PageTracker tracker;
        ASSERT_TRUE(tracker.Update(first).fresh);
        const assist::PageChange change = tracker.Update(c.next);
        EXPECT_EQ(change.fresh, c.fresh) << c.what;
        EXPECT_EQ(change.lines.size(), c.lines) << c.what;
        const assist::PageChange again = tracker.Update(c.next);
        EXPECT_TRUE(!again.fresh && again.lines.empty())
            << c.what << ": the same screen says nothing";
    }
}

TEST(Speech, SpeechDispatcherGetsEachUtteranceAfterACancel) {
    const std::string path = ::testing::TempDir() + "ssip-" + std::to_string(getpid()) + ".sock";
    unlink(path.c_str());
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    setenv("SPEECHD_ADDRESS", ("unix_socket:" + path).c_str(), 1);
    {
        auto speaker = assist::ConnectSpeechDispatcher();
        ASSERT_TRUE(speaker);
        speaker->Say("Line one\n.A line that starts with a dot");
    }
    const int fd = accept(listener, nullptr, nullptr);
    std::string heard;
    char buffer[256];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
        heard.append(buffer, static_cast<size_t>(n));
    EXPECT_EQ(heard,
              "SET SELF CLIENT_NAME user:fernvale:voice\r\n"
              "CANCEL SELF\r\nSPEAK\r\nLine one\r\n..A line that starts with a dot\r\n.\r\n"
              "CANCEL SELF\r\nQUIT\r\n");
    close(fd);
    close(listener);
    unlink(path.c_str());
    EXPECT_FALSE(assist::ConnectSpeechDispatcher()) << "nothing listens: it is not started";
    unsetenv("SPEECHD_ADDRESS");
}

// A page's announcement, said by espeak-ng into a WAV: as long as speech of
// its words and not silent.
TEST(Speech, EspeakSaysAPage) {
    const std::string wav = ::testing::TempDir() + "announcement.wav";
    std::remove(wav.c_str());
    auto espeak = assist::StartEspeak({"-w", wav});
    ASSERT_TRUE(espeak) << "espeak-ng is one of the packages tools/packages.sh installs";
    assist::Espeak* said = espeak.get();
    assist::Voice voice;
    voice.SetSpeaker(std::move(espeak));
    voice.SetOn(true);
    const std::vector<assist::Line> page = {
        {0, 13, 54, 172, u"Welcome to Fernvale", true},
        {39, 52, 4, 200, u"A valley is drying up, and someone must walk the long", false},
        {53, 66, 4, 200, u"road to find out why.", false}};
    for (const std::u16string& piece : assist::PagePieces(page, 1)) voice.Add(piece);
    voice.Flush();
    said->Finish();

    std::ifstream in(wav, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 44u);
    ASSERT_EQ(bytes.compare(0, 4, "RIFF"), 0);
    uint32_t rate = 0;
    std::memcpy(&rate, bytes.data() + 24, 4);
    const size_t data = bytes.find("data");
    ASSERT_NE(data, std::string::npos);
    const size_t samples = (bytes.size() - data - 8) / 2;
    double sum = 0;
    for (size_t i = 0; i < samples; ++i) {
        int16_t s = 0;
        std::memcpy(&s, bytes.data() + data + 8 + 2 * i, 2);
        sum += static_cast<double>(s) * s;
    }
    // 20 words at espeak-ng's 175 a minute: about 7 seconds.
    const double seconds = static_cast<double>(samples) / rate;
    EXPECT_GT(seconds, 4.0);
    EXPECT_LT(seconds, 15.0);
    EXPECT_GT(std::sqrt(sum / static_cast<double>(samples)), 1000.0) << "not silent";
}

// Pictures keep their colours; every other pixel turns black or white.
TEST(Display, HighContrastKeepsPictures) {
    wmtest::ResetDevice();
    gdi::SetDrawRecording(true);
    HWND main = wmtest::CreateMain();
    HDC dc = GetDC(main);
    HBRUSH gray = CreateSolidBrush(RGB(0x9C, 0x9C, 0x9C)),
           light = CreateSolidBrush(RGB(0xE8, 0xE8, 0xE8));
    const RECT dark{0, 0, 60, 20}, pale{0, 20, 60, 40};
    FillRect(dc, &dark, gray);
    FillRect(dc, &pale, light);
    HBITMAP picture = LoadBitmapW(nullptr, MAKEINTRESOURCEW(1100));
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, picture);
    BITMAP size{};
    GetObjectW(picture, sizeof size, &size);
    BitBlt(dc, 100, 50, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(main, dc);
    DeleteObject(gray);
    DeleteObject(light);

    gdi::Surface before = wmtest::ComposedScreen();
    gdi::Surface after = before;
    assist::DrawHighContrast(after);
    const RECT client = wm::ClientOnScreen(wm::Find(main));
    const RECT shown{client.left + 100, client.top + 50, client.left + 100 + size.bmWidth,
                     client.top + 50 + size.bmHeight};
    auto at = [](const gdi::Surface& s, LONG x, LONG y) {
        return s.pixels[static_cast<size_t>(y * s.width + x)];
    };
    EXPECT_EQ(at(after, client.left + 5, client.top + 5), 0x000000u) << "gray turns black";
    EXPECT_EQ(at(after, client.left + 5, client.top + 25), 0xFFFFFFu) << "a light face turns white";
    int kept = 0;
    for (LONG y = 0; y < after.height; ++y)
        for (LONG x = 0; x < after.width; ++x) {
            const POINT p{x, y};
            if (PtInRect(&shown, p)) {
                kept += at(after, x, y) == at(before, x, y);
                continue;
            }
            const uint32_t c = at(after, x, y);
            ASSERT_TRUE(c == 0 || c == 0xFFFFFF) << x << "," << y;
        }
    EXPECT_EQ(kept, size.bmWidth * size.bmHeight);
    gdi::SetDrawRecording(false);
    wmtest::ResetDevice();
}

}  // namespace
