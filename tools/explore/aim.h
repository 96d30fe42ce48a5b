// Aiming at what is left: when a bound cuts the search short, the rest of
// its bounds (a quarter more states, or what is left of the time) go to the
// paragraphs and answer boxes it left unmet. The stored states not visited
// are taken best-first by how many of the book's links their story paragraph
// is from a page offering a way into an unmet paragraph, each held object or
// value that way's blocks test, or that every way into that page holds, and
// that the state lacks counting 32 links more; then by depth. The order is
// taken again each time one is met. This changes no proof: it only visits
// more states.
#pragma once

#include "tools/explore/explorer.h"
#include "tools/explore/liveness.h"
#include "tools/explore/search.h"

namespace explore::detail {

void AimAtUnmet(Search& search, const Liveness& liveness, const Options& options,
                Clock::time_point start);

}  // namespace explore::detail
