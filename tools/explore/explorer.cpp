// The explorer's passes in their order: the search (and, when a bound cuts
// it short, aiming at what it left unmet), then on its result the merged
// states' check, each page alone and the checkpoint proof, each reading the
// book's static facts and liveness.
#include "tools/explore/explorer.h"

#include <chrono>
#include <set>

#include "book/state.h"
#include "book/tables.h"
#include "shell/reader_state.h"
#include "tools/explore/aim.h"
#include "tools/explore/checkpoint_proof.h"
#include "tools/explore/facts.h"
#include "tools/explore/host.h"
#include "tools/explore/liveness.h"
#include "tools/explore/merged_values.h"
#include "tools/explore/pages.h"
#include "tools/explore/pages_alone.h"
#include "tools/explore/search.h"

namespace explore {
namespace {

// The objects as the book's tables start them (an earlier search in this
// process leaves them as its last state), no checkpoint saved, paragraph 2.
void FreshStart(const bookc::Book& book) {
    for (int k = 0; k < objectCount && k < static_cast<int>(book.objects.size()); ++k) {
        const auto [low, high] = bookc::StartBytes(book.objects[k]);
        objectTable[k].held = low;
        objectTable[k].current = high;
    }
    ClearCheckpoints();
    ResetReader();
}

// The pages not built under every combination: those neither the merged
// states' check nor each page alone could build. A search that finished
// built every page a reader reaches, and the merged states' check the rest
// of what they show, so then a page the merged check built is no gap.
std::vector<int> Unchecked(const std::set<int>& merged, const detail::PagesAlone& alone,
                           bool judgedBySearch) {
    std::set<int> unchecked = alone.unchecked;
    for (int paragraph : merged)
        if (!alone.considered.count(paragraph)) unchecked.insert(paragraph);
    std::vector<int> out;
    for (int paragraph : unchecked)
        if (!judgedBySearch || merged.count(paragraph)) out.push_back(paragraph);
    return out;
}

}  // namespace

Report Explore(const bookc::Book& book, const Options& options) {
    using namespace detail;
    const StaticFacts facts = ReadFacts(book);
    const Liveness liveness = ComputeLiveness(book);
    const auto start = Clock::now();
    Report report;
    Findings findings(report);
    Pages pages(facts, options.menu);
    OpenHost();
    FreshStart(book);
    Search search(book, options, facts, liveness, pages, findings);
    search.Run(start);
    if (!search.CutShort().empty()) AimAtUnmet(search, liveness, options, start);
    report.cutShort = search.CutShort();
    if (!options.exact) {
        search.SpreadValues();
        const std::set<int> merged = CheckMergedStates(search, facts, liveness, pages, findings);
        PagesAlone alone = CheckPagesAlone(search, book, facts, liveness, pages);
        report.pageAlarms = std::move(alone.alarms);
        report.pagesChecked = alone.considered.size();
        for (int paragraph : alone.considered)
            report.pagesChecked -= alone.unchecked.count(paragraph);
        ProveCheckpoints(facts, liveness, pages, alone, report);
        if (search.Unsound())
            report.cutShort =
                "a page that overwrites objects was entered while skipping, so states told apart "
                "only by what it overwrites were merged: run again with --exact";
        report.unchecked = Unchecked(merged, alone, report.cutShort.empty());
    }
    report.lintsWarnOnly = options.lintsWarnOnly;
    search.Finish(report);
    report.states = search.Count();
    report.edges = search.Edges();
    report.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return report;
}

}  // namespace explore
