// The device's voice: what it says as the screen changes, gathered piece by
// piece while the device looks at a new screen and then said as one
// utterance, which stops whatever was still being said. Headless runs keep a
// log of the pieces instead of a sound (the screen dump lists them).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "assist/screen.h"
#include "assist/speech.h"

namespace assist {

class Voice {
   public:
    void SetSpeaker(std::unique_ptr<Speaker> speaker) { speaker_ = std::move(speaker); }
    void SetLogging(bool on) { logging_ = on; }
    void SetOn(bool on);
    bool On() const { return on_; }

    void Add(const std::u16string& piece);
    // Says what was added since the last time, if anything.
    void Flush();
    // The pieces said since the log was last taken.
    std::vector<std::u16string> TakeLog();

   private:
    std::unique_ptr<Speaker> speaker_;
    bool on_ = false;
    bool logging_ = false;
    std::vector<std::u16string> pending_;
    std::vector<std::u16string> log_;
};

// A page as it is said: its title, its text (paragraph by paragraph, without
// the words on its buttons), then how many choices it has.
std::vector<std::u16string> PagePieces(const std::vector<Line>& lines, size_t choices);

}  // namespace assist
