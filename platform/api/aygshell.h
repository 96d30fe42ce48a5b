// The handheld shell's calls: the menu bar at the bottom of the screen and
// the input panel.
#pragma once

#include <cstddef>

#include "windef.h"
#include "winuser.h"

// --- Menu bar -----------------------------------------------------------------

struct SHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;  // owner: receives WM_COMMAND
    DWORD dwFlags;    // no flags are honoured
    UINT nToolBarId;  // menu bar definition
    HINSTANCE hInstRes;
    int nBmpId;      // image strip of 16x16 images
    int cBmpImages;  // images usable from the strip
    HWND hwndMB;     // out: the bar
    COLORREF clrBk;  // unused: the bar keeps the system's face
};
typedef SHMENUBARINFO* PSHMENUBARINFO;
// 36 bytes on the handheld's 32-bit processor; pointers widen it elsewhere.
static_assert(sizeof(void*) != 4 || sizeof(SHMENUBARINFO) == 36,
              "SHMENUBARINFO is 36 bytes on 32 bits");
static_assert(sizeof(void*) != 8 || sizeof(SHMENUBARINFO) == 56,
              "SHMENUBARINFO keeps the natural layout");
static_assert(offsetof(SHMENUBARINFO, cbSize) == 0, "cbSize comes first");

#define SHCMBM_SETSUBMENU (WM_USER + 400)
#define SHCMBM_GETSUBMENU (WM_USER + 401)
#define SHCMBM_GETMENU (WM_USER + 402)
#define SHCMBM_OVERRIDEKEY (WM_USER + 403)

// Tool bar messages and bits the bar answers.
#define TB_SETSTATE (WM_USER + 17)

#define TBSTATE_CHECKED 0x01
#define TBSTATE_PRESSED 0x02
#define TBSTATE_ENABLED 0x04
#define TBSTATE_HIDDEN 0x08
#define TBSTATE_INDETERMINATE 0x10

#define TBSTYLE_BUTTON 0x00
#define TBSTYLE_SEP 0x01
#define TBSTYLE_CHECK 0x02
#define TBSTYLE_GROUP 0x04
#define TBSTYLE_DROPDOWN 0x08
#define TBSTYLE_AUTOSIZE 0x10

#define I_IMAGENONE (-2)
#define NOMENU 0xFFFF

BOOL SHCreateMenuBar(SHMENUBARINFO* info);
// The menu bar owned by `hwnd`, or null.
HWND SHFindMenuBar(HWND hwnd);

// --- Input panel ----------------------------------------------------------------

struct SIPINFO {
    DWORD cbSize;
    DWORD fdwFlags;         // SIPF_*
    RECT rcVisibleDesktop;  // the screen left uncovered by the panel
    RECT rcSipRect;         // where the panel is
    DWORD dwImDataSize;
    void* pvImData;
};
typedef SIPINFO* PSIPINFO;
// 48 bytes on the handheld's 32-bit processor.
static_assert(sizeof(void*) != 4 || sizeof(SIPINFO) == 48, "SIPINFO is 48 bytes on 32 bits");
static_assert(sizeof(void*) != 8 || sizeof(SIPINFO) == 56, "SIPINFO keeps the natural layout");
static_assert(offsetof(SIPINFO, rcVisibleDesktop) == 8, "SIPINFO rectangles follow the flags");

#define SIPF_OFF 0x00000000
#define SIPF_ON 0x00000001
#define SIPF_DOCKED 0x00000002
#define SIPF_LOCKED 0x00000004
#define SIPF_DISABLECOMPLETION 0x00000008

#define SPI_SETCOMPLETIONINFO 223
#define SPI_SETSIPINFO 224
#define SPI_GETSIPINFO 225
#define SPI_SETCURRENTIM 226
#define SPI_GETCURRENTIM 227

// SPI_GETSIPINFO fills the SIPINFO at pvParam (its cbSize set); uiParam and
// fWinIni must be 0.
BOOL SHSipInfo(UINT uiAction, UINT uiParam, LPVOID pvParam, UINT fWinIni);
BOOL SipShowIM(DWORD flags);
