#include "crossprocess/crossprocess.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "files/store.h"
#include "wm/foreign.h"
#include "wm/wm.h"

namespace device {
namespace {

constexpr uint32_t kMagic = 0x46565850;  // request marker
constexpr uintptr_t kProxyBase = 0x7F000000;

enum Request : uint32_t { Raise = 1, RaiseWithPopup, Invalidate, Update, SetPos };

struct Wire {
    uint32_t magic = kMagic;
    uint32_t request = 0;
    int32_t rect[4] = {0, 0, 0, 0};
    int32_t hasRect = 0, erase = 0;
    int64_t after = 0;
    int32_t x = 0, y = 0, cx = 0, cy = 0;
    uint32_t flags = 0;
};

// A process that does not take a request within this time is not answering
// (stopped or stuck); its stand-in fails every call from then on.
constexpr int kAnswerWithinMs = 2000;
// How long FindWindowW waits for a window while another process of the
// device is starting (its window may be a moment away).
constexpr int kStartWithinMs = 5000;
constexpr int kRetryMs = 10;

struct Listener {
    std::u16string key;  // lower-cased class name
    std::string path;
    int fd = -1;  // -1: another process answers for this class
};

bool installed = false;
std::vector<Listener> listeners;
struct Proxy {
    std::string path;
    bool silent = false;  // a request went unanswered
};
std::vector<Proxy> proxies;  // each stand-in handle's
int startingFd = -1;         // this process's mark while it starts
void (*raiseHandler)() = nullptr;
int raises = 0;

// The waker: a thread that sleeps until a connection arrives on a listening
// socket and then wakes the UI thread (which does all the serving). Each
// socket is armed once (EPOLLONESHOT) and armed again after it was served,
// so the thread never spins; closing a socket takes it out of the set.
int epollFd = -1;
int stopFd = -1;
std::thread waker;
void (*wakeUp)() = nullptr;

void Arm(int fd, bool add) {
    if (epollFd < 0 || fd < 0) return;
    epoll_event ev{};
    ev.events = EPOLLIN | EPOLLONESHOT;
    ev.data.fd = fd;
    epoll_ctl(epollFd, add ? EPOLL_CTL_ADD : EPOLL_CTL_MOD, fd, &ev);
}

std::string SocketFolder() {
    const char* run = std::getenv("XDG_RUNTIME_DIR");
    if (run && run[0] == '/') {
        struct stat st {};
        if (stat(run, &st) == 0 && S_ISDIR(st.st_mode)) return run;
    }
    std::string store = StoreDirectory();
    struct stat st {};
    if (!store.empty() && stat(store.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return store;
    std::string tmp = "/tmp/fernvale-" + std::to_string(getuid());
    mkdir(tmp.c_str(), 0700);
    return tmp;
}

bool Fill(sockaddr_un* addr, const std::string& path) {
    if (path.size() >= sizeof addr->sun_path) return false;
    std::memset(addr, 0, sizeof *addr);
    addr->sun_family = AF_UNIX;
    std::memcpy(addr->sun_path, path.c_str(), path.size() + 1);
    return true;
}

using Clock = std::chrono::steady_clock;

enum class Reached { Yes, Nobody, Silent };

// Connects to `path` before `until`. A full queue of connections is a
// listener that does not accept: tried again until the time is up.
Reached Connect(const std::string& path, Clock::time_point until, int* out) {
    sockaddr_un addr{};
    if (!Fill(&addr, path)) return Reached::Nobody;
    for (;;) {
        const int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) return Reached::Nobody;
        if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
            *out = fd;
            return Reached::Yes;
        }
        const int err = errno;
        close(fd);
        if (err != EAGAIN) return Reached::Nobody;
        if (Clock::now() >= until) return Reached::Silent;
        std::this_thread::sleep_for(std::chrono::milliseconds(kRetryMs));
    }
}

bool Answers(const std::string& path) {
    int fd = -1;
    if (Connect(path, Clock::now(), &fd) != Reached::Yes) return false;
    close(fd);
    return true;
}

// The folder's mark of the processes that have not shown a window yet: each
// holds a shared lock on it while it starts.
std::string StartingMark() {
    return SocketFolder() + "/fernvale-starting.lock";
}

void LeaveStarting() {
    if (startingFd >= 0) close(startingFd);
    startingFd = -1;
}

// Whether another process of the device is starting (this one's own mark is
// dropped first: a process looking for another's window is not about to
// show one of its own).
bool OthersStarting() {
    LeaveStarting();
    const int fd = open(StartingMark().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool busy = flock(fd, LOCK_EX | LOCK_NB) != 0;
    close(fd);
    return busy;
}

// Binds and listens; an address left behind by a process that has gone is
// taken over, one that a live process answers on is left alone.
int Listen(const std::string& path) {
    sockaddr_un addr{};
    if (!Fill(&addr, path)) return -1;
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) return -1;
        if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
            if (listen(fd, 64) == 0) return fd;
            close(fd);
            return -1;
        }
        const int err = errno;
        close(fd);
        if (err != EADDRINUSE) return -1;
        if (Answers(path)) return -1;
        unlink(path.c_str());
    }
    return -1;
}

