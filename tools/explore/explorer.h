// The explorer: walks every state a book can reach through the reader's own
// page build and choice resolution, headless and in-process, and reports what
// fails its readers (pages nothing reaches, dead ends, messages, outcomes that
// never come up, answer boxes never shown) with a path that shows each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/bookc/bookc.h"

namespace explore {

struct Options {
    size_t maxStates = 4000000;
    double maxSeconds = 1200;
    bool menu = true;  // side trips through the menu's pages and back
    // Takes first the states of paragraphs met least often, instead of
    // breadth-first: a bounded run then reaches far more of the book, but a
    // path found is no longer the shortest.
    bool novelty = false;
    bool lintsWarnOnly = false;  // the lints are reported but do not make the report fail
    // Tells states apart by everything, checkpoint slots and object bytes no
    // page ahead reads included: far more states, for checking the reduction.
    bool exact = false;
};

// One thing the reader does.
struct Step {
    enum Kind : uint8_t { Tap, Answer, Command } kind = Tap;
    int16_t id = 0;     // control id, or the menu or icon bar command
    int roll = 0;       // a chance hotword's forced roll (1 to rollRange), 0 for none
    int rollHigh = 0;   // the last roll giving the same outcome
    int rollRange = 0;  // 20 or 100
    // The value (0 to drawRange - 1) the build of the page this step is taken
    // on drew with `<R %o z>`, -1 for none.
    int draw = -1;
    int drawRange = 0;
    std::string text;  // the button's caption, the typed answer or the command's name
};
using Path = std::vector<Step>;

struct Finding {
    int paragraph = 0;
    std::string what;
    std::string state;  // the objects and checkpoints when it happened
    Path path;          // from a fresh start at paragraph 2
    // For an alarm of a page built alone, the list it would belong to (the
    // JSON name: "messages", "deadEnds", "unheldValues", ...).
    std::string kind;
};

struct EndingReached {
    int paragraph = 0;
    std::string name;
    bool good = false;
    bool reached = false;
    Path path;  // the shortest, when reached
};

struct Report {
    std::vector<int> reached, unreached;  // paragraphs with text
    std::vector<EndingReached> endings;
    std::vector<Finding> deadEnds, messages, unheldValues, unstablePages, hopelessCheckpoints,
        impossibleOutcomes, unreachableAnswers;
    // Pages reading too many bytes the key leaves out to be built under every
    // combination of their values: what they show is not proven.
    std::vector<int> unchecked;
    // Each page built alone under every value of each byte its markup reads:
    // a message or a story page with no way on there may belong to no state a
    // reader reaches; none there means none in any state.
    std::vector<Finding> pageAlarms;
    size_t pagesChecked = 0;
    // Pages saving a checkpoint from which every state has a good ending
    // ahead, proven without the search; and those it cannot show that for,
    // each with why (a counterexample, or the budget).
    std::vector<int> checkpointsProven;
    std::vector<Finding> checkpointsUnproven;
    size_t states = 0, edges = 0;
    double seconds = 0;
    std::string cutShort;  // why the search stopped early; empty when it finished
    bool lintsWarnOnly = false;
    // Nothing wrong found. Of a search cut short, only what was found counts:
    // what was not reached (pages, endings, answer boxes, a good ending after
    // a checkpoint) is not judged.
    bool Clean() const;
    // Each class of fault that is neither proven absent for every state a
    // reader can reach nor, for what must exist, witnessed whole: its list's
    // title and why. Empty when every class is judged.
    std::vector<std::string> NotJudged() const;
};

// The book's source is read for what the tables do not hold: the endings it
// marks, its titles and the markup the static checks look for.
Report Explore(const bookc::Book& book, const Options& options);

std::string FormatText(const Report& report);
std::string FormatJson(const Report& report);

// A device script replaying `path` on the reader from a fresh start; `clock`
// receives the --clock value whose rolls give the path's chance outcomes
// (0 when it needs none). False when no clock value gives them.
bool WalkthroughScript(const Path& path, std::string& script, uint32_t& clock);

// Builds paragraph `paragraph` as a story page under the state written in
// `stateText` (lines "object K held H value V") and saves the screen as a PNG
// file and its dump. Returns false with `error` set when it cannot.
bool Preview(int paragraph, const std::string& stateText, const std::string& pngPath,
             std::string& dump, std::string& error);

}  // namespace explore
