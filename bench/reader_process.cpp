// The whole reader as a process on the headless device:
//   start-up: from starting the process to its first painted page (the dump a
//   script asks for as soon as the program first waits), resuming at a story
//   page; the median of 21 starts;
//   memory: the peak resident size of a run through 1,000 page turns (the
//   information page and back, 500 times).
// Usage: reader_process PROGRAM
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string folder;

void WriteResumeFile(int paragraph) {
    std::string record(1160, '\0');
    record[0] = static_cast<char>(paragraph & 0xff);
    record[1] = static_cast<char>(paragraph >> 8);
    record[2] = 1;
    record[28] = static_cast<char>(218);
    std::ofstream(folder + "/store/QOT1Fernvale.dat", std::ios::binary) << record;
}

// Runs the program on `script`; gives the seconds until its first output
// line, and its peak resident size in kB.
double Run(const char* program, const std::string& script, long* peakKb) {
    int out[2];
    if (pipe(out) != 0) std::exit(1);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], 1);
        close(out[0]);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        const std::string store = folder + "/store";
        execl(program, program, "--headless", "--script", script.c_str(), "--store", store.c_str(),
              "--clock", "5000", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    char c;
    double seconds = -1;
    while (read(out[0], &c, 1) == 1) {
        if (seconds < 0 && c == '\n')
            seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "the reader failed on %s\n", script.c_str());
        std::exit(1);
    }
    if (peakKb) *peakKb = usage.ru_maxrss;
    return seconds;
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

    const std::string startup = folder + "/startup.script";
    std::ofstream(startup) << "dump\nexit\n";
    std::vector<double> starts;
    for (int i = 0; i < 21; ++i) {
        WriteResumeFile(48);
        starts.push_back(Run(argv[1], startup, nullptr));
    }
    std::sort(starts.begin(), starts.end());
    std::printf("start-up to the first painted page: median %.1f ms (min %.1f, max %.1f)\n",
                starts[starts.size() / 2] * 1e3, starts.front() * 1e3, starts.back() * 1e3);

    const std::string turns = folder + "/turns.script";
    {
        std::ofstream script(turns);
        for (int i = 0; i < 500; ++i) script << "press 501\npress 510\n";
        script << "dump\n";
    }
    WriteResumeFile(48);
    long peakKb = 0;
    Run(argv[1], turns, &peakKb);
    std::printf("peak resident size over 1,000 page turns: %.1f MB\n", peakKb / 1024.0);
    std::system(("rm -rf " + folder).c_str());
    return 0;
}