wm::Window* WindowOfClass(const std::u16string& key) {
    for (wm::Window* t : wm::TopLevels())
        if (!t->destroying && t->cls && t->cls->key == key) return t;
    return nullptr;
}

// The last message box the window owns, for a raise with the popup bit.
wm::Window* OwnedPopup(wm::Window* w) {
    for (wm::Window* t : wm::TopLevels())
        if (t != w && !t->destroying && t->owner == w->handle && (t->style & WS_VISIBLE)) return t;
    return nullptr;
}

void Serve(const std::u16string& key, const Wire& in) {
    wm::Window* w = WindowOfClass(key);
    if (!w || in.magic != kMagic) return;
    HWND h = w->handle;
    switch (in.request) {
        case Raise:
        case RaiseWithPopup: {
            wm::Window* target = in.request == RaiseWithPopup ? OwnedPopup(w) : nullptr;
            SetForegroundWindow(target ? target->handle : h);
            ++raises;
            if (raiseHandler) raiseHandler();
            break;
        }
        case Invalidate: {
            RECT r{in.rect[0], in.rect[1], in.rect[2], in.rect[3]};
            InvalidateRect(h, in.hasRect ? &r : nullptr, in.erase ? TRUE : FALSE);
            break;
        }
        case Update:
            UpdateWindow(h);
            break;
        case SetPos:
            SetWindowPos(h, reinterpret_cast<HWND>(static_cast<intptr_t>(in.after)), in.x, in.y,
                         in.cx, in.cy, in.flags);
            break;
        default:
            break;
    }
}

// Delivers a request and waits until the other process has taken it.
bool Send(HWND proxy, const Wire& w) {
    Proxy& p = proxies[((reinterpret_cast<uintptr_t>(proxy) & ~uintptr_t{1}) - kProxyBase) / 4];
    const auto until = Clock::now() + std::chrono::milliseconds(kAnswerWithinMs);
    int fd = -1;
    const Reached reached = p.silent ? Reached::Silent : Connect(p.path, until, &fd);
    bool taken = false;
    p.silent = reached == Reached::Silent;
    if (reached == Reached::Yes) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
        pollfd answer{fd, POLLIN, 0};
        const int ready = send(fd, &w, sizeof w, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof w)
                              ? poll(&answer, 1, std::max<int>(0, static_cast<int>(left.count())))
                              : -1;
        char ack = 0;
        taken = ready == 1 && recv(fd, &ack, 1, 0) == 1;
        p.silent = ready == 0;
        close(fd);
    }
    if (!taken) SetLastError(p.silent ? ERROR_TIMEOUT : wm::kErrorInvalidWindowHandle);
    return taken;
}

bool IsProxy(HWND h) {
    const uintptr_t v = reinterpret_cast<uintptr_t>(h) & ~uintptr_t{1};
    return v >= kProxyBase && (v - kProxyBase) % 4 == 0 && (v - kProxyBase) / 4 < proxies.size();
}

