// Files of the object store. The handheld has one file system rooted at "\",
// no drive letters and no current directory; names match case-insensitively.
// Here the root is a folder (files/store.h), each path component is looked up
// case-insensitively, and ".." is refused so that no name leads outside it.
//
// Implements: CreateFileW, ReadFile, WriteFile, SetFilePointer,
// FlushFileBuffers, CloseHandle, FindFirstFileW / FindClose, DeleteFileW,
// MoveFileExW. Sharing: an open that does not share what it asks for (share
// mode 0, the single-instance idiom) takes an exclusive flock on its own open
// file description; every other open takes a shared one. flock belongs to the
// open file description, so a second open conflicts inside one process as
// well as across processes, and the lock ends with the handle.
//
// The lock and the name: a save moves a new file over the old one, so the
// file a name leads to can change between an open and its lock. A lock is
// kept only when the name still leads to the locked file afterwards;
// otherwise the open starts again on what the name now holds. So whoever
// holds a name's file without sharing is the only one, under any timing.
//
// Leaves out: wildcards (FindFirstFileW looks for one name: '*' and '?' are
// bad characters, as in every other name), FindNextFileW, overlapped I/O,
// keeping attributes (FILE_ATTRIBUTE_HIDDEN and the others are accepted at
// creation and not kept; FindFirstFileW reports files as
// FILE_ATTRIBUTE_ARCHIVE, folders as FILE_ATTRIBUTE_DIRECTORY, and adds
// FILE_ATTRIBUTE_READONLY for files without write permission).
//
// Differs: sharing is coarser than the handheld's per-access rules: two opens
// that both share something always coexist, whatever they ask for. The
// handheld's store holds files and folders only: a Linux symbolic link, FIFO,
// device or socket at a name that is opened or deleted is refused, never
// followed or read (a move renames the entry itself). A link would let a save
// write wherever it points (and then replace the link with a plain file), a
// FIFO blocks the first read for ever, a device never ends. A link is
// ERROR_CANT_RESOLVE_FILENAME, the others ERROR_BAD_FILE_TYPE; a folder is
// ERROR_ACCESS_DENIED, as on the handheld. Links on the way to a name (a
// folder that is a link) are followed.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/utf.h"
#include "files/store.h"
#include "winbase.h"

