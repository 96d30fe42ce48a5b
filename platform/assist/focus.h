// The keyboard's focus: the thing on the screen that Enter or Space taps,
// moved by Tab and Shift+Tab through assist::Targets() in their order. The
// device draws a ring around it; the program never knows of it (a tap is a
// stylus tap, a scroll into view is what the scroll bar's arrows send).
//
// It follows the screen: an open menu takes it to its first item, a message
// box to its default button; closing them gives it back to the page; a new
// page takes it to its first choice in view (or to nothing). A control the
// stylus gives the program's focus takes it too.
#pragma once

#include "assist/screen.h"

namespace assist {

class Focus {
   public:
    // Called on every new screen, after the page tracker has looked at it.
    void Update(bool freshPage);

    // The ring shows (and the dump lists it) once the keyboard has moved it
    // or the voice is on; until then Enter and Space go to the program.
    bool Shown() const { return shown_; }
    // Shows it where it is (the voice then says where).
    void Show();

    // Where it is; null when on nothing.
    const Target* Current() const { return has_ ? &current_ : nullptr; }
    // Tab (+1) and Shift+Tab (-1), wrapping; the new target is scrolled into view.
    void Move(int step);
    // Taps the target as the stylus would (an answer box is entered: it takes
    // the typing); false when the ring is on nothing.
    bool Tap();
    // The ring is on an answer box that has the program's focus: the box
    // takes the keys (Enter and Tab confirm it there, as on the handheld).
    bool InAnswerBox() const;
    // Leaves the answer box; the ring stays on it.
    void Leave() { entered_ = false; }
    bool Entered() const { return entered_; }
    // True once after the ring moved: the voice says where it is.
    bool TakeMoved();

   private:
    enum class Context { Page, Menu, Box };
    void Set(const Target* t);
    Context context_ = Context::Page;
    bool shown_ = false;
    bool has_ = false;
    Target current_;
    bool savedHas_ = false;  // the page's target while a menu or box is in front
    Target saved_;
    bool entered_ = false;
    bool moved_ = false;
    HWND programFocus_ = nullptr;
};

// Scrolls the program's window, a line at a time as the scroll bar's arrows
// do, until the control is wholly in view or the page can scroll no further.
void Reveal(const Target& t);

}  // namespace assist
