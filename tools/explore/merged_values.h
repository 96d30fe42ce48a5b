// The merged states' check. The search's key keeps only the object bytes
// that can still steer the story, so states that differ in the rest are
// merged and only the first one's page is built. After the search, each page
// it built is built again under every combination of the values that the
// bytes the page reads and its key leaves out take over the states merged
// into it (Search::ValuesOf), and checked for messages, values shown of
// objects not held and a change when built again. The combinations are taken
// byte by byte, so one may belong to no state a reader reaches: that can add
// a finding, never hide one.
#pragma once

#include <set>

#include "tools/explore/facts.h"
#include "tools/explore/liveness.h"
#include "tools/explore/pages.h"
#include "tools/explore/search.h"

namespace explore::detail {

// Notes what it finds in `findings`, with the way in nearest each. Gives the
// pages it could not build under every combination.
std::set<int> CheckMergedStates(const Search& search, const StaticFacts& facts,
                                const Liveness& liveness, Pages& pages, Findings& findings);

}  // namespace explore::detail
