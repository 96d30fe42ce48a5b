// Everything the reader's code may call of the handheld's system services.
#pragma once

#include "aygshell.h"
#include "mmsystem.h"
#include "winbase.h"
#include "windef.h"
#include "wingdi.h"
#include "winuser.h"

// The program's entry, defined by the program and called by the device's
// start-up code with an empty command line.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);
