#include "assist/speech.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace assist {
namespace {

// SSIP: commands end with CRLF; the text of SPEAK follows as lines ended by a
// line holding only "."; a line of the text that starts with "." gets
// another one.
std::string SsipText(const std::string& text) {
    std::string out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '.') out += '.';
        out += line + "\r\n";
        start = end + 1;
    }
    return out + ".\r\n";
}

class SpeechDispatcher : public Speaker {
   public:
    explicit SpeechDispatcher(int fd) : fd_(fd) {
        Send("SET SELF CLIENT_NAME user:fernvale:voice\r\n");
    }
    ~SpeechDispatcher() override {
        Send("CANCEL SELF\r\nQUIT\r\n");
        close(fd_);
    }
    void Say(const std::string& text) override {
        Send("CANCEL SELF\r\nSPEAK\r\n" + SsipText(text));
    }
    void Stop() override { Send("CANCEL SELF\r\n"); }

   private:
    // The replies are not needed: they are read and dropped, so the
    // socket never fills up. A daemon that has gone leaves us silent.
    void Send(const std::string& s) {
        if (fd_ < 0) return;
        if (send(fd_, s.data(), s.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(s.size())) {
            close(fd_);
            fd_ = -1;
            return;
        }
        char drop[512];
        while (recv(fd_, drop, sizeof drop, MSG_DONTWAIT) > 0) {
        }
    }
    int fd_;
};

std::string SocketPath() {
    if (const char* address = std::getenv("SPEECHD_ADDRESS")) {
        const std::string a = address;
        const std::string unix = "unix_socket:";
        if (a.compare(0, unix.size(), unix) == 0) return a.substr(unix.size());
        return std::string();  // inet addresses are not used
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || runtime[0] != '/') return std::string();
    return std::string(runtime) + "/speech-dispatcher/speechd.sock";
}

bool OnPath(const char* program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const std::string dir = dirs.substr(start, end - start);
        if (!dir.empty() && ::access((dir + "/" + program).c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

std::unique_ptr<Speaker> ConnectSpeechDispatcher() {
    const std::string path = SocketPath();
    sockaddr_un addr{};
    if (path.empty() || path.size() >= sizeof addr.sun_path) return nullptr;
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return nullptr;
    }
    return std::make_unique<SpeechDispatcher>(fd);
}

Espeak::~Espeak() {
    Stop();
}

void Espeak::Stop() {
    if (child_ <= 0) return;
    kill(child_, SIGTERM);
    waitpid(child_, nullptr, 0);
    child_ = 0;
}

void Espeak::Finish() {
    if (child_ > 0) waitpid(child_, nullptr, 0);
    child_ = 0;
}

void Espeak::Say(const std::string& text) {
    Stop();
    std::vector<std::string> words{"espeak-ng"};
    words.insert(words.end(), args_.begin(), args_.end());
    words.push_back("--");  // the text is never taken for an option
    words.push_back(text);
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    // Its complaints (no sound device) are not ours to show.
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "espeak-ng", &files, nullptr, argv.data(), environ) == 0) child_ = pid;
    posix_spawn_file_actions_destroy(&files);
}

std::unique_ptr<Espeak> StartEspeak(std::vector<std::string> args) {
    if (!OnPath("espeak-ng")) return nullptr;
    return std::make_unique<Espeak>(std::move(args));
}

std::unique_ptr<Speaker> OpenSpeaker(std::string* why) {
    if (auto s = ConnectSpeechDispatcher()) return s;
    if (auto s = StartEspeak()) return s;
    *why = "no speech: neither speech-dispatcher nor espeak-ng is there; the voice stays silent";
    return nullptr;
}

}  // namespace assist
