// Scans arbitrary bytes as a paragraph: every tag, condition and hotword
// construct runs against the engine's test book, with the real page controls
// on the headless device. Each input starts from the page rebuild's own
// clearing, so the controls of the last input are destroyed and their
// numbering starts again from 0. The page list left must be one the layout
// can read safely.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "base/app_state.h"
#include "book/state.h"
#include "device/record.h"
#include "page/builder.h"
#include "page/controls.h"
#include "page/layout.h"
#include "script/engine.h"
#include "script/hotwords.h"
#include "shell/reader_state.h"
#include "support/page_host.h"

namespace {

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

bool IsRun(int32_t type) {
    return type == ItemText || type == ItemTitle;
}

void CheckPage() {
    Require(pageItemCount >= 0 && pageItemCount <= PAGE_ITEM_LIMIT);
    Require(poolUsed >= 0 && poolUsed <= PAGE_TEXT_POOL_SIZE);
    Require(hotwordCount >= 0 && hotwordCount <= HOTWORD_LIMIT);
    Require(buttonCount >= 0 && buttonCount <= CONTROL_SLOTS);
    Require(editBoxCount >= 0 && editBoxCount <= CONTROL_SLOTS);
    const char* end = pageTextPool + poolUsed;
    for (int i = 1; i <= pageItemCount; ++i) {
        const PageItem& item = pageItems[i];
        if (!IsRun(item.type)) continue;
        // Each run lies in the used pool with its terminator, and a run
        // always joins the one before it when that has its kind.
        Require(item.text >= pageTextPool && item.text < end);
        Require(std::memchr(item.text, '\0', static_cast<size_t>(end - item.text)) != nullptr);
        Require(i == 1 || pageItems[i - 1].type != item.type);
    }
}

}  // namespace

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
    ResetReader();
    ScanParagraph(text.c_str());
    CheckPage();
    device::MessageBoxLog().clear();
    device::SoundLog().clear();
    return 0;
}
