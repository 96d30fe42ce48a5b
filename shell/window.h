#pragma once

#include <cstdint>

#include "windows.h"

// The main window: its class, its creation and its procedure, which follows
// the input panel, scrolls the page and carries out the menu, icon bar and
// page control commands.

constexpr int ANSWER_TEXT_SIZE = 200;
extern char answerText[ANSWER_TEXT_SIZE];  // the answer just confirmed, one byte a character

void RegisterMainWindowClass(HINSTANCE instance);
void CreateMenuBar(HWND window);
LRESULT OnCreate(HWND window);
LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
