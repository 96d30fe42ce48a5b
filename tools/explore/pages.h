// The reader driven a page at a time on the headless device (host.h): a
// state put into its globals, its page built by its own rebuild, what the
// page offers, and each choice carried out by its own window procedure and
// choice resolution.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "script/hotwords.h"
#include "tools/explore/explorer.h"
#include "tools/explore/facts.h"
#include "tools/explore/state.h"

namespace explore::detail {

// Something a page offers, with whether it leads on through the story.
struct Action {
    Step step;
    bool wayOn = false;  // for a story page: leads somewhere but the menu's pages
    bool story = false;  // a move within the story, not through the menu
};

class Pages {
   public:
    Pages(const StaticFacts& facts, bool menu) : facts_(facts), menu_(menu) {}

    void Restore(StateView state) const { detail::Restore(state, snapshots_); }
    std::string Capture() { return detail::Capture(snapshots_); }
    // Restores `state` and builds its page, its draw forced to `draw` (0 to
    // drawRange - 1; -1 for none): the messages the build raised.
    std::vector<std::string> Build(StateView state, int draw = -1, int drawRange = 0) const;
    // Everything the page built last offers.
    std::vector<Action> Actions() const;
    void Perform(const Step& step) const;
    // The text objects whose value the page of `pre` shows with <l> while the
    // reader holds them neither before its build nor after it (`post`).
    std::vector<int> ShownUnheld(StateView pre, StateView post) const;

   private:
    void HotwordActions(std::vector<Action>& actions) const;
    void CommandActions(std::vector<Action>& actions) const;

    const StaticFacts& facts_;
    bool menu_;
    SnapshotTable snapshots_;
};

// The lint on a story page built again.
inline const char* const kUnstable =
    "shows other text or choices when built again with no choice taken: its own tags change "
    "what its conditions read";

// Makes the reader's next roll of 1 to `range` give `roll`.
void ForceRoll(int range, int roll);

// The roll bands of a chance hotword: the first and last roll of each
// outcome, with the outcome's target (paragraph number minus one).
struct Band {
    int low, high;
    int16_t target;
};
std::vector<Band> RollBands(const HotwordRecord& r, int& range);
// What a chance hotword declares but no roll gives, for a reader of the
// report; empty when every outcome comes up.
std::string NeverComesUp(const HotwordRecord& r);

std::string ButtonText(int16_t id);
// What the page built last shows and offers, to compare two builds.
std::string PageSignature();
// Whether the hotword table is the page's: a page built by code leaves the
// last paragraph's.
bool PageScanned();
// Every value a page may meet in object byte `b`: held or not for a held
// byte; for a value byte the object's range below `below`, or `start` (its
// start value) when the range is empty.
std::vector<uint8_t> EveryValue(int b, uint8_t start, int below);

}  // namespace explore::detail
