// Assembles and scans every paragraph of a book, as a page rebuild does.
#include <benchmark/benchmark.h>

#include "book/tables.h"
#include "book/text_store.h"
#include "device/record.h"
#include "page/builder.h"
#include "script/engine.h"

namespace {

void BuildEveryPage(benchmark::State& state) {
    int64_t pages = 0;
    for (auto _ : state) {
        for (int16_t p = 1; p <= paragraphCount; ++p) {
            if (!ParagraphHasText(p)) continue;
            ClearPageBuilder();
            AssembleParagraph(p, paragraphText);
            ScanParagraph(paragraphText);
            benchmark::DoNotOptimize(pageItemCount);
            ++pages;
        }
        device::MessageBoxLog().clear();
        device::SoundLog().clear();
    }
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsRate);
}
BENCHMARK(BuildEveryPage);

}  // namespace

BENCHMARK_MAIN();
