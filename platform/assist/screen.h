// The screen as the keyboard and the voice see it: everything a person could
// tap, in the order the keyboard visits it, and the lines of text on the
// program's window. All of it is read from what the device shows (the
// windows, the chrome and the record of what was drawn), so it works for any
// program; the program is never asked.
#pragma once

#include <string>
#include <vector>

#include "windows.h"

namespace assist {

enum class Kind {
    Button,     // a push button or an owner-drawn button with words on it
    Picture,    // an owner-drawn button showing only a picture
    AnswerBox,  // an edit box
    CheckBox,
    BarButton,  // a button of the menu bar
    MenuItem,   // an item of the open pop-up menu
    BoxButton,  // a button of the message box on screen
};

struct Target {
    Kind kind = Kind::Button;
    HWND window = nullptr;  // the control; the bar, the menu or the box for the others
    int id = 0;             // control id, command, or the box button's answer
    std::u16string name;    // the words a person reads on it
    RECT rect{};            // screen pixels; a page control may lie out of view
    RECT view{};            // where it can be seen: its parent's client area on the screen
    bool shown = true;      // false for a page control hidden below the page's end
};

// The text of a window or control, as GetWindowTextW gives it.
std::u16string WindowText(HWND hwnd);

// Targets are the same thing from one screen to the next when these match.
bool SameTarget(const Target& a, const Target& b);
// A page control is in view when it shows wholly inside its parent's client
// area; the chrome's targets always are.
bool InView(const Target& t);
// What the voice says for it: "button: Speak to the old woman",
// "answer box, 11 letters", "menu: Information".
std::u16string Describe(const Target& t);

// What the keyboard visits now, in order: the items of an open menu; else the
// buttons of the message box on screen; else the page's choices, then the
// menu bar's buttons.
std::vector<Target> Targets();
// The page's choices: the program window's enabled controls in reading order,
// those scrolled out of view too.
std::vector<Target> PageTargets();

struct Line {
    int top = 0, bottom = 0;  // page pixels: screen rows plus the scroll position
    int left = 0, right = 0;
    std::u16string text;  // the runs of one row, joined
    bool title = false;   // drawn inverted: the page's highlighted title
};

struct PageView {
    HWND window = nullptr;    // the program's window, null when there is none
    int top = 0, bottom = 0;  // the rows of the page that can be seen, page pixels
    std::vector<Line> lines;  // wholly seen, in reading order, without the controls' words
    std::vector<HWND> controls;
};
PageView ReadPage();

// Lines of one paragraph run on with a blank between them; a gap taller than
// a line starts a new paragraph. Titles are left out.
std::vector<std::u16string> Paragraphs(const std::vector<Line>& lines);

}  // namespace assist
