#pragma once

#include <cstdint>

#include "windows.h"

// The main window: its class, its creation and its procedure, which follows
// the input panel, scrolls the page and carries out the menu, icon bar and
// page control commands.

// The class name: also how a second copy finds the first.
constexpr const char16_t* MAIN_WINDOW_CLASS = u"QOT1Fernvale";

constexpr int ANSWER_TEXT_SIZE = 200;
extern char answerText[ANSWER_TEXT_SIZE];  // the answer just confirmed, one byte a character

constexpr int WINDOW_TITLE_SIZE = 100;
extern WCHAR windowTitle[WINDOW_TITLE_SIZE];  // the book's title, widened for the caption

// The height of the page area the input panel leaves visible.
int PageHeightFor(const SIPINFO& panel);
void RegisterMainWindowClass(HINSTANCE instance);
void CreateMenuBar(HWND window);
LRESULT OnCreate(HWND window);
LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
