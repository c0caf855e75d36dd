// Runs a command several times as a child process and prints the median wall-clock time
// of the whole process and its peak resident memory (from wait4's ru_maxrss).
//
//   kel-bench-process [--runs N] -- COMMAND [ARGUMENTS...]
//
// Prints: "N runs, median M ms (min A, max B), peak resident K kB". The child's own
// output passes through; a run that fails stops the bench with the child's status.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <vector>

#include "bench_stats.h"

extern char** environ;

namespace {

struct RunResult {
    bool ok = false;
    double ms = 0.0;
    long maxResidentKb = 0;
};

RunResult runOnce(char** command) {
    RunResult result;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, command[0], nullptr, nullptr, command, environ) != 0) {
        std::cerr << "kel-bench-process: Could not start " << command[0] << ": "
                  << std::strerror(errno) << "\n";
        return result;
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) {
        return result;
    }
    const auto stop = std::chrono::steady_clock::now();
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!result.ok) {
        std::cerr << "kel-bench-process: " << command[0] << " failed (status " << status << ")\n";
    }
    result.ms = std::chrono::duration<double, std::milli>(stop - start).count();
    result.maxResidentKb = usage.ru_maxrss;
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 10;
    int i = 1;
    if (i + 1 < argc && std::strcmp(argv[i], "--runs") == 0) {
        runs = std::atoi(argv[i + 1]);
        i += 2;
    }
    if (i >= argc || std::strcmp(argv[i], "--") != 0 || i + 1 >= argc || runs < 1) {
        std::cerr << "usage: kel-bench-process [--runs N] -- COMMAND [ARGUMENTS...]\n";
        return 2;
    }
    char** command = argv + i + 1;
    std::vector<double> times;
    long peakKb = 0;
    for (int run = 0; run < runs; ++run) {
        const RunResult r = runOnce(command);
        if (!r.ok) {
            return 1;
        }
        times.push_back(r.ms);
        peakKb = std::max(peakKb, r.maxResidentKb);
    }
    const auto [low, high] = std::minmax_element(times.begin(), times.end());
    std::cout << runs << (runs == 1 ? " run" : " runs") << ", median " << std::fixed
              << std::setprecision(1) << kel::bench::median(times) << " ms (min " << *low
              << ", max " << *high << "), peak resident " << peakKb << " kB\n";
    return 0;
}