HWND Find(LPCWSTR className, LPCWSTR windowName) {
    if (!className || windowName) return nullptr;
    const std::string path = CrossProcessSocket(className);
    for (const Listener& l : listeners)
        if (l.path == path && l.fd >= 0) return nullptr;  // ours, and the window has gone
    // Nobody listening while another process is starting: its window may be
    // on its way (copies started together), so look again for a while.
    const auto started = Clock::now();
    int fd = -1;
    Reached reached;
    while ((reached = Connect(path, Clock::now() + std::chrono::milliseconds(kAnswerWithinMs),
                              &fd)) == Reached::Nobody &&
           Clock::now() - started < std::chrono::milliseconds(kStartWithinMs) && OthersStarting())
        std::this_thread::sleep_for(std::chrono::milliseconds(kRetryMs));
    if (reached == Reached::Nobody) return nullptr;
    if (fd >= 0) close(fd);
    size_t index = 0;
    while (index < proxies.size() && proxies[index].path != path) ++index;
    if (index == proxies.size()) proxies.push_back(Proxy{path});
    proxies[index].silent = reached == Reached::Silent;
    return reinterpret_cast<HWND>(kProxyBase + 4 * index);
}

bool RaiseHook(HWND h) {
    // The low bit asks for the window's last active popup as well.
    const bool popup = (reinterpret_cast<uintptr_t>(h) & 1) != 0;
    HWND plain = reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(h) & ~uintptr_t{1});
    if (wm::Window* local = wm::FindQuiet(plain)) {
        if (local->parent) return false;
        wm::Window* target = popup ? OwnedPopup(local) : nullptr;
        return SetForegroundWindow(target ? target->handle : plain) != FALSE;
    }
    if (!IsProxy(h)) {
        SetLastError(wm::kErrorInvalidWindowHandle);
        return false;
    }
    Wire w;
    w.request = popup ? RaiseWithPopup : Raise;
    return Send(h, w);
}

bool Forward(HWND h, const wm::ForeignCall& call) {
    Wire w;
    switch (call.kind) {
        case wm::ForeignCall::Invalidate:
            w.request = Invalidate;
            w.rect[0] = call.rect.left, w.rect[1] = call.rect.top, w.rect[2] = call.rect.right,
            w.rect[3] = call.rect.bottom;
            w.hasRect = call.hasRect, w.erase = call.erase;
            break;
        case wm::ForeignCall::Update:
            w.request = Update;
            break;
        case wm::ForeignCall::SetPos:
            w.request = SetPos;
            w.after = static_cast<int64_t>(reinterpret_cast<intptr_t>(call.after));
            w.x = call.x, w.y = call.y, w.cx = call.cx, w.cy = call.cy, w.flags = call.flags;
            break;
    }
    return Send(h, w);
}

}  // namespace

std::string CrossProcessSocket(const std::u16string& className) {
    const std::u16string key = wm::Lower(className);
    std::string name;
    bool plain = key.size() <= 40;
    for (char16_t c : key) {
        if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_' || c == u'-')
            name += static_cast<char>(c);
        else
            plain = false;
    }
    if (!plain) {
        // Long names and names with other characters: a hash of the name.
        uint64_t h = 1469598103934665603ull;
        for (char16_t c : key) {
            h ^= c;
            h *= 1099511628211ull;
        }
        char hex[17];
        std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
        name = name.substr(0, 24) + "-" + hex;
    }
    std::string path = SocketFolder() + "/fernvale-" + name + ".sock";
    if (path.size() >= sizeof(sockaddr_un::sun_path)) path = "/tmp/fernvale-" + name + ".sock";
    return path;
}

void StartCrossProcessWaker(void (*wake)()) {
    if (waker.joinable()) return;
    epollFd = epoll_create1(EPOLL_CLOEXEC);
    stopFd = eventfd(0, EFD_CLOEXEC);
    if (epollFd < 0 || stopFd < 0) {
        if (epollFd >= 0) close(epollFd);
        if (stopFd >= 0) close(stopFd);
        epollFd = stopFd = -1;
        return;
    }
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = stopFd;
    epoll_ctl(epollFd, EPOLL_CTL_ADD, stopFd, &ev);
    for (const Listener& l : listeners) Arm(l.fd, true);
    wakeUp = wake;
    const int ep = epollFd, stop = stopFd;
    waker = std::thread([ep, stop, wake] {
        for (;;) {
            epoll_event events[8];
            const int n = epoll_wait(ep, events, 8, -1);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return;
            bool ready = false;
            for (int i = 0; i < n; ++i) {
                if (events[i].data.fd == stop) return;
                ready = true;
            }
            if (ready && wake) wake();
        }
    });
}

