#include "shell/rebuild.h"

#include "base/navigation_state.h"
#include "book/tables.h"
#include "book/text_store.h"
#include "page/builder.h"
#include "page/layout.h"
#include "script/engine.h"
#include "shell/builtin_pages.h"
#include "shell/navigation.h"

namespace {

void BuildPageContent() {
    const bool known = currentParagraph >= 1 && currentParagraph <= paragraphCount;
    if (known && paragraphTable[currentParagraph - 1].chunk == -1) {
        if (currentParagraph == PARAGRAPH_INFORMATION) {
            infoPageShowing = 1;
            BuildInformationPage();
        } else if (currentParagraph == PARAGRAPH_HINTS) {
            BuildHintsPage();
        } else {
            // Nothing leads to such a paragraph in a sound book; the text
            // assembled last is shown again rather than an empty page.
            ScanParagraph(paragraphText);
        }
    } else if (pendingBuiltInPage != NO_BUILT_IN_PAGE) {
        BuildBuiltInPage();
    } else {
        AssembleParagraph(currentParagraph, paragraphText);
        ScanParagraph(paragraphText);
    }
}

}  // namespace

void RebuildPage(HWND window) {
    ClearPage(window);
    BuildPageContent();
    UpdateIconBar(inStory ? 0 : 1, nextArrowMode, prevArrowMode);
}

void OnPaint(HWND window) {
    // Cleared before the rebuild, not after: a message box raised while the
    // page is built runs its own message loop, and a paint from that loop must
    // not start building the same page again.
    if (pageDirty) {
        pageDirty = 0;
        RebuildPage(window);
    }
    PaintPage(window);
}
