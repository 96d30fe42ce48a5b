// What the window module settles with the libraries under SDL: the services
// they would start for things the reader never uses, and the end of the
// program when the display goes away.
#pragma once

#include <string>
#include <vector>

namespace sdl {

// While it lives, the libraries under SDL skip what the reader does not use
// (each setting only where the person has not made it):
// - the keyboard's compose table, which the X library otherwise reads and
//   parses at every start (a large part of the window's start-up): the
//   reader's typed answers are plain letters, so the Compose key and dead
//   keys compose nothing in its window unless the person names a table
//   (XCOMPOSEFILE, or ~/.XCompose);
// - a session bus where there is none: D-Bus would otherwise try to launch
//   one (SDL asks it for an input method and to hold off the screen saver).
// The settings are undone when it ends, so that no other process inherits
// them.
class QuietStart {
   public:
    QuietStart();
    ~QuietStart();
    QuietStart(const QuietStart&) = delete;
    QuietStart& operator=(const QuietStart&) = delete;

   private:
    std::vector<const char*> set_;  // the variables set here
};

// From now on, a display connection that breaks (the X server ended, say)
// ends the program with one line on stderr, "<program>: the display <name>
// closed the connection", and status 1, instead of the X library's own
// message and an exit that other threads of the program are still running
// through.
void EndOnLostDisplay(const std::string& program);

}  // namespace sdl
