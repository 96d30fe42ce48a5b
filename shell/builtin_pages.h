#pragma once

#include <cstdint>

// Pages built by code through the page builder and the page controls: the
// intro sequence (3 "Presents", 2 title, 1 about the book), 4 instructions,
// 6 version and support, 7 sound settings; and the information and hints pages
// that stand in for paragraphs 6 and 7 when the book gives them no text.

// Builds the page named by pendingBuiltInPage and moves it on (intro pages
// leave the next one pending and start the 2-second timer).
void BuildBuiltInPage();
void BuildInformationPage();
void BuildHintsPage();

extern int32_t soundCheckBox;  // buttonWindows index of the sound page's check box
