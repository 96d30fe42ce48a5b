// The program's resources, embedded at build time by tools/embed (see
// fernvale_resources() in tools/embed/CMakeLists.txt for how a folder becomes
// a resource library, and tools/embed/main.cpp for the definition file's
// form). Internal to the platform: the device code reads the menu bar and
// menu definitions, the sound code the WAVE bytes, the window code the icon
// and strings. The reader's code reaches resources only through the Win32
// calls (LoadBitmapW, PlaySoundW, LoadIconW, ...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "gdi/surface.h"
#include "windef.h"

namespace resources {

// --- The generated tables ---------------------------------------------------

struct FileEntry {
    uint16_t id;           // bitmaps and icons; 0 for sounds
    const char16_t* name;  // sounds; null for bitmaps and icons
    const unsigned char* data;
    size_t size;
};

struct StringEntry {
    uint16_t id;
    const char16_t* text;
};

// Menu item flags.
constexpr uint16_t kItemSeparator = 0x0800;  // MF_SEPARATOR's value
constexpr uint16_t kItemGrayed = 0x0001;     // MF_GRAYED
constexpr uint16_t kItemChecked = 0x0008;    // MF_CHECKED

struct MenuItem {
    uint16_t command;      // WM_COMMAND id; 0 for a separator
    const char16_t* text;  // with its '&' prefix marks; empty for a separator
    uint16_t flags;
};

struct MenuPopup {
    const char16_t* caption;
    const MenuItem* items;
    uint16_t count;
};

struct Menu {
    uint16_t id;
    const MenuPopup* popups;
    uint16_t count;
};

constexpr int16_t kImageNone = -2;    // I_IMAGENONE: a text-only button
constexpr uint16_t kNoMenu = 0xFFFF;  // NOMENU: the button sends its command
struct MenuBarButton {
    int16_t image;     // index in the bar's image strip, or kImageNone
    uint16_t command;  // sent in WM_COMMAND
    uint8_t state;     // TBSTATE_* bits
    uint8_t style;     // TBSTYLE_* bits
    uint16_t caption;  // string table id of the caption, 0 for none
    uint16_t subMenu;  // index of the pop-up in the bar's menu, or kNoMenu
};

struct MenuBar {
    uint16_t id;
    uint16_t menu;  // id of the menu whose pop-ups the buttons open
    const MenuBarButton* buttons;
    uint16_t count;
};

struct Table {
    const char* source;  // the folder the table was made from
    const FileEntry* bitmaps;
    size_t bitmapCount;
    const FileEntry* sounds;
    size_t soundCount;
    const FileEntry* icons;
    size_t iconCount;
    const StringEntry* strings;
    size_t stringCount;
    const Menu* menus;
    size_t menuCount;
    const MenuBar* menuBars;
    size_t menuBarCount;
};

// Called by the generated code's static initializer. Tables registered later
// are searched first, so a test's own resources can stand in for the program's.
void Register(const Table* table);

// --- Lookup ------------------------------------------------------------------

struct Data {
    const unsigned char* bytes = nullptr;
    size_t size = 0;
};

// A whole BMP file (with its file header) by bitmap id.
bool FindBitmapData(uint16_t id, Data* out);
// A whole WAVE file by resource name (matched case-insensitively).
bool FindSoundData(std::u16string_view name, Data* out);
// The application icon's picture (a BMP file) by id.
bool FindIconData(uint16_t id, Data* out);
// The picture of an icon LoadIconW gave, or null.
std::shared_ptr<gdi::Surface> IconPicture(HICON icon);
// A string table entry, or null.
const char16_t* FindString(uint16_t id);
const Menu* FindMenu(uint16_t id);
const MenuBar* FindMenuBar(uint16_t id);

// Decodes an uncompressed BMP file (1, 4, 8, 24 or 32 bits) into 0x00RRGGBB
// pixels, or null when it is not a BMP that can be read. `bitsPerPixel` receives the
// file's own depth.
std::shared_ptr<gdi::Surface> DecodeBmp(const unsigned char* bytes, size_t size,
                                        int* bitsPerPixel = nullptr);

}  // namespace resources
