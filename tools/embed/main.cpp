// embed: turns a resource folder into C++ source for the platform's resource
// lookup (platform/resources/resources.h). A host tool run by the build.
//
//   embed --dir <folder> --out <file.cpp>
//
// The folder holds
//   bitmaps/<id>.bmp    bitmap resources, named by their numeric id
//   sounds/<NAME>.wav   WAVE resources, named by their resource name
//   icons/<id>.bmp      the application icon's picture, by icon id
//   resources.txt       the definitions below (optional)
// Every such file is embedded. The output is rewritten only when its text
// changes, so an unchanged folder rebuilds nothing.
//
// resources.txt holds one statement a line; '#' starts a comment outside a
// quoted string; numbers are decimal or 0x hexadecimal; quoted strings are
// UTF-8 with \" \\ \n \t escapes.
//
//   bitmap 421                 the bitmap must exist as bitmaps/421.bmp
//   bitmap 1701-1738           a range: every id in it must exist
//   sound Gong                 sounds/Gong.wav must exist
//   icon 420                   icons/420.bmp must exist
//   string 411 "Menu"          a string table entry
//
//   menu 102                   a menu: its pop-ups, in order (index 0, 1, ...)
//     popup "&Menu"
//       item 500 "Start at the &Beginning"
//       item 504 "&Sounds" checked       (flags: grayed, checked)
//       separator
//     end
//   end
//
//   menubar 102 menu 102       an icon bar definition and the menu it opens
//     #      image  command  state  style  caption  submenu
//     button none   401      4      0x18   411      0
//     button 0      513      4      0x10   0        none
//   end
//
// In a button, image is an index in the bar's image strip or "none"
// (I_IMAGENONE); state and style are TBSTATE_/TBSTYLE_ bits; caption is a
// string id (0 for none); submenu is the index of a pop-up of the bar's menu
// or "none" (NOMENU: the button sends its command).
//
// A statement that cannot be read, a file that a statement names but that is
// missing, a menu bar naming an unknown menu, pop-up or string, a duplicate
// id, or a file in bitmaps/, sounds/ or icons/ whose name is not a resource
// name, is an error: "file:line: message" on stderr and exit status 1.
#include <cstdio>
#include <fstream>
#include <string>

#include "embed.h"

using namespace embed;

int main(int argc, char** argv) {
    std::string dir, out;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string flag = argv[i];
        if (flag == "--dir")
            dir = argv[i + 1];
        else if (flag == "--out")
            out = argv[i + 1];
    }
    if (dir.empty() || out.empty()) {
        std::fprintf(stderr, "usage: embed --dir <resource folder> --out <file.cpp>\n");
        return 2;
    }
    try {
        fs::path root(dir);
        if (!fs::is_directory(root)) throw Failure{dir + ": is not a folder"};
        std::vector<File> bitmaps = Collect(root / "bitmaps", ".bmp", true);
        std::vector<File> sounds = Collect(root / "sounds", ".wav", false);
        std::vector<File> icons = Collect(root / "icons", ".bmp", true);
        Definitions defs;
        if (fs::exists(root / "resources.txt"))
            defs = embed::ParseDefinitions((root / "resources.txt").string(),
                                           embed::ReadAll(root / "resources.txt"), bitmaps, sounds,
                                           icons);
        std::string text = Generate(root, bitmaps, sounds, icons, defs);
        std::string old;
        if (fs::exists(out)) old = ReadAll(out);
        if (old != text) {
            std::string temporary = out + ".tmp";
            {
                std::ofstream f(temporary, std::ios::binary);
                f << text;
                if (!f) throw Failure{out + ": cannot be written"};
            }
            fs::rename(temporary, out);
        }
    } catch (const Failure& f) {
        std::fprintf(stderr, "%s\n", f.message.c_str());
        return 1;
    } catch (const fs::filesystem_error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
