// LoadIconW, LoadCursorW and LoadStringW over the embedded resources. An icon handle only
// names the resource: nothing in the device draws icons from handles.
#include <cstring>
#include <map>

#include "resources/resources.h"
#include "winbase.h"
#include "winuser.h"

namespace {

struct IconRecord {
    uint16_t id;
};

std::map<uint16_t, IconRecord>& Icons() {
    static std::map<uint16_t, IconRecord> icons;
    return icons;
}

}  // namespace

HICON LoadIconW(HINSTANCE, LPCWSTR name) {
    const auto value = reinterpret_cast<uintptr_t>(name);
    resources::Data data;
    if (!name || value > 0xFFFF || !resources::FindIconData(static_cast<uint16_t>(value), &data)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    // One record per icon for the life of the program, as shared icons are.
    IconRecord& record = Icons()[static_cast<uint16_t>(value)];
    record.id = static_cast<uint16_t>(value);
    return reinterpret_cast<HICON>(&record);
}

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    static int arrow;
    if (instance || name != IDC_ARROW) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HCURSOR>(&arrow);
}

BOOL DestroyIcon(HICON icon) {
    for (auto& entry : Icons())
        if (reinterpret_cast<HICON>(&entry.second) == icon) return TRUE;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

int LoadStringW(HINSTANCE, UINT id, LPWSTR buffer, int bufferMax) {
    const char16_t* text =
        id <= 0xFFFF ? resources::FindString(static_cast<uint16_t>(id)) : nullptr;
    if (!text || !buffer) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    int length = 0;
    while (text[length]) ++length;
    if (bufferMax == 0) {
        *reinterpret_cast<const WCHAR**>(buffer) = text;
        return length;
    }
    if (bufferMax < 0) return 0;
    const int copied = length < bufferMax - 1 ? length : bufferMax - 1;
    std::memcpy(buffer, text, static_cast<size_t>(copied) * sizeof(WCHAR));
    buffer[copied] = 0;
    return copied;
}
