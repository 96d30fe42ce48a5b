// The device's voice in the browser: the browser's own speech synthesis.
#pragma once

#include <string>

#include "assist/speech.h"

namespace web {

class Voice : public assist::Speaker {
   public:
    void Say(const std::string& text) override;
    void Stop() override;
};

}  // namespace web
