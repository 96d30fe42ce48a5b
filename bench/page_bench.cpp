// Rebuild, layout and paint of every page of a book into the headless
// framebuffer, timed page by page (median and 99th percentile), beside the
// bare cost of measuring and drawing the same text runs with the platform's
// font code alone; prints both and their ratio. Times are the thread's CPU
// time, which a busy machine's other processes do not add to (the wall
// clock's medians are printed beside them).
//
// The bare text is drawn as the page draws it: onto a cleared window (the
// page's text goes onto its freshly erased background, where the opaque
// text background changes nothing). Drawn over the page's own text instead,
// each run would also repaint its background, and the bare cost would count
// work the page does not do. After the bare text the page is painted again,
// untimed, so that the next page turn starts from a real page.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "book/tables.h"
#include "book/text_store.h"
#include "device/record.h"
#include "entry/dump.h"
#include "page/layout.h"
#include "shell/navigation.h"
#include "support/page_host.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    int x, y, weight;
    std::u16string text;
};

// The text runs the page drew, read from the screen dump.
std::vector<Run> DrawnRuns() {
    static const std::regex line(
        R"re(^  text at (-?\d+),(-?\d+) size \d+x\d+ weight (\d+) "(.*)"$)re");
    std::vector<Run> runs;
    std::istringstream in(device::DumpScreen());
    std::string s;
    while (std::getline(in, s)) {
        std::smatch m;
        if (!std::regex_match(s, m, line)) continue;
        std::u16string text;
        const std::string q = m[4];
        for (size_t i = 0; i < q.size(); ++i) {
            if (q[i] == '\\' && i + 1 < q.size()) ++i;
            text += static_cast<char16_t>(static_cast<unsigned char>(q[i]));
        }
        runs.push_back({std::stoi(m[1]), std::stoi(m[2]) - 26, std::stoi(m[3]), text});
    }
    return runs;
}

// The two timed parts are kept out of line so that a profiler can count each
// apart (valgrind --tool=callgrind --toggle-collect='*MeasureAndDraw*', or
// '*TurnToPage*').
[[gnu::noinline]] void TurnToPage(int16_t paragraph) {
    GoToParagraph(paragraph, NAV_STORY);
}

[[gnu::noinline]] void MeasureAndDraw(const std::vector<Run>& runs) {
    HDC dc = GetDC(mainWindow);
    for (const Run& run : runs) {
        SelectObject(dc, run.weight >= 600 ? boldFont : normalFont);
        const int n = static_cast<int>(run.text.size());
        SIZE size = {};
        GetTextExtentPoint32W(dc, run.text.c_str(), n, &size);
        RECT rect = {run.x, run.y, run.x + size.cx, run.y + size.cy};
        DrawTextW(dc, run.text.c_str(), n, &rect, DT_SINGLELINE | DT_NOPREFIX);
    }
    ReleaseDC(mainWindow, dc);
}

// The page's window cleared to white, and the page painted again.
void ClearWindow() {
    HDC dc = GetDC(mainWindow);
    RECT client = {};
    GetClientRect(mainWindow, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ReleaseDC(mainWindow, dc);
}

void PaintAgain() {
    InvalidateRect(mainWindow, nullptr, TRUE);
    UpdateWindow(mainWindow);
}

double Micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

// The calling thread's CPU time in microseconds.
double CpuMicros() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

double Percentile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())))];
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    ResetPageState();
    device::StartScreenRecording();
    std::vector<int16_t> pages;
    std::vector<std::vector<Run>> runs;
    for (int16_t p = 1; p <= paragraphCount; ++p) {
        if (!ParagraphHasText(p)) continue;
        pendingBuiltInPage = 0;
        GoToParagraph(p, NAV_STORY);
        pages.push_back(p);
        runs.push_back(DrawnRuns());
    }
    std::vector<double> page, bare, pageWall, bareWall;
    for (int r = 0; r < rounds; ++r) {
        for (size_t i = 0; i < pages.size(); ++i) {
            const auto start = Clock::now();
            const double startCpu = CpuMicros();
            TurnToPage(pages[i]);
            const auto pageEnd = Clock::now();
            const double pageEndCpu = CpuMicros();
            ClearWindow();
            const auto bareStart = Clock::now();
            const double bareStartCpu = CpuMicros();
            MeasureAndDraw(runs[i]);
            const auto end = Clock::now();
            const double endCpu = CpuMicros();
            PaintAgain();
            page.push_back(pageEndCpu - startCpu);
            bare.push_back(endCpu - bareStartCpu);
            pageWall.push_back(Micros(pageEnd - start));
            bareWall.push_back(Micros(end - bareStart));
        }
        device::MessageBoxLog().clear();
        device::SoundLog().clear();
    }
    const double pageMedian = Percentile(page, 0.5), bareMedian = Percentile(bare, 0.5);
    std::printf("pages %zu, rounds %d\n", pages.size(), rounds);
    std::printf("page rebuild+layout+paint: median %.1f us, p99 %.1f us (wall median %.1f us)\n",
                pageMedian, Percentile(page, 0.99), Percentile(pageWall, 0.5));
    std::printf("bare text measure+draw:    median %.1f us, p99 %.1f us (wall median %.1f us)\n",
                bareMedian, Percentile(bare, 0.99), Percentile(bareWall, 0.5));
    std::printf("ratio of medians: %.2f\n", pageMedian / bareMedian);
    return 0;
}
