// Builds every paragraph of a book through the page rebuild, as a paint with
// the page dirty does (controls included), without laying it out.
#include <benchmark/benchmark.h>

#include "book/tables.h"
#include "book/text_store.h"
#include "device/record.h"
#include "page/builder.h"
#include "support/page_host.h"

namespace {

void BuildEveryPage(benchmark::State& state) {
    ResetPageState();
    int64_t pages = 0;
    for (auto _ : state) {
        for (int16_t p = 1; p <= paragraphCount; ++p) {
            if (!ParagraphHasText(p)) continue;
            BuildParagraph(p);
            benchmark::DoNotOptimize(pageItemCount);
            ++pages;
        }
        device::MessageBoxLog().clear();
        device::SoundLog().clear();
    }
    state.counters["pages/s"] =
        benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsRate);
}
BENCHMARK(BuildEveryPage);

}  // namespace

BENCHMARK_MAIN();
