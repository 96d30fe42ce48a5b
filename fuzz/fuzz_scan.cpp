// Scans arbitrary bytes as a paragraph: every tag, condition and hotword
// construct runs against the engine's test book, with the real page controls
// on the headless device. Each input starts from the page rebuild's own
// clearing, so the controls of the last input are destroyed and their
// numbering starts again from 0.
#include <cstddef>
#include <cstdint>
#include <string>

#include "book/state.h"
#include "device/record.h"
#include "page/builder.h"
#include "page/layout.h"
#include "script/engine.h"
#include "shell/app_state.h"
#include "support/page_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool opened = (OpenPageHost(), true);
    (void)opened;
    // The first byte chooses which objects are held, so conditions take both ways.
    std::string text(reinterpret_cast<const char*>(data), size);
    ResetBookState();
    if (!text.empty()) {
        for (int k = 0; k < objectCount && k < 8; ++k) SetObjectHeld(k, (text[0] >> k) & 1);
        text.erase(0, 1);
    }
    ClearPage(mainWindow);
    builderBold = 0;
    titleMode = 0;
    skipCount = 0;
    ScanParagraph(text.c_str());
    device::MessageBoxLog().clear();
    device::SoundLog().clear();
    return 0;
}
