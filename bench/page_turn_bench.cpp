// A page turn as the reader makes one: a story navigation through the real
// main window, whose paint rebuilds, lays out and draws the page, for every
// story paragraph of the book in turn.
#include <benchmark/benchmark.h>

#include "book/tables.h"
#include "book/text_store.h"
#include "device/record.h"
#include "shell/navigation.h"
#include "support/page_host.h"

namespace {

constexpr int16_t FIRST_STORY_PARAGRAPH = 48;

void TurnToEveryStoryPage(benchmark::State& state) {
    ResetPageState();
    int16_t p = FIRST_STORY_PARAGRAPH;
    for (auto _ : state) {
        GoToParagraph(p, NAV_STORY);
        do {
            p = p >= paragraphCount ? FIRST_STORY_PARAGRAPH : static_cast<int16_t>(p + 1);
        } while (!ParagraphHasText(p));
        if (p == FIRST_STORY_PARAGRAPH) {
            device::MessageBoxLog().clear();
            device::SoundLog().clear();
        }
    }
}
// Each iteration is one page turn; the median is the figure to read.
BENCHMARK(TurnToEveryStoryPage)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->ComputeStatistics("median", [](const std::vector<double>& v) {
        std::vector<double> s = v;
        std::sort(s.begin(), s.end());
        return s[s.size() / 2];
    });

}  // namespace

BENCHMARK_MAIN();
