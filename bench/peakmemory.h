// Peak resident memory of the benchmark process so far, for the figures each benchmark reports.
#pragma once

#include <sys/resource.h>

inline double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB on Linux
}
