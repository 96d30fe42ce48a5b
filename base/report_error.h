#pragma once

#include "windows.h"

// Shows a book-data or markup error in a message box with no owner, no caption
// and an OK button; the caller carries on once it is dismissed. Texts longer
// than the 99 characters the box's buffer holds are cut there.
void ReportError(const char* message);

// Formats with printf conventions, then reports; the text is cut at 99 characters.
void ReportErrorF(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A failure of the platform while drawing (a bitmap that does not load or
// cannot be measured, a delete or a move that fails) is fetched and ignored:
// the page draws on without it, and nothing reaches the reader.
inline void IgnoreDrawingFailure() {
    GetLastError();
}
