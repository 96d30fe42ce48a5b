#include "web/voice.h"

extern "C" {
void fv_say(const char* text);
void fv_stop_saying();
}

namespace web {

void Voice::Say(const std::string& text) {
    fv_say(text.c_str());
}

void Voice::Stop() {
    fv_stop_saying();
}

}  // namespace web
