// Which object bytes a story paragraph can still read: a byte that no page
// ahead reads before overwriting it cannot steer the story, so two states that
// differ only there have the same future and the search keeps one of them.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/bookc/bookc.h"

namespace explore {

struct Liveness {
    // live[p][2k] the held byte of object k, live[p][2k + 1] its value, at the
    // start of a build of paragraph p (a number object's two bytes go together).
    std::vector<std::vector<bool>> live;
    // Paragraphs whose own markup overwrites a byte before any page ahead reads
    // it: the reduction relies on those tags running, so not while skipping.
    std::vector<bool> overwrites;
};

// From the book's markup and the reader's object table. The menu's pages
// (restart, objective, information, hints, credits) and the description pages
// are reachable from every page; what they read is left out when they change
// no object, since they then only show it and return to the same story state.
Liveness ComputeLiveness(const bookc::Book& book);

}  // namespace explore
