// The saved progress file: the load rules and the safe save. The layout a save
// writes is the reader scenarios' (each compares the file it leaves).
#include "shell/progress.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "base/app_state.h"
#include "book/state.h"
#include "book/tables.h"
#include "files/store.h"
#include "headless/headless.h"
#include "scratch_folder.h"
#include "shell/navigation.h"
#include "shell/window.h"
#include "windows.h"
#include "wm/wm.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::string;

class Progress : public ScratchFolderTest {
   protected:
    void SetUp() override {
        ScratchFolderTest::SetUp();
        device::SetStoreDirectory(root.string());
        ResetBookState();
        ClearCheckpoints();
        std::memset(checkpointStates, 0, 2 * objectCount * checkpointCount);
        std::memset(savedProgress, 0, sizeof savedProgress);
        currentParagraph = storyParagraph = 2;
        soundOn = 1;
    }
    void TearDown() override {
        if (progressFile != INVALID_HANDLE_VALUE) CloseHandle(progressFile);
        progressFile = INVALID_HANDLE_VALUE;
        ScratchFolderTest::TearDown();
    }

    fs::path File() const { return root / "QOT1Fernvale.dat"; }
    Bytes Contents() const { return Read("QOT1Fernvale.dat"); }
    // Writes `bytes` as the file and opens it as start-up does.
    void Open(const Bytes& bytes) {
        Write("QOT1Fernvale.dat", bytes);
        progressFile = CreateFileW(PROGRESS_FILE_NAME, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN, nullptr);
        ASSERT_NE(progressFile, INVALID_HANDLE_VALUE);
    }
    void Load(const Bytes& bytes) {
        Open(bytes);
        LoadSavedProgress();
    }
};

Bytes Record(int16_t position, uint8_t sound, int32_t version) {
    Bytes r(SAVED_PROGRESS_SIZE, '\0');
    r[0] = static_cast<char>(position & 0xff);
    r[1] = static_cast<char>((position >> 8) & 0xff);
    r[2] = static_cast<char>(sound);
    for (int i = 0; i < 4; ++i) r[28 + i] = static_cast<char>((version >> (8 * i)) & 0xff);
    return r;
}

// A record that sets object 3 held with text 2, and checkpoint slot 1 used at
// reference 99 with object 4 saved as held, text 3.
Bytes StateRecord(int16_t position) {
    Bytes r = Record(position, 1, SAVED_PROGRESS_VERSION);
    r[32 + 20 * 3 + 6] = 1;
    r[32 + 20 * 3 + 7] = 2;
    r[772 + 74 * 1 + 2 * 4] = 1;
    r[772 + 74 * 1 + 2 * 4 + 1] = 3;
    r[1142 + 1] = 1;
    r[1148 + 2 * 1] = 99;
    return r;
}

bool StateApplied() {
    return objectTable[3].held == 1 && objectTable[3].current == 2 &&
           checkpointSlots[1].used == 1 && checkpointSlots[1].paragraph == 99 &&
           checkpointStates[1 * 2 * objectCount + 8] == 1 &&
           checkpointStates[1 * 2 * objectCount + 9] == 3;
}

