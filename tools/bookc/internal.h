// Shared between the compiler's own files; not part of its interface.
#pragma once

#include <string>
#include <vector>

#include "tools/bookc/bookc.h"

namespace bookc {

class Errors {
   public:
    Errors(const Book& book, std::vector<Diagnostic>& out) : book_(book), out_(out) {}
    void Add(Place place, std::string message);
    bool Any() const { return !out_.empty(); }

   private:
    const Book& book_;
    std::vector<Diagnostic>& out_;
};

// Checks the markup of one paragraph against the finished tables; fills its
// title and links.
void CheckParagraph(const Book& book, Paragraph& paragraph, Errors& errors);

// printf into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace bookc
