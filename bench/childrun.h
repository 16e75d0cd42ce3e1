// A benchmarked program run as a child process, so each run reports its own time and peak
// memory, not the benchmark's.
#pragma once

#include <QByteArray>
#include <QStringList>

#include <chrono>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace bench {

struct ChildRun {
    bool ok = false; // exited with 0
    double wallSeconds = 0;
    double cpuSeconds = 0; // user and system
    double peakMb = 0;     // peak resident memory
};

inline ChildRun runChild(const QByteArray& exe, const QStringList& args) {
    std::vector<QByteArray> bytes{exe};
    for (const QString& a : args) {
        bytes.push_back(a.toLocal8Bit());
    }
    std::vector<char*> argv;
    for (QByteArray& b : bytes) {
        argv.push_back(b.data());
    }
    argv.push_back(nullptr);
    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid) {
        return run;
    }
    run.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    run.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    run.peakMb = double(usage.ru_maxrss) / 1024.0;
    return run;
}

} // namespace bench
