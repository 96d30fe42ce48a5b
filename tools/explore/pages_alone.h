// Each page alone: every page with text built by itself (a story page, or a
// side page for the menu's and description pages) under every combination
// of every value of the object bytes its markup reads, with each draw forced
// and with every set of the engine's carried flags a page can start with. A
// build depends on nothing else but the checkpoint slots (none saved here),
// so what no combination raises, no state a reader reaches does: no message,
// no story page without a way on, no value shown of an object not held, no
// story page changing when built again, no chance outcome that never comes
// up. The story's ways found here show which pages have a good ending ahead
// in every state, for the checkpoint proof.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "tools/bookc/bookc.h"
#include "tools/explore/explorer.h"
#include "tools/explore/facts.h"
#include "tools/explore/liveness.h"
#include "tools/explore/pages.h"
#include "tools/explore/search.h"

namespace explore::detail {

struct PagesAlone {
    // What a combination raises, under it; each may belong to no state a
    // reader reaches.
    std::vector<Finding> alarms;
    std::set<int> considered;  // the pages judged
    std::set<int> unchecked;   // those not built under every combination
    // The pages that have a good ending ahead in every state: under every
    // combination some way on by the story's own choices leads to one.
    std::set<int> goodAhead;
    // Every set of carried flags a page can start with, as bytes: those the
    // search met, all clear, and every set a page built here leaves.
    std::set<std::string> carried;
    std::string fresh;  // the objects at their start values, no slot used
};

PagesAlone CheckPagesAlone(const Search& search, const bookc::Book& book, const StaticFacts& facts,
                           const Liveness& liveness, Pages& pages);

}  // namespace explore::detail
