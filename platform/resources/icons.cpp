// LoadIconW and LoadCursorW over the program's embedded resources.
//
// Implements: an icon by numeric resource id, one shared handle per icon for
// the life of the program; the arrow cursor (IDC_ARROW with no instance);
// ERROR_RESOURCE_NAME_NOT_FOUND for anything else.
//
// Leaves out: icons and cursors by name, drawing icons (an icon handle only
// names the resource: nothing in the device draws icons from handles),
// DestroyIcon.
//
// Differs: the handheld shows no cursor; the arrow cursor is a handle that
// draws nothing.
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

namespace resources {

std::shared_ptr<gdi::Surface> IconPicture(HICON icon) {
    for (const auto& [id, record] : Icons()) {
        Data data;
        if (static_cast<const void*>(&record) == static_cast<const void*>(icon) &&
            FindIconData(id, &data))
            return DecodeBmp(data.bytes, data.size);
    }
    return nullptr;
}

}  // namespace resources

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    static int arrow;
    if (instance || name != IDC_ARROW) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HCURSOR>(&arrow);
}
