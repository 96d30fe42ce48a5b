// Which object bytes can still steer the story from a paragraph: a byte that no
// page ahead reads in a steering way (to choose a way on, a write, a save, a
// draw or an answer box) before overwriting it can at most change the text a
// page shows, so two states that differ only there have the same paths and the
// search keeps one of them; the pages are then checked under every value of
// the bytes they read that the search did not keep.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/bookc/bookc.h"

namespace explore {

// A way on a paragraph's markup offers (a hotword, chance outcome, answer or
// arrow) and what its enclosing `<O>` blocks test, in tests joined by & and
// not negated: objects held (`X %o`) and values (`%o = v`).
struct Way {
    int from = 0, to = 0;
    uint64_t tested = 0;
    std::vector<std::pair<int, int>> values;
    // What is certainly held when it is taken, beyond what the page holds:
    // `tested`, what an `<N %o>` before it takes in no block that does not
    // hold the way too, and what a `<N %o "label" t>` way takes itself.
    uint64_t held = 0;
};

struct Liveness {
    // live[p][2k] the held byte of object k, live[p][2k + 1] its value, at the
    // start of a build of paragraph p (a number object's two bytes go together):
    // the byte steers from p.
    std::vector<std::vector<bool>> live;
    // reads[p]: every byte paragraph p's own markup reads, to steer or to
    // show, in order.
    std::vector<std::vector<int>> reads;
    // The menu's pages and the description pages, reached from every page.
    std::vector<bool> side;
    // Paragraphs whose own markup overwrites a byte before any page ahead reads
    // it: the reduction relies on those tags running, so not while skipping.
    std::vector<bool> overwrites;
    // targets[p]: the paragraphs p's hotwords and arrows lead to.
    std::vector<std::vector<int>> targets;
    // blocks[p]: when paragraph p writes, saves and draws nothing and is made
    // of markup that reads no byte a block reads and top-level blocks
    // `<O cond>{...}`, each holding only text, breaks, `<l>` and hotwords and
    // ending on a break, and the markup before each block ends on a break
    // too: the bytes the markup outside the blocks reads, then those of each
    // block (no byte in two). Such a page builds as the outputs of its parts
    // one after another, each hanging only on its own bytes. Empty otherwise.
    std::vector<std::vector<std::vector<int>>> blocks;
    // mustHeld[p] bit k: text object k is held at the start of every build of
    // paragraph p in any state a reader reaches (a must-analysis over every
    // way into a page; see ComputeLiveness). Trusts a page's top-level `<N>`
    // to run, as `overwrites` does.
    std::vector<uint64_t> mustHeld;
    std::vector<Way> ways;  // of every paragraph
};

// From the book's markup and the reader's object table. The menu's pages
// (restart, objective, information, hints, credits) and the description pages
// are reachable from every page; what they read is left out when they change
// no object, since they then only show it and return to the same story state.
Liveness ComputeLiveness(const bookc::Book& book);

}  // namespace explore
