// The checkpoint proof: that every state saved at a checkpoint page has a
// good ending ahead by the story's own choices, whatever the reader did
// before, proven without the search. Goal-directed: a node is a page, the
// carried flags and what is known of each object byte since the checkpoint
// (written by a page on the way, or read by one under each of its values);
// what is not known takes every value, and what no page ahead reads to steer
// is forgotten. A node is good when it is a good ending, or its page has a
// good ending ahead in every state (pages_alone.h), or when under every
// combination of the unknown bytes its page reads to steer some way on leads
// to a good node. A proof is only ever made of good endings and pages good in
// every state at its leaves, so a bound on the work or a failure remembered
// too eagerly can only lose a proof, never make one (docs/explore.md).
#pragma once

#include "tools/explore/explorer.h"
#include "tools/explore/facts.h"
#include "tools/explore/liveness.h"
#include "tools/explore/pages.h"
#include "tools/explore/pages_alone.h"

namespace explore::detail {

// Each page that saves a checkpoint goes to the report's proven list or, with
// what stopped the proof, to its unproven list.
void ProveCheckpoints(const StaticFacts& facts, const Liveness& liveness, Pages& pages,
                      const PagesAlone& alone, Report& report);

}  // namespace explore::detail
