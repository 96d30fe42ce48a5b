#include <cstdio>

#include "base/app_state.h"
#include "book/tables.h"
#include "shell/navigation.h"
#include "shell/progress.h"
#include "shell/window.h"
#include "windows.h"

WCHAR windowTitle[WINDOW_TITLE_SIZE] = {};

namespace {

constexpr int FILE_NAME_SIZE = 200;

// Another copy holds the file: bring it forward, or, when it has no window,
// say the book cannot be opened.
void DeferToRunningCopy() {
    if (HWND running = FindWindowW(MAIN_WINDOW_CLASS, nullptr)) {
        if (!SetForegroundWindow(running) && GetLastError() == ERROR_TIMEOUT) {
            // Stopped or stuck: nothing would come forward.
            std::fprintf(stderr, "fernvale: another copy holds the book and is not answering\n");
            return;
        }
        InvalidateRect(running, nullptr, TRUE);
        UpdateWindow(running);
        SetWindowPos(running, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    } else {
        MessageBoxW(nullptr, u"I cannot the book?", nullptr, MB_OK);
    }
}

// Each byte of the title becomes one 16-bit character, as all of the book's
// text is widened; a title longer than the buffer is cut.
void WidenTitle(const char* title) {
    int i = 0;
    for (; title && title[i] && i < WINDOW_TITLE_SIZE - 1; ++i)
        windowTitle[i] = static_cast<unsigned char>(title[i]);
    windowTitle[i] = 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    WCHAR name[FILE_NAME_SIZE] = {};
    for (int i = 0; PROGRESS_FILE_NAME[i]; ++i) name[i] = PROGRESS_FILE_NAME[i];

    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(name, &found);
    DWORD disposition = CREATE_NEW;
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        disposition = OPEN_EXISTING;
    }
    progressFile = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                               FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (progressFile == INVALID_HANDLE_VALUE) {
        // Held, or made a moment ago by a copy started at the same time: another
        // copy. Anything else is a store entry that cannot be used.
        const DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_FILE_EXISTS)
            ReportFileError("cannot open the saved progress", name, error);
        DeferToRunningCopy();
        return 1;
    }
    if (disposition == OPEN_EXISTING) {
        LoadSavedProgress();
    } else {
        currentParagraph = 2;
        soundOn = 1;
    }
    storyParagraph = currentParagraph;
    if (currentParagraph != 2) pendingBuiltInPage = 0;

    RegisterMainWindowClass(instance);
    appInstance = instance;

    SIPINFO panel = {};
    panel.cbSize = 48;
    SHSipInfo(SPI_GETSIPINFO, 0, &panel, 0);
    inputPanelFlags = panel.fdwFlags;
    pageHeight = PageHeightFor(panel);
    const int width = panel.rcVisibleDesktop.right - panel.rcVisibleDesktop.left;

    WidenTitle(bookHeader.title);
    mainWindow =
        CreateWindowExW(0, MAIN_WINDOW_CLASS, windowTitle, WS_VISIBLE | WS_VSCROLL, CW_USEDEFAULT,
                        CW_USEDEFAULT, width, pageHeight, nullptr, nullptr, instance, nullptr);
    if (!mainWindow) {
        // Without a window the loop would never end: leave the file as it
        // was found and give up.
        std::fprintf(stderr, "fernvale: the main window could not be created\n");
        CloseHandle(progressFile);
        progressFile = INVALID_HANDLE_VALUE;
        return 1;
    }
    GetClientRect(mainWindow, &clientRect);
    ShowWindow(mainWindow, show);
    UpdateWindow(mainWindow);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // A save that failed has been reported; the exit says so too.
    if (!StoreSavedProgress()) return 1;
    return static_cast<int>(message.wParam);
}
