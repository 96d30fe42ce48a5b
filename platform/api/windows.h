// Everything the reader's code may call of the handheld's system services.
#pragma once

#include "windef.h"
#include "winbase.h"
#include "wingdi.h"
#include "winuser.h"
#include "mmsystem.h"
#include "aygshell.h"