TEST_F(Progress, LoadRules) {
    struct Case {
        const char* what;
        Bytes file;
        int16_t paragraph;
        uint8_t sound;
        bool applied;
    } cases[] = {
        {"empty", "", 2, 0, false},
        {"two bytes", Bytes("\x96\x00", 2), 2, 0, false},
        {"short", StateRecord(150).substr(0, 1159), 2, 1, false},
        {"wrong version", Record(150, 1, 217), 2, 1, false},
        {"whole", StateRecord(150), 150, 1, true},
        {"sound off", Bytes(StateRecord(150)).replace(2, 1, 1, '\0'), 150, 0, true},
        {"position 0", StateRecord(0), 2, 1, true},
        {"position 308", StateRecord(308), 2, 1, true},
        {"negative position", StateRecord(-5), 2, 1, true},
        {"longer", StateRecord(307) + "tail", 307, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        Load(c.file);
        EXPECT_EQ(currentParagraph, c.paragraph);
        EXPECT_EQ(soundOn, c.sound);
        EXPECT_EQ(StateApplied(), c.applied);
    }
}

TEST_F(Progress, SaveKeepsWhatItDoesNotOwn) {
    // Spare bytes and a tail come back as read where nothing refills them; of
    // a tail longer than 64 KB the first 64 KB, with a line saying so.
    Bytes file = StateRecord(150);
    for (int at : {3, 27, 32, 32 + 20 * 36 + 19, 1147, 1158, 1159})
        file[at] = static_cast<char>(0xA5);
    for (size_t length : {65536u, 200000u}) {
        SCOPED_TRACE(length);
        Bytes tail(length, '\0');
        for (size_t i = 0; i < tail.size(); ++i) tail[i] = static_cast<char>(i * 7);
        Load(file + tail);
        storyParagraph = currentParagraph;
        ::testing::internal::CaptureStderr();
        EXPECT_TRUE(StoreSavedProgress());
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(Contents(), file + tail.substr(0, 65536));
        EXPECT_EQ(err.find("more than 65536 bytes") != std::string::npos, length > 65536) << err;
        EXPECT_FALSE(fs::exists(root / "QOT1Fernvale.new"));
    }
}

TEST_F(Progress, AKillDuringTheSaveLeavesAWholeRecord) {
    // A child saves over and over (the longest tail kept makes each save slow) and is
    // killed at some moment; the file must always load as a whole record.
    const Bytes tail(65536, 't');
    Write("QOT1Fernvale.dat", StateRecord(150) + tail);
    for (int round = 0; round < 8; ++round) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        pid_t child = fork();
        if (child == 0) {
            for (int16_t p = 100;; p = static_cast<int16_t>(p == 300 ? 100 : p + 1)) {
                progressFile = CreateFileW(PROGRESS_FILE_NAME, GENERIC_READ | GENERIC_WRITE, 0,
                                           nullptr, OPEN_EXISTING, 0, nullptr);
                if (progressFile == INVALID_HANDLE_VALUE) _exit(3);
                LoadSavedProgress();
                storyParagraph = p;
                StoreSavedProgress();
                if (p == 101 && write(ready[1], "r", 1) != 1) _exit(4);
            }
        }
        char c;
        ASSERT_EQ(read(ready[0], &c, 1), 1);
        usleep(static_cast<useconds_t>(1000 * (round * 7 % 23)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        close(ready[0]);
        close(ready[1]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saver stopped by itself";
        const Bytes now = Contents();
        ASSERT_EQ(now.size(), SAVED_PROGRESS_SIZE + tail.size());
        EXPECT_EQ(now.substr(SAVED_PROGRESS_SIZE), tail);
        SCOPED_TRACE(round);
        TearDown();
        SetUp();
        Load(now);
        EXPECT_GE(currentParagraph, 100);
        EXPECT_TRUE(StateApplied());
        CloseHandle(progressFile);
        progressFile = INVALID_HANDLE_VALUE;
    }
}

LRESULT RefuseCreation(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return message == WM_CREATE ? -1 : DefWindowProcW(window, message, wParam, lParam);
}

// Without a main window the loop would never end: start-up gives up with exit
// code 1, leaves the file as it found it and lets go of it.
TEST_F(Progress, StartUpWithoutAWindowLeavesTheFile) {
    wm::ResetForTests();
    device::HeadlessBackend().Reset();
    WNDCLASSW refusing = {};
    refusing.lpfnWndProc = RefuseCreation;
    refusing.lpszClassName = MAIN_WINDOW_CLASS;
    ASSERT_NE(RegisterClassW(&refusing), 0);
    const Bytes before = StateRecord(150) + "tail";
    Write("QOT1Fernvale.dat", before);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, SW_SHOW), 1);
    EXPECT_NE(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(Contents(), before);
    EXPECT_EQ(progressFile, INVALID_HANDLE_VALUE);
    Open(before);  // released
}

}  // namespace
