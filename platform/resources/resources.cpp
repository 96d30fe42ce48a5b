// Lookup in the registered resource tables.
#include "resources/resources.h"

#include <vector>

#include "winbase.h"

namespace resources {
namespace {

std::vector<const Table*>& Tables() {
    static std::vector<const Table*> tables;
    return tables;
}

char16_t Fold(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}

bool SameName(std::u16string_view a, const char16_t* b) {
    size_t i = 0;
    for (; i < a.size(); ++i)
        if (b[i] == 0 || Fold(a[i]) != Fold(b[i])) return false;
    return b[i] == 0;
}

bool ById(const FileEntry* entries, size_t count, uint16_t id, Data* out) {
    for (size_t i = 0; i < count; ++i)
        if (entries[i].id == id) {
            *out = Data{entries[i].data, entries[i].size};
            return true;
        }
    return false;
}

}  // namespace

void Register(const Table* table) {
    if (table) Tables().insert(Tables().begin(), table);
}

bool FindBitmapData(uint16_t id, Data* out) {
    for (const Table* t : Tables())
        if (ById(t->bitmaps, t->bitmapCount, id, out)) return true;
    return false;
}

bool FindIconData(uint16_t id, Data* out) {
    for (const Table* t : Tables())
        if (ById(t->icons, t->iconCount, id, out)) return true;
    return false;
}

bool FindSoundData(std::u16string_view name, Data* out) {
    for (const Table* t : Tables())
        for (size_t i = 0; i < t->soundCount; ++i)
            if (SameName(name, t->sounds[i].name)) {
                *out = Data{t->sounds[i].data, t->sounds[i].size};
                return true;
            }
    return false;
}

const char16_t* FindString(uint16_t id) {
    for (const Table* t : Tables())
        for (size_t i = 0; i < t->stringCount; ++i)
            if (t->strings[i].id == id) return t->strings[i].text;
    return nullptr;
}

const Menu* FindMenu(uint16_t id) {
    for (const Table* t : Tables())
        for (size_t i = 0; i < t->menuCount; ++i)
            if (t->menus[i].id == id) return &t->menus[i];
    return nullptr;
}

const MenuBar* FindMenuBar(uint16_t id) {
    for (const Table* t : Tables())
        for (size_t i = 0; i < t->menuBarCount; ++i)
            if (t->menuBars[i].id == id) return &t->menuBars[i];
    return nullptr;
}

}  // namespace resources
