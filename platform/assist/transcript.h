// The transcript: every page a person reads, appended to a text file as it
// is left (or when the program ends): its title, its text paragraph by
// paragraph as far as it was seen, and the choice that left it, then a blank
// line.
//
//   Welcome to Fernvale
//   Fernvale Adventure A valley is drying up, and someone must walk ...
//   > Begin the journey
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "assist/screen.h"

namespace assist {

class Transcript {
   public:
    ~Transcript() { Close(); }
    // Appends to `path` from now on; false with the reason when it cannot.
    bool Open(const std::string& path, std::string* error);
    bool IsOpen() const { return file_ != nullptr; }
    // A new page: the one before is written.
    void Page(const std::vector<Line>& lines);
    // Lines of the same page come into view.
    void More(const std::vector<Line>& lines);
    // What the person chose on this page (the last choice counts).
    void Chose(const std::u16string& what) { choice_ = what; }
    // Writes the page on screen and closes the file.
    void Close();

   private:
    void Write();
    std::FILE* file_ = nullptr;
    std::vector<Line> lines_;
    std::u16string choice_;
};

}  // namespace assist
