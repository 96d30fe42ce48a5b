// GetLastError and SetLastError: the calling thread's last error code.
//
// Implements: one code per thread, ERROR_SUCCESS at the start; the device's
// calls set it when they fail and leave it alone when they succeed, so a
// caller reads it only after a failure.
//
// Leaves out: FormatMessage and the codes' texts.
//
// Differs: nothing known.
#include "winbase.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

DWORD GetLastError() {
    return lastError;
}
void SetLastError(DWORD error) {
    lastError = error;
}
