// The resource embedder's work, apart from its command line: reading the
// definitions of resources.txt, finding a folder's resource files and writing
// the C++ source that registers them (the format is described in main.cpp).
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace embed {

namespace fs = std::filesystem;

// Every refusal: "file:line: message" (or "path: message").
struct Failure {
    std::string message;
};

struct File {
    std::string key;  // id as text, or the sound's name
    fs::path path;
};

struct Item {
    long command = 0;
    std::u16string text;
    int flags = 0;
};
struct Popup {
    std::u16string caption;
    std::vector<Item> items;
};
struct Menu {
    long id = 0;
    std::vector<Popup> popups;
    std::string where;
};
struct Button {
    long image = 0, command = 0, state = 0, style = 0, caption = 0, subMenu = 0;
    std::string where;
};
struct MenuBar {
    long id = 0, menu = 0;
    std::vector<Button> buttons;
    std::string where;
};

struct Definitions {
    std::map<long, std::u16string> strings;
    std::vector<Menu> menus;
    std::vector<MenuBar> menuBars;
};

// Reads definitions from `text` (`name` is used in messages): the files that
// statements name must be in the lists. Throws Failure.
Definitions ParseDefinitions(const std::string& name, const std::string& text,
                             const std::vector<File>& bitmaps, const std::vector<File>& sounds,
                             const std::vector<File>& icons);

// Files of one kind in a sub-folder, by their resource name. Throws Failure.
std::vector<File> Collect(const fs::path& folder, const std::string& extension, bool numeric);

std::string ReadAll(const fs::path& p);

// The C++ source that embeds the files and definitions of folder `dir`.
std::string Generate(const fs::path& dir, const std::vector<File>& bitmaps,
                     const std::vector<File>& sounds, const std::vector<File>& icons,
                     const Definitions& defs);

}  // namespace embed
