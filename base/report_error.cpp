#include "base/report_error.h"

#include <cstdarg>
#include <cstdio>

#include "windows.h"

namespace {
constexpr int REPORT_BUFFER = 100;  // 16-bit characters, terminator included
}

void ReportError(const char* message) {
    WCHAR wide[REPORT_BUFFER];
    int i = 0;
    // Widened one byte at a time; a longer message is cut rather than written
    // past the buffer.
    for (; message && message[i] != '\0' && i < REPORT_BUFFER - 1; ++i)
        wide[i] = static_cast<unsigned char>(message[i]);
    wide[i] = 0;
    MessageBoxW(nullptr, wide, nullptr, MB_OK);
}

void ReportErrorF(const char* format, ...) {
    char text[REPORT_BUFFER];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    ReportError(text);
}
