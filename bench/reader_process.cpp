// The whole reader as a process, beside the floor process, in one run:
//   floor: a process of the platform that starts, loads the page font, draws
//   one line and exits (floor_process);
//   headless start: from starting the reader to its first painted page (the
//   dump a script asks for as soon as the program first waits), resuming at
//   a story page;
//   windowed start: from starting the reader in a real window to its first
//   frame on the screen (--report-first-frame), under an Xvfb of its own when
//   there is no display;
//   page turns: 1,000 of them headless (the information page and back, 500
//   times), the time of each beyond the start and the peak resident size.
// Starts are the median of 21 runs (11 for the window), with the median CPU
// time of the whole process, user and system, which other processes on a
// busy machine do not add to; each line gives the peak resident size of its
// process (the window's after half a second on the screen).
// Usage: reader_process PROGRAM
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string folder;

void WriteResumeFile(int paragraph) {
    std::string record(1160, '\0');
    record[0] = static_cast<char>(paragraph & 0xff);
    record[1] = static_cast<char>(paragraph >> 8);
    record[2] = 1;
    record[28] = static_cast<char>(218);
    std::ofstream(folder + "/store/QOT1Fernvale.dat", std::ios::binary) << record;
}

struct Result {
    double seconds = -1;  // until the first line of output, or the end without output
    double total = 0;     // until the process ended
    double cpu = 0;       // the process's CPU time, user and system, in seconds
    long peakKb = 0;
    bool ok = false;  // the process ended with status 0
};

// Runs `args` (args[0] is the program). With `lingerMs` >= 0 the process is
// sent SIGTERM that long after its first line of output.
Result Run(const std::vector<std::string>& args, int lingerMs = -1) {
    int out[2];
    if (pipe(out) != 0) std::exit(1);
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], 1);
        close(out[0]);
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    Result r;
    char c;
    while (read(out[0], &c, 1) == 1) {
        if (r.seconds >= 0 || c != '\n') continue;
        r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (lingerMs >= 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(lingerMs));
            kill(child, SIGTERM);
        }
    }
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    r.total = std::chrono::duration<double>(Clock::now() - start).count();
    if (r.seconds < 0) r.seconds = r.total;
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    r.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    r.peakKb = usage.ru_maxrss;
    return r;
}

// Median start time and the largest peak of `runs` runs.
void Report(const char* what, int runs, const std::vector<std::string>& args, int paragraph,
            int lingerMs = -1) {
    std::vector<double> starts, cpu;
    long peakKb = 0;
    for (int i = 0; i < runs; ++i) {
        WriteResumeFile(paragraph);
        const Result r = Run(args, lingerMs);
        if (!r.ok) {
            std::printf("%-36s the program failed\n", what);
            return;
        }
        starts.push_back(r.seconds);
        cpu.push_back(r.cpu);
        peakKb = std::max(peakKb, r.peakKb);
    }
    std::sort(starts.begin(), starts.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-42s %6.1f ms (min %5.1f), CPU %5.1f ms, peak resident %5.1f MB\n", what,
                starts[starts.size() / 2] * 1e3, starts.front() * 1e3, cpu[cpu.size() / 2] * 1e3,
                peakKb / 1024.0);
}

// An Xvfb of our own for the window; its process id, or 0 when it cannot be
// started.
pid_t StartXvfb() {
    int fd[2];
    if (pipe(fd) != 0) return 0;
    const pid_t xvfb = fork();
    if (xvfb == 0) {
        close(fd[0]);
        const std::string displayFd = std::to_string(fd[1]);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 2);
        execlp("Xvfb", "Xvfb", "-displayfd", displayFd.c_str(), "-screen", "0", "1024x768x24",
               "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fd[1]);
    std::string display;
    char c;
    while (read(fd[0], &c, 1) == 1 && c != '\n') display += c;
    close(fd[0]);
    if (display.empty()) {
        kill(xvfb, SIGTERM);
        waitpid(xvfb, nullptr, 0);
        return 0;
    }
    setenv("DISPLAY", (":" + display).c_str(), 1);
    return xvfb;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: reader_process PROGRAM\n");
        return 2;
    }
    char temp[] = "/tmp/reader_process_XXXXXX";
    if (!mkdtemp(temp)) return 1;
    folder = temp;
    std::system(("mkdir -p " + folder + "/store").c_str());
    const std::string program = argv[1], store = folder + "/store";

    Report("floor (start, font, one line), to exit:", 21, {FLOOR_PROCESS}, 48);
    const std::string startup = folder + "/startup.script";
    std::ofstream(startup) << "dump\nexit\n";
    const std::vector<std::string> headless = {program,   "--headless", "--store", store,
                                               "--clock", "5000",       "--script"};
    auto with = [](std::vector<std::string> args, const std::string& last) {
        args.push_back(last);
        return args;
    };
    Report("headless start to the first page:", 21, with(headless, startup), 48);

    pid_t xvfb = 0;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) xvfb = StartXvfb();
    if (std::getenv("DISPLAY") && *std::getenv("DISPLAY")) {
        Report(xvfb ? "windowed start to the first frame (Xvfb):"
                    : "windowed start to the first frame:",
               11, {program, "--store", store, "--report-first-frame"}, 48, 500);
    } else {
        std::printf("windowed start: no display and no Xvfb, not measured\n");
    }
    if (xvfb) {
        kill(xvfb, SIGTERM);
        waitpid(xvfb, nullptr, 0);
    }

    const std::string turns = folder + "/turns.script";
    {
        std::ofstream script(turns);
        for (int i = 0; i < 500; ++i) script << "press 501\npress 510\n";
        script << "exit\n";
    }
    std::vector<double> starts, cpu;
    for (int i = 0; i < 5; ++i) {
        WriteResumeFile(48);
        const Result r = Run(with(headless, startup));
        starts.push_back(r.total);
        cpu.push_back(r.cpu);
    }
    std::sort(starts.begin(), starts.end());
    std::sort(cpu.begin(), cpu.end());
    WriteResumeFile(48);
    const Result r = Run(with(headless, turns));
    std::printf("%-42s %6.1f us a turn, CPU %5.1f us, peak resident %5.1f MB\n",
                "1,000 page turns, headless, beyond the start:",
                (r.total - starts[starts.size() / 2]) * 1e6 / 1000,
                (r.cpu - cpu[cpu.size() / 2]) * 1e6 / 1000, r.peakKb / 1024.0);
    std::system(("rm -rf " + folder).c_str());
    return 0;
}
