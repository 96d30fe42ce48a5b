#pragma once

#include <type_traits>

#include "base/navigation_state.h"
#include "script/engine.h"

// What the reader carries from one page to the next besides the book's
// objects and checkpoints: the navigation state and the flags a page build
// leaves for the next. One record, so that the tools and tests that save,
// set or compare it list its fields nowhere else.
struct ReaderState {
    NavigationState navigation;
    CarriedFlags flags;
};

// No padding: a record's bytes are its value, to compare or hash.
static_assert(std::has_unique_object_representations_v<ReaderState>);

ReaderState CaptureReaderState();
void RestoreReaderState(const ReaderState& state);
// Paragraph 2 as a story page with no built-in page pending, every carried
// flag cleared. The book's objects and checkpoints are left as they are.
void ResetReader();
