// Sound: WAVE resources played asynchronously, one at a time.
#pragma once

#include "windef.h"

#define SND_SYNC 0x00000000L
#define SND_ASYNC 0x00000001L
#define SND_NODEFAULT 0x00000002L
#define SND_MEMORY 0x00000004L
#define SND_LOOP 0x00000008L
#define SND_NOSTOP 0x00000010L
#define SND_FILENAME 0x00020000L
#define SND_RESOURCE 0x00040004L

BOOL PlaySoundW(LPCWSTR sound, HMODULE module, DWORD flags);
