// GetVersionExW: the system's version.
//
// Implements: the handheld's answer, Windows CE 4.20 (Pocket PC 2003), on
// the CE platform id, with an empty service pack text; a structure whose size
// field is not OSVERSIONINFOW's is refused (ERROR_INSUFFICIENT_BUFFER when
// smaller, ERROR_INVALID_PARAMETER when larger or for a null pointer).
//
// Leaves out: GetVersionExA and the extended structure.
//
// Differs: nothing known.
#include "winbase.h"

BOOL GetVersionExW(LPOSVERSIONINFOW info) {
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW)) {
        SetLastError(info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOW) ? ERROR_INSUFFICIENT_BUFFER
                                                                        : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    info->dwMajorVersion = 4;
    info->dwMinorVersion = 20;
    // The build number of the first Pocket PC 2003 release; nothing reads it.
    info->dwBuildNumber = 1081;
    info->dwPlatformId = VER_PLATFORM_WIN32_CE;
    for (WCHAR& c : info->szCSDVersion) c = 0;
    return TRUE;
}
