// Scans arbitrary bytes as a paragraph: every tag, condition and hotword
// construct runs against the engine's test book with the recording controls.
#include <cstddef>
#include <cstdint>
#include <string>

#include "book/state.h"
#include "device/record.h"
#include "page/builder.h"
#include "script/engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte chooses which objects are held, so conditions take both ways.
    std::string text(reinterpret_cast<const char*>(data), size);
    ResetBookState();
    if (!text.empty()) {
        for (int k = 0; k < objectCount && k < 8; ++k) SetObjectHeld(k, (text[0] >> k) & 1);
        text.erase(0, 1);
    }
    ClearPageBuilder();
    titleMode = 0;
    ScanParagraph(text.c_str());
    device::MessageBoxLog().clear();
    device::SoundLog().clear();
    return 0;
}
