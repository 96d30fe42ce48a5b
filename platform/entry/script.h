// Device scripts: a person's use of the device, one command a line, run by
// the headless backend whenever the program waits for input.
//
//   wait MS          let device time pass (timers fire on the way)
//   tap X Y          a stylus tap at a screen pixel
//   drag X Y X Y...  the stylus pressed at the first pixel, moved through the
//                    others, lifted at the last
//   press ID         tap the visible control or menu bar button with that id
//   menu ID          open the menu holding that item and choose it
//   key NAME         UP DOWN LEFT RIGHT PRIOR NEXT HOME END RETURN TAB SPACE
//                    ESCAPE F2 F3 F10 ALT MENU PLUS MINUS, with SHIFT+ or
//                    CTRL+ in front for a key held with it; or one character
//   wheel N          turn the mouse wheel N notches (negative: up) over the page
//   type TEXT        the rest of the line, character by character
//   answer OK|YES|NO tap that button of the message box on screen
//   sip on|off       show or hide the input panel
//   dump             print the screen dump (entry/dump.h) on stdout
//   shot FILE        save the screen as a PNG file
//   exit             close the program as a person would; later lines are
//                    not run
//
// A '#' at the start of a line or after a blank starts a comment. When the
// script has run out, the program is closed normally. Every problem is
// reported as "FILE:LINE: message": commands that cannot be read are found
// before the program starts; commands that cannot be carried out (no such
// control, no message box to answer) stop the process with exit code 1.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace device {

struct ScriptCommand {
    int line = 0;
    std::string name;  // the command word
    std::vector<std::string> args;
    std::string rest;  // the text after the command word (for type)
    uint32_t number = 0;
    int x = 0, y = 0;
};

struct Script {
    std::string file;  // as given, for messages
    std::vector<ScriptCommand> commands;
};

// Reads a script from text; false with "FILE:LINE: message" in `error`.
bool ParseScript(const std::string& file, const std::string& text, Script* out, std::string* error);
// Reads a script file; false with a message for a file that cannot be read.
bool LoadScript(const std::string& path, Script* out, std::string* error);

// How a failed command is reported: the default writes the message to
// stderr and ends the process with exit code 1.
void SetScriptFailureHandler(std::function<void(const std::string&)> fail);

// Queues the script's commands as steps of the headless backend. Dumps are
// written with `print` (stdout by default).
void QueueScript(const Script& script, std::function<void(const std::string&)> print = nullptr);
// Carries out one command now (QueueScript runs each when the program waits;
// a test that drives the program itself calls this). Dumps go to `print`.
void RunCommand(const Script& script, const ScriptCommand& command,
                const std::function<void(const std::string&)>& print = nullptr);
// After the program has ended: the first command that was never run (0 when
// all ran or `exit` ended the script).
int UnfinishedScriptLine();

}  // namespace device