void StopCrossProcessWaker() {
    if (!waker.joinable()) return;
    const uint64_t one = 1;
    (void)!write(stopFd, &one, sizeof one);
    waker.join();
    close(epollFd);
    close(stopFd);
    epollFd = stopFd = -1;
    wakeUp = nullptr;
}

void InstallCrossProcess() {
    installed = true;
    LeaveStarting();
    startingFd = open(StartingMark().c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
    if (startingFd >= 0) flock(startingFd, LOCK_SH);
    wm::SetForeignWindowHooks(Find, RaiseHook);
    wm::SetForeignCallHooks(IsProxy, Forward);
}

void ShutdownCrossProcess() {
    StopCrossProcessWaker();
    LeaveStarting();
    for (Listener& l : listeners)
        if (l.fd >= 0) {
            close(l.fd);
            unlink(l.path.c_str());
        }
    listeners.clear();
    proxies.clear();
    installed = false;
    wm::SetForeignWindowHooks(nullptr, nullptr);
    wm::SetForeignCallHooks(nullptr, nullptr);
}

void PollCrossProcess() {
    if (!installed) return;
    // Listen for every class that has a top-level window; stop for the others.
    for (wm::Window* t : wm::TopLevels()) {
        if (t->destroying || !t->cls || t->cls->name.empty() || t->cls->name[0] == u'#') continue;
        bool known = false;
        for (const Listener& l : listeners) known |= l.key == t->cls->key;
        if (known) continue;
        Listener l;
        l.key = t->cls->key;
        l.path = CrossProcessSocket(t->cls->name);
        l.fd = Listen(l.path);
        if (l.fd >= 0) LeaveStarting();  // the window can be found now
        Arm(l.fd, true);
        listeners.push_back(std::move(l));
    }
    for (auto it = listeners.begin(); it != listeners.end();) {
        if (WindowOfClass(it->key)) {
            ++it;
            continue;
        }
        if (it->fd >= 0) {
            close(it->fd);
            unlink(it->path.c_str());
        }
        it = listeners.erase(it);
    }
    // Which sockets have a caller waiting, in one call: an accept that finds
    // none still makes and drops a socket in the kernel, on every pump.
    std::vector<pollfd> waiting;
    for (const Listener& l : listeners) waiting.push_back(pollfd{l.fd, POLLIN, 0});
    if (poll(waiting.data(), waiting.size(), 0) <= 0) waiting.clear();
    for (size_t i = 0; i < listeners.size(); ++i) {
        const bool calling =
            i < waiting.size() && waiting[i].fd == listeners[i].fd && (waiting[i].revents & POLLIN);
        for (;;) {
            if (listeners[i].fd < 0 || !calling) break;
            int c = accept4(listeners[i].fd, nullptr, nullptr, SOCK_CLOEXEC);
            if (c < 0) break;
            timeval tv{0, 200000};
            setsockopt(c, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
            Wire w;
            const ssize_t n = recv(c, &w, sizeof w, 0);
            // Taken: the caller waits for this before it returns.
            if (n == static_cast<ssize_t>(sizeof w)) send(c, "k", 1, MSG_NOSIGNAL | MSG_DONTWAIT);
            close(c);
            // Serving may run the program's code, which may change the list.
            const std::u16string key = listeners[i].key;
            if (n == static_cast<ssize_t>(sizeof w)) Serve(key, w);
            if (i >= listeners.size() || listeners[i].key != key) break;
        }
        if (i < listeners.size()) Arm(listeners[i].fd, false);
    }
}

void SetRaiseHandler(void (*raise)()) {
    raiseHandler = raise;
}

int TakeForeignRaises() {
    const int n = raises;
    raises = 0;
    return n;
}

}  // namespace device
