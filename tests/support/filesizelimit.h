// Runs code with a small file-size limit on the test process, so that writing a file fails for
// real, even for root.
#pragma once

#include <csignal>
#include <sys/resource.h>

// Calls `body` with the file-size limit at `bytes` and puts the old limit back; false when the
// limit could not be set (and `body` did not run).
template <typename Body> bool withFileSizeLimit(rlim_t bytes, Body body) {
    rlimit old{};
    if (getrlimit(RLIMIT_FSIZE, &old) != 0) {
        return false;
    }
    rlimit small = old;
    small.rlim_cur = bytes;
    // A write past the limit then fails with EFBIG instead of killing the process.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (setrlimit(RLIMIT_FSIZE, &small) != 0) {
        std::signal(SIGXFSZ, oldHandler);
        return false;
    }
    body();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    return true;
}