namespace {

void (*beforeLock)() = nullptr;

std::string& StoreSetting() {
    static std::string dir;
    return dir;
}

struct FileHandle {
    int fd = -1;
    DWORD access = 0;
    bool exclusive = false;  // opened without sharing
};

struct FoundEntry {
    std::u16string name;
    struct stat info;
};

struct Handles {
    std::unordered_map<uintptr_t, FileHandle> files;
    std::unordered_set<uintptr_t> searches;
    uintptr_t next = 0x40000;
    HANDLE Add() {
        uintptr_t h = next;
        next += 4;
        return reinterpret_cast<HANDLE>(h);
    }
};

Handles& Table() {
    static Handles handles;
    return handles;
}

FileHandle* FindFile(HANDLE h) {
    auto it = Table().files.find(reinterpret_cast<uintptr_t>(h));
    if (it == Table().files.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return &it->second;
}

DWORD FromErrno(int e) {
    switch (e) {
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EEXIST:
            return ERROR_FILE_EXISTS;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return ERROR_ACCESS_DENIED;
        case EMFILE:
        case ENFILE:
            return ERROR_TOO_MANY_OPEN_FILES;
        case ENOSPC:
        case EDQUOT:
            return ERROR_DISK_FULL;
        case ENAMETOOLONG:
            return ERROR_INVALID_NAME;
        case EWOULDBLOCK:
            return ERROR_SHARING_VIOLATION;
        case ENOTEMPTY:
            return ERROR_DIR_NOT_EMPTY;
        case ELOOP:
            return ERROR_CANT_RESOLVE_FILENAME;
        default:
            return ERROR_ACCESS_DENIED;
    }
}

char16_t Fold(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}

bool SameFolded(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

std::vector<std::string> ListFolder(const std::string& dir) {
    std::vector<std::string> names;
    DIR* d = opendir(dir.c_str());
    if (!d) return names;
    while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

std::string DefaultStore() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/fernvale";
    const char* home = std::getenv("HOME");
    std::string h = home && home[0] ? home : "";
    if (h.empty())
        if (passwd* pw = getpwuid(getuid())) h = pw->pw_dir;
    return h + "/.local/share/fernvale";
}

// Makes `path` and the folders on its way; whether it is a folder now.
bool MakeFolders(const std::string& path) {
    for (size_t i = 1; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '/') mkdir(path.substr(0, i).c_str(), 0700);
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Creates the root (and the handheld's standard "My Documents") when it is
// missing, also when it was removed while the device runs.
bool EnsureStore() {
    const std::string root = device::StoreDirectory();
    struct stat existing;
    const bool there = stat(root.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode);
    if (!there && !MakeFolders(root)) return false;
    mkdir((root + "/My Documents").c_str(), 0700);
    return true;
}

bool BadCharacter(char16_t c) {
    if (c < 0x20) return true;
    return c == u':' || c == u'*' || c == u'?' || c == u'"' || c == u'<' || c == u'>' || c == u'|';
}

struct Resolved {
    std::string folder;   // Linux path of the containing folder
    std::u16string leaf;  // last component as given
    std::string path;     // Linux path of the leaf (matched case-insensitively when it exists)
};

// Maps a store path to Linux. Sets the error and returns false on a bad name
// or a missing folder.
bool Resolve(LPCWSTR name, Resolved* out) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::u16string s(name);
    if (s.size() >= MAX_PATH) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    std::vector<std::u16string> parts;
    std::u16string part;
    for (size_t i = 0; i <= s.size(); ++i) {
        if (i == s.size() || s[i] == u'\\' || s[i] == u'/') {
            if (part == u"..") {
                SetLastError(ERROR_INVALID_NAME);
                return false;
            }
            if (!part.empty() && part != u".") parts.push_back(part);
            part.clear();
        } else {
            part.push_back(s[i]);
        }
    }
    if (parts.empty()) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    for (const std::u16string& p : parts)
        for (char16_t c : p)
            if (BadCharacter(c)) {
                SetLastError(ERROR_INVALID_NAME);
                return false;
            }
    if (!EnsureStore()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    std::string current = device::StoreDirectory();
    auto lookup = [&](const std::u16string& component) {
        std::string exact = current + "/" + utf::ToUtf8(component);
        struct stat st;
        if (lstat(exact.c_str(), &st) == 0) return exact;
        for (const std::string& candidate : ListFolder(current)) {
            bool ok;
            if (SameFolded(utf::FromUtf8(candidate, &ok), component) && ok)
                return current + "/" + candidate;
        }
        return exact;
    };
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        current = lookup(parts[i]);
        struct stat st;
        if (stat(current.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return false;
        }
    }
    out->folder = current;
    out->leaf = parts.back();
    out->path = lookup(parts.back());
    return true;
}

// The error for an entry that is not a file of the store, or 0 for a file.
DWORD NotAFile(const struct stat& st) {
    if (S_ISREG(st.st_mode)) return ERROR_SUCCESS;
    if (S_ISDIR(st.st_mode)) return ERROR_ACCESS_DENIED;
    return S_ISLNK(st.st_mode) ? ERROR_CANT_RESOLVE_FILENAME : ERROR_BAD_FILE_TYPE;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether some handle holds the file without sharing; checked by taking and
// dropping an exclusive lock on a separate open.
bool InUse(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    bool busy = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(fd);
    return busy;
}

// Whether a handle of this process holds the file without sharing: its
// exclusive lock means no one else holds the file at all.
bool HeldHere(const std::string& path) {
    struct stat target;
    if (stat(path.c_str(), &target) != 0) return false;
    for (const auto& entry : Table().files) {
        struct stat held;
        if (entry.second.exclusive && fstat(entry.second.fd, &held) == 0 &&
            held.st_dev == target.st_dev && held.st_ino == target.st_ino)
            return true;
    }
    return false;
}

void SyncFolder(const std::string& folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

FILETIME ToFileTime(const timespec& t) {
    // 100-ns intervals since 1601-01-01.
    uint64_t v = (static_cast<uint64_t>(t.tv_sec) + 11644473600ull) * 10000000ull +
                 static_cast<uint64_t>(t.tv_nsec) / 100;
    return FILETIME{static_cast<DWORD>(v), static_cast<DWORD>(v >> 32)};
}

void Fill(const FoundEntry& e, WIN32_FIND_DATAW* data) {
    *data = WIN32_FIND_DATAW{};
    if (S_ISDIR(e.info.st_mode)) {
        data->dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    } else {
        data->dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
        if (!(e.info.st_mode & S_IWUSR)) data->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
        auto size = static_cast<uint64_t>(e.info.st_size);
        data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
        data->nFileSizeLow = static_cast<DWORD>(size);
    }
    data->ftCreationTime = ToFileTime(e.info.st_ctim);
    data->ftLastAccessTime = ToFileTime(e.info.st_atim);
    data->ftLastWriteTime = ToFileTime(e.info.st_mtim);
    std::copy(e.name.begin(), e.name.end(), data->cFileName);
}

}  // namespace

namespace device {

void SetStoreDirectory(const std::string& path) {
    StoreSetting() = path;
    while (StoreSetting().size() > 1 && StoreSetting().back() == '/') StoreSetting().pop_back();
}

std::string StoreDirectory() {
    if (StoreSetting().empty()) StoreSetting() = DefaultStore();
    return StoreSetting();
}

bool CheckStore(std::string* error) {
    const std::string root = StoreDirectory();
    auto refuse = [&](const std::string& why) {
        *error = "cannot use the store folder " + root + ": " + why;
        return false;
    };
    struct stat st;
    if (stat(root.c_str(), &st) != 0) {
        if (errno != ENOENT) return refuse(std::strerror(errno));
        if (!MakeFolders(root) || stat(root.c_str(), &st) != 0) return refuse(std::strerror(errno));
    }
    if (!S_ISDIR(st.st_mode)) {
        *error = "the store folder " + root + " is not a folder";
        return false;
    }
    if (access(root.c_str(), R_OK | W_OK | X_OK) != 0) return refuse(std::strerror(errno));
    // Making a folder in it is the proof that files can be made there (root
    // passes the access check on anything, /proc included).
    if (mkdir((root + "/My Documents").c_str(), 0700) != 0 && errno != EEXIST)
        return refuse(std::string("cannot make its folder My Documents: ") + std::strerror(errno));
    return true;
}

void SetBeforeLockHook(void (*hook)()) {
    beforeLock = hook;
}

}  // namespace device

HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES,
                   DWORD disposition, DWORD, HANDLE) {
    if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING ||
        (access & ~static_cast<DWORD>(GENERIC_READ | GENERIC_WRITE)) != 0 ||
        (shareMode & ~static_cast<DWORD>(FILE_SHARE_READ | FILE_SHARE_WRITE)) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    Resolved r;
    if (!Resolve(name, &r)) return INVALID_HANDLE_VALUE;
    bool truncate = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
    int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;  // no FIFO may block the open
    if ((access & GENERIC_WRITE) || truncate)
        flags |= (access & GENERIC_READ) || truncate ? O_RDWR : O_WRONLY;
    else
        flags |= O_RDONLY;
    if (disposition == CREATE_NEW) flags |= O_CREAT | O_EXCL;
    if (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS) flags |= O_CREAT;
    bool exclusive = shareMode == 0 ||
                     ((access & GENERIC_WRITE) && !(shareMode & FILE_SHARE_WRITE)) ||
                     ((access & GENERIC_READ) && !(shareMode & FILE_SHARE_READ));
    auto fail = [](int fd, DWORD error) {
        if (fd >= 0) close(fd);
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    };
    // Each round opens what the name holds; a round ends early when the name
    // was given to another file before the lock was taken. Only a saver that
    // replaces the file over and over could make every round miss.
    for (int round = 0; round < 100; ++round) {
        struct stat st;
        const bool existed = lstat(r.path.c_str(), &st) == 0;
        if (existed && NotAFile(st)) return fail(-1, NotAFile(st));
        if (existed && disposition == CREATE_NEW) return fail(-1, ERROR_FILE_EXISTS);
        if (!existed && (disposition == OPEN_EXISTING || disposition == TRUNCATE_EXISTING))
            return fail(-1, ERROR_FILE_NOT_FOUND);
        const int fd = open(r.path.c_str(), flags, 0600);
        if (fd < 0) return fail(-1, FromErrno(errno));
        struct stat opened;
        if (fstat(fd, &opened) != 0 || NotAFile(opened)) return fail(fd, ERROR_BAD_FILE_TYPE);
        if (beforeLock) beforeLock();
        if (flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0)
            return fail(fd, errno == EWOULDBLOCK ? ERROR_SHARING_VIOLATION : FromErrno(errno));
        struct stat named;
        if (lstat(r.path.c_str(), &named) != 0 || !SameFile(named, opened)) {
            close(fd);
            continue;
        }
        // Truncation waits for the lock: a file held by someone else is not cut.
        if (truncate && ftruncate(fd, 0) != 0) return fail(fd, FromErrno(errno));
        HANDLE h = Table().Add();
        Table().files[reinterpret_cast<uintptr_t>(h)] = FileHandle{fd, access, exclusive};
        SetLastError(existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS)
                         ? ERROR_ALREADY_EXISTS
                         : ERROR_SUCCESS);
        return h;
    }
    return fail(-1, ERROR_SHARING_VIOLATION);
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, DWORD* read, LPOVERLAPPED overlapped) {
    FileHandle* f = FindFile(file);
    if (!f) return FALSE;
    if (read) *read = 0;
    if (overlapped || (!buffer && toRead > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!(f->access & GENERIC_READ)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    DWORD done = 0;
    while (done < toRead) {
        ssize_t n = ::read(f->fd, static_cast<char*>(buffer) + done, toRead - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            SetLastError(ERROR_READ_FAULT);
            if (read) *read = done;
            return FALSE;
        }
        if (n == 0) break;
        done += static_cast<DWORD>(n);
    }
    if (read) *read = done;
    return TRUE;
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written,
               LPOVERLAPPED overlapped) {
    FileHandle* f = FindFile(file);
    if (!f) return FALSE;
    if (written) *written = 0;
    if (overlapped || (!buffer && toWrite > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!(f->access & GENERIC_WRITE)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    DWORD done = 0;
    while (done < toWrite) {
        ssize_t n = ::write(f->fd, static_cast<const char*>(buffer) + done, toWrite - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const DWORD error = n < 0 && errno == EFBIG ? ERROR_FILE_TOO_LARGE
                                : n < 0 && (errno == ENOSPC || errno == EDQUOT) ? ERROR_DISK_FULL
                                                                                : ERROR_WRITE_FAULT;
            SetLastError(error);
            if (written) *written = done;
            return FALSE;
        }
        done += static_cast<DWORD>(n);
    }
    if (written) *written = done;
    return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method) {
    FileHandle* f = FindFile(file);
    if (!f) return INVALID_SET_FILE_POINTER;
    int64_t move = distanceHigh
                       ? static_cast<int64_t>(
                             (static_cast<uint64_t>(static_cast<uint32_t>(*distanceHigh)) << 32) |
                             static_cast<uint32_t>(distance))
                       : static_cast<int64_t>(distance);
    int64_t base;
    if (method == FILE_BEGIN) {
        base = 0;
    } else if (method == FILE_CURRENT) {
        base = lseek(f->fd, 0, SEEK_CUR);
    } else if (method == FILE_END) {
        struct stat st;
        base = fstat(f->fd, &st) == 0 ? st.st_size : -1;
    } else {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (base < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    // Overflow-safe: the sum is formed only when it fits.
    if ((move > 0 && base > INT64_MAX - move)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    int64_t target = base + move;
    if (target < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    if (!distanceHigh && target > 0xFFFFFFFELL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (lseek(f->fd, target, SEEK_SET) < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh) *distanceHigh = static_cast<LONG>(target >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(target);
}

BOOL FlushFileBuffers(HANDLE file) {
    FileHandle* f = FindFile(file);
    if (!f) return FALSE;
    if (fsync(f->fd) != 0) {
        SetLastError(ERROR_WRITE_FAULT);
        return FALSE;
    }
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    auto it = Table().files.find(reinterpret_cast<uintptr_t>(handle));
    if (it == Table().files.end()) {
        // Search handles are closed with FindClose only.
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    close(it->second.fd);
    Table().files.erase(it);
    return TRUE;
}

HANDLE FindFirstFileW(LPCWSTR name, LPWIN32_FIND_DATAW data) {
    if (!data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    Resolved r;
    if (!Resolve(name, &r)) return INVALID_HANDLE_VALUE;
    for (const std::string& n : ListFolder(r.folder)) {
        bool ok;
        std::u16string wide = utf::FromUtf8(n, &ok);
        if (!ok || wide.size() >= MAX_PATH || !SameFolded(r.leaf, wide)) continue;
        FoundEntry e;
        e.name = wide;
        if (stat((r.folder + "/" + n).c_str(), &e.info) != 0) continue;
        // Of names that differ only in case, the first found is reported.
        Fill(e, data);
        HANDLE h = Table().Add();
        Table().searches.insert(reinterpret_cast<uintptr_t>(h));
        SetLastError(ERROR_SUCCESS);
        return h;
    }
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
}

BOOL FindClose(HANDLE handle) {
    if (Table().searches.erase(reinterpret_cast<uintptr_t>(handle)) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteFileW(LPCWSTR name) {
    Resolved r;
    if (!Resolve(name, &r)) return FALSE;
    struct stat st;
    if (lstat(r.path.c_str(), &st) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (NotAFile(st)) {
        SetLastError(NotAFile(st));
        return FALSE;
    }
    // An open file cannot be deleted on the handheld.
    if (InUse(r.path)) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    if (unlink(r.path.c_str()) != 0) {
        SetLastError(FromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL MoveFileExW(LPCWSTR existing, LPCWSTR target, DWORD flags) {
    if (flags & ~static_cast<DWORD>(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Resolved from, to;
    if (!Resolve(existing, &from) || !Resolve(target, &to)) return FALSE;
    struct stat st;
    if (lstat(from.path.c_str(), &st) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    struct stat tst;
    bool targetExists = lstat(to.path.c_str(), &tst) == 0;
    if (targetExists && (S_ISDIR(tst.st_mode) || !(flags & MOVEFILE_REPLACE_EXISTING))) {
        SetLastError(S_ISDIR(tst.st_mode) ? ERROR_ACCESS_DENIED : ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    // A file held here without sharing keeps its lock through the move: the
    // lock belongs to the open file, not to its name.
    if ((InUse(from.path) && !HeldHere(from.path)) ||
        (targetExists && InUse(to.path) && !HeldHere(to.path))) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    // The new contents reach the disk before the name points at them, and the
    // rename itself is made durable: after a crash the old or the new file is
    // there, complete.
    if (int fd = open(from.path.c_str(), O_RDONLY | O_CLOEXEC); fd >= 0) {
        fsync(fd);
        close(fd);
    }
#ifdef RENAME_NOREPLACE
    int result = targetExists ? rename(from.path.c_str(), to.path.c_str())
                              : renameat2(AT_FDCWD, from.path.c_str(), AT_FDCWD, to.path.c_str(),
                                          RENAME_NOREPLACE);
#else
    // No renameat2 (the browser build): one program alone uses that store,
    // and the target was just found absent.
    int result = rename(from.path.c_str(), to.path.c_str());
#endif
    if (result != 0) {
        SetLastError(errno == EEXIST ? ERROR_ALREADY_EXISTS : FromErrno(errno));
        return FALSE;
    }
    SyncFolder(to.folder);
    if (from.folder != to.folder) SyncFolder(from.folder);
    return TRUE;
}

DWORD GetFullPathNameA(const char* name, DWORD bufferLength, char* buffer, char** filePart) {
    bool ok = name != nullptr;
    const std::u16string wide = ok ? utf::FromUtf8(name, &ok) : std::u16string();
    Resolved r;
    if (!ok) SetLastError(ERROR_INVALID_NAME);
    if (!ok || !Resolve(wide.c_str(), &r)) return 0;
    const DWORD length = static_cast<DWORD>(r.path.size());
    if (!buffer || bufferLength <= length) return length + 1;
    std::copy(r.path.begin(), r.path.end(), buffer);
    buffer[length] = '\0';
    if (filePart) *filePart = buffer + r.path.rfind('/') + 1;
    return length;
}
