// Files of the object store, the version and the store's location.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "device/record.h"
#include "files/store.h"
#include "scratch_folder.h"
#include "windows.h"

namespace fs = std::filesystem;

namespace {

class File : public ScratchFolderTest {
   protected:
    void SetUp() override {
        ScratchFolderTest::SetUp();
        device::SetStoreDirectory(root.string());
    }
    static HANDLE Open(LPCWSTR name, DWORD disposition, DWORD share = 0,
                       DWORD access = GENERIC_READ | GENERIC_WRITE) {
        return CreateFileW(name, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    }
};

}  // namespace

TEST_F(File, CreateFileWDispositions) {
    struct Case {
        bool exists;
        DWORD disposition;
        bool opens;
        DWORD error;
        const char* contentAfter;  // null: the file does not exist afterwards
    } cases[] = {
        {false, CREATE_NEW, true, ERROR_SUCCESS, ""},
        {true, CREATE_NEW, false, ERROR_FILE_EXISTS, "old"},
        {false, CREATE_ALWAYS, true, ERROR_SUCCESS, ""},
        {true, CREATE_ALWAYS, true, ERROR_ALREADY_EXISTS, ""},
        {false, OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND, nullptr},
        {true, OPEN_EXISTING, true, ERROR_SUCCESS, "old"},
        {false, OPEN_ALWAYS, true, ERROR_SUCCESS, ""},
        {true, OPEN_ALWAYS, true, ERROR_ALREADY_EXISTS, "old"},
        {false, TRUNCATE_EXISTING, false, ERROR_FILE_NOT_FOUND, nullptr},
        {true, TRUNCATE_EXISTING, true, ERROR_SUCCESS, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("disposition " + std::to_string(c.disposition) +
                     (c.exists ? " on an existing file" : ""));
        fs::remove_all(root);
        if (c.exists) Write("QOT1Fernvale.dat", "old");
        SetLastError(12345);
        HANDLE h = Open(u"\\QOT1Fernvale.dat", c.disposition);
        EXPECT_EQ(h != INVALID_HANDLE_VALUE, c.opens);
        EXPECT_NE(h, nullptr) << "failure is INVALID_HANDLE_VALUE, never NULL";
        EXPECT_EQ(GetLastError(), c.error);
        if (h != INVALID_HANDLE_VALUE) {
            EXPECT_TRUE(CloseHandle(h));
        }
        EXPECT_EQ(fs::exists(root / "QOT1Fernvale.dat"), c.contentAfter != nullptr);
        if (c.contentAfter) {
            EXPECT_EQ(Read("QOT1Fernvale.dat"), c.contentAfter);
        }
    }
    // Bad arguments.
    EXPECT_EQ(Open(u"\\x", 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Open(u"\\x", 6), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(u"\\x", CREATE_NEW, 0x10), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(nullptr, CREATE_NEW), INVALID_HANDLE_VALUE);
    // The hidden attribute is accepted (and has no effect here).
    HANDLE hidden = CreateFileW(u"\\hidden.dat", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
    ASSERT_NE(hidden, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    EXPECT_TRUE(WriteFile(hidden, "abc", 3, &n, nullptr));
    CloseHandle(hidden);
    EXPECT_EQ(Read("hidden.dat"), "abc");
}

TEST_F(File, ReadWriteAndSeek) {
    HANDLE h = Open(u"\\data.bin", CREATE_NEW);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(h, "hello world", 11, &n, nullptr));
    EXPECT_EQ(n, 11u);
    struct Seek {
        LONG distance;
        DWORD method;
        DWORD expect;  // new position, or INVALID_SET_FILE_POINTER
        DWORD error;
    } seeks[] = {
        {6, FILE_BEGIN, 6, ERROR_SUCCESS},
        {-2, FILE_CURRENT, 4, ERROR_SUCCESS},
        {-5, FILE_END, 6, ERROR_SUCCESS},
        {-7, FILE_CURRENT, INVALID_SET_FILE_POINTER,
         ERROR_NEGATIVE_SEEK},  // before the start: not moved
        {0, FILE_CURRENT, 6, ERROR_SUCCESS},
        {0, 7, INVALID_SET_FILE_POINTER, ERROR_INVALID_PARAMETER},
    };
    for (const Seek& s : seeks) {
        SetLastError(12345);
        EXPECT_EQ(SetFilePointer(h, s.distance, nullptr, s.method), s.expect)
            << s.distance << "/" << s.method;
        EXPECT_EQ(GetLastError(), s.error) << s.distance << "/" << s.method;
    }
    char buffer[16] = {};
    ASSERT_TRUE(ReadFile(h, buffer, 10, &n, nullptr));
    EXPECT_EQ(n, 5u) << "a short read at the end";
    EXPECT_EQ(std::string(buffer, n), "world");
    ASSERT_TRUE(ReadFile(h, buffer, 10, &n, nullptr));
    EXPECT_EQ(n, 0u) << "end of file is success with 0 bytes";
    // Writing past the end after a seek; a 64-bit position with the high part.
    LONG high = 0;
    EXPECT_EQ(SetFilePointer(h, 13, &high, FILE_BEGIN), 13u);
    ASSERT_TRUE(WriteFile(h, "!", 1, &n, nullptr));
    high = 1;
    EXPECT_EQ(SetFilePointer(h, 0, &high, FILE_BEGIN), 0u);
    EXPECT_EQ(high, 1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_BEGIN), 0u);
    EXPECT_TRUE(WriteFile(h, nullptr, 0, &n, nullptr));
    EXPECT_FALSE(WriteFile(h, nullptr, 4, &n, nullptr));
    OVERLAPPED* overlapped = reinterpret_cast<OVERLAPPED*>(buffer);
    EXPECT_FALSE(ReadFile(h, buffer, 1, &n, overlapped));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    CloseHandle(h);
    EXPECT_EQ(Read("data.bin"), std::string("hello world\0\0!", 14));

    // Access is checked per handle.
    HANDLE reader = Open(u"\\data.bin", OPEN_EXISTING, FILE_SHARE_READ, GENERIC_READ);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteFile(reader, "x", 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    CloseHandle(reader);
    HANDLE writer = Open(u"\\data.bin", OPEN_EXISTING, 0, GENERIC_WRITE);
    EXPECT_FALSE(ReadFile(writer, buffer, 1, &n, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(FlushFileBuffers(writer));
    CloseHandle(writer);
}

TEST_F(File, BadHandles) {
    HANDLE closed = Open(u"\\f", CREATE_NEW);
    ASSERT_TRUE(CloseHandle(closed));
    WIN32_FIND_DATAW fd;
    HANDLE search = FindFirstFileW(u"\\f", &fd);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    char b[4];
    DWORD n = 77;
    for (HANDLE bad : {INVALID_HANDLE_VALUE, static_cast<HANDLE>(nullptr), closed, search,
                       reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0xdead0))}) {
        SetLastError(0);
        EXPECT_FALSE(ReadFile(bad, b, 1, &n, nullptr));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        EXPECT_FALSE(WriteFile(bad, b, 1, &n, nullptr));
        EXPECT_EQ(SetFilePointer(bad, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
        EXPECT_FALSE(CloseHandle(bad));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }
    EXPECT_TRUE(FindClose(search));
    EXPECT_FALSE(FindClose(search));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(File, ExclusiveOpenInOneProcess) {
    HANDLE first = Open(u"\\QOT1Fernvale.dat", CREATE_NEW);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    // Share mode 0 keeps out every other open, whatever it asks for.
    for (DWORD share : {0u, static_cast<unsigned>(FILE_SHARE_READ),
                        static_cast<unsigned>(FILE_SHARE_READ | FILE_SHARE_WRITE)}) {
        SetLastError(0);
        EXPECT_EQ(Open(u"\\qot1fernvale.DAT", OPEN_EXISTING, share, GENERIC_READ),
                  INVALID_HANDLE_VALUE)
            << share;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION)) << share;
    }
    // A file held exclusively is neither truncated nor deleted by others.
    DWORD n;
    WriteFile(first, "keep", 4, &n, nullptr);
    EXPECT_EQ(Open(u"\\QOT1Fernvale.dat", CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteFileW(u"\\QOT1Fernvale.dat"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(Read("QOT1Fernvale.dat"), "keep");
    ASSERT_TRUE(CloseHandle(first));
    HANDLE again = Open(u"\\QOT1Fernvale.dat", OPEN_EXISTING);
    EXPECT_NE(again, INVALID_HANDLE_VALUE) << "the lock ends with the handle";
    CloseHandle(again);
    // Readers that share reading coexist.
    HANDLE r1 = Open(u"\\QOT1Fernvale.dat", OPEN_EXISTING, FILE_SHARE_READ, GENERIC_READ);
    HANDLE r2 = Open(u"\\QOT1Fernvale.dat", OPEN_EXISTING, FILE_SHARE_READ, GENERIC_READ);
    EXPECT_NE(r1, INVALID_HANDLE_VALUE);
    EXPECT_NE(r2, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(u"\\QOT1Fernvale.dat", OPEN_EXISTING), INVALID_HANDLE_VALUE)
        << "but keep out an exclusive open";
    CloseHandle(r1);
    CloseHandle(r2);
    EXPECT_TRUE(DeleteFileW(u"\\QOT1Fernvale.dat"));
    EXPECT_FALSE(DeleteFileW(u"\\QOT1Fernvale.dat"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(File, AFileHeldElsewhereIsNeitherOpenedNorReplaced) {
    // flock belongs to the open file description: a lock on a descriptor of
    // our own that no handle knows of is what another process's hold looks like.
    Write("QOT1Fernvale.dat", "old");
    const int other = open((root / "QOT1Fernvale.dat").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(other, LOCK_EX), 0);
    SetLastError(0);
    EXPECT_EQ(Open(u"\\QOT1Fernvale.dat", OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    Write("QOT1Fernvale.tmp", "new save");
    EXPECT_FALSE(
        MoveFileExW(u"\\QOT1Fernvale.tmp", u"\\QOT1Fernvale.dat", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    close(other);
    EXPECT_FALSE(MoveFileExW(u"\\QOT1Fernvale.tmp", u"\\QOT1Fernvale.dat", 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "replacing is asked for";
    EXPECT_EQ(Read("QOT1Fernvale.dat"), "old");
}

// Between another open's open() and its lock, a saver moves a new file over
// the name, and holds it or has ended.
HANDLE saverNew = INVALID_HANDLE_VALUE;
bool saverStays;
void SaveOverTheName() {
    device::SetBeforeLockHook(nullptr);
    EXPECT_TRUE(MoveFileExW(u"\\new.dat", u"\\QOT1Fernvale.dat", MOVEFILE_REPLACE_EXISTING));
    if (saverStays)
        saverNew =
            CreateFileW(u"\\QOT1Fernvale.dat", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

TEST_F(File, TheLockFollowsTheName) {
    for (bool stays : {true, false}) {
        Write("QOT1Fernvale.dat", "old");
        Write("new.dat", "new");
        saverStays = stays;
        device::SetBeforeLockHook(SaveOverTheName);
        HANDLE late = Open(u"\\QOT1Fernvale.dat", OPEN_EXISTING);
        char got[4] = {};
        DWORD n = 0;
        ReadFile(late, got, 3, &n, nullptr);
        EXPECT_STREQ(got, stays ? "" : "new") << "held: the file at the name, or none";
        EXPECT_EQ(Open(u"\\QOT1Fernvale.dat", OPEN_EXISTING), INVALID_HANDLE_VALUE) << stays;
        CloseHandle(late);
        CloseHandle(saverNew);
    }
}

TEST_F(File, OnlyFilesAreOpenedOrDeleted) {
    Write("target.dat", "theirs");
    struct Kind {
        const char* make;  // shell command, in the store
        DWORD error;
    } kinds[] = {{"ln -s target.dat odd", ERROR_CANT_RESOLVE_FILENAME},
                 {"ln -s gone.dat odd", ERROR_CANT_RESOLVE_FILENAME},
                 {"mkfifo odd", ERROR_BAD_FILE_TYPE},  // an open would block
                 {"mkdir odd", ERROR_ACCESS_DENIED}};
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.make);
        fs::remove_all(root / "odd");
        ASSERT_EQ(std::system(("cd " + root.string() + " && " + k.make).c_str()), 0);
        for (DWORD disposition : {CREATE_NEW, CREATE_ALWAYS, OPEN_EXISTING, OPEN_ALWAYS}) {
            EXPECT_EQ(Open(u"\\odd", disposition), INVALID_HANDLE_VALUE) << disposition;
            EXPECT_EQ(GetLastError(), k.error) << disposition;
        }
        EXPECT_FALSE(DeleteFileW(u"\\odd"));
        EXPECT_EQ(GetLastError(), k.error);
        EXPECT_EQ(Read("target.dat"), "theirs");
    }
}

TEST_F(File, PathsMapIntoTheStore) {
    fs::create_directories(root / "Saved Games");
    struct Case {
        const char16_t* name;
        bool opens;
        DWORD error;
        const char* file;  // where it lands, relative to the store
    } cases[] = {
        {u"\\QOT1Fernvale.dat", true, 0, "QOT1Fernvale.dat"},
        {u"plain.dat", true, 0, "plain.dat"},  // no directory part: the root
        {u"\\My Documents\\note.txt", true, 0, "My Documents/note.txt"},
        {u"\\my documents\\NOTE.TXT", true, 0, "My Documents/note.txt"},  // case-insensitive
        {u"\\saved games\\slot.dat", true, 0, "Saved Games/slot.dat"},
        {u"\\Nowhere\\x.dat", false, ERROR_PATH_NOT_FOUND, nullptr},
        {u"\\..\\escape.dat", false, ERROR_INVALID_NAME, nullptr},
        {u"\\My Documents\\..\\..\\escape.dat", false, ERROR_INVALID_NAME, nullptr},
        {u"\\a:b", false, ERROR_INVALID_NAME, nullptr},
        {u"\\star*.dat", false, ERROR_INVALID_NAME, nullptr},
        {u"\\", false, ERROR_INVALID_NAME, nullptr},
        {u"", false, ERROR_INVALID_NAME, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file ? c.file : "refused"));
        HANDLE h = Open(c.name, OPEN_ALWAYS);
        EXPECT_EQ(h != INVALID_HANDLE_VALUE, c.opens);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
            EXPECT_TRUE(fs::exists(root / c.file));
        } else {
            EXPECT_EQ(GetLastError(), c.error);
        }
    }
    EXPECT_FALSE(fs::exists(root.parent_path() / "escape.dat"));
    std::u16string tooLong = u"\\" + std::u16string(300, u'a');
    EXPECT_EQ(Open(tooLong.c_str(), OPEN_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    // A folder is not a file.
    EXPECT_EQ(Open(u"\\My Documents", OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(File, FindFirstFileW) {
    Write("QOT1Fernvale.dat", "12345");
    WIN32_FIND_DATAW fd{};
    // A name matched without regard to case reports the stored name.
    HANDLE h = FindFirstFileW(u"\\qot1fernvale.dat", &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::u16string(fd.cFileName), u"QOT1Fernvale.dat");
    EXPECT_EQ(fd.nFileSizeLow, 5u);
    EXPECT_FALSE(CloseHandle(h)) << "searches end with FindClose";
    EXPECT_TRUE(FindClose(h));
    struct Case {
        const char16_t* name;
        DWORD error;
    } cases[] = {{u"\\missing.dat", ERROR_FILE_NOT_FOUND},
                 {u"\\Nowhere\\x.dat", ERROR_PATH_NOT_FOUND},
                 {u"\\*.dat", ERROR_INVALID_NAME}};  // no wildcards
    for (const Case& c : cases) {
        EXPECT_EQ(FindFirstFileW(c.name, &fd), INVALID_HANDLE_VALUE) << device::Narrow(c.name);
        EXPECT_EQ(GetLastError(), c.error) << device::Narrow(c.name);
    }
    EXPECT_EQ(FindFirstFileW(u"\\QOT1Fernvale.dat", nullptr), INVALID_HANDLE_VALUE);
}

TEST(FileStore, DefaultFolder) {
    const char* oldXdg = std::getenv("XDG_DATA_HOME");
    std::string keepXdg = oldXdg ? oldXdg : "";
    setenv("XDG_DATA_HOME", "/xdg/data", 1);
    device::SetStoreDirectory("");
    EXPECT_EQ(device::StoreDirectory(), "/xdg/data/fernvale");
    setenv("XDG_DATA_HOME", "relative/ignored", 1);
    device::SetStoreDirectory("");
    std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    if (!home.empty()) {
        EXPECT_EQ(device::StoreDirectory(), home + "/.local/share/fernvale");
    }
    unsetenv("XDG_DATA_HOME");
    device::SetStoreDirectory("");
    if (!home.empty()) {
        EXPECT_EQ(device::StoreDirectory(), home + "/.local/share/fernvale");
    }
    device::SetStoreDirectory("/tmp/somewhere/");
    EXPECT_EQ(device::StoreDirectory(), "/tmp/somewhere");
    if (oldXdg) setenv("XDG_DATA_HOME", keepXdg.c_str(), 1);
}
