// What the book's source says that the reader's tables do not: the endings it
// marks, and what its markup does, read once before the search.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>

#include "tools/bookc/bookc.h"

namespace explore::detail {

struct StaticFacts {
    std::map<int, const bookc::Ending*> endings;
    // paragraph -> how many values the first random value its build draws
    // (`<R %o z>`) can give
    std::map<int, int> buildDraws;
    int DrawRange(int paragraph) const {  // 0 when the build draws nothing
        auto it = buildDraws.find(paragraph);
        return it == buildDraws.end() ? 0 : it->second;
    }
    std::map<int, std::set<int>> shownValues;  // paragraph -> objects an <l> shows
    // paragraph -> (first answer, first target) of each answer box written
    std::map<int, std::set<std::pair<std::string, int>>> answerBoxes;
    std::set<int> withText;
    std::set<int> saves;  // paragraphs that save a checkpoint
};

StaticFacts ReadFacts(const bookc::Book& book);

}  // namespace explore::detail
