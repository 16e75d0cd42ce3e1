#include "batch/progressbar.h"

#include <algorithm>
#include <string>
#include <unistd.h>

namespace batch {
namespace {
constexpr int kWidth = 40;
}

ProgressBar::ProgressBar(bool enabled) : active_(enabled && ::isatty(STDERR_FILENO) == 1) {}

ProgressBar::~ProgressBar() {
    finish();
}

void ProgressBar::setPercent(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (!active_ || percent == percent_) {
        return;
    }
    percent_ = percent;
    draw();
}

void ProgressBar::setPages(int pages) {
    if (!active_ || pages == pages_) {
        return;
    }
    pages_ = pages;
    draw();
}

void ProgressBar::draw() {
    const int p = std::max(percent_, 0);
    const int filled = p * kWidth / 100;
    std::string line = "\r[";
    line.append(size_t(filled), '#');
    line.append(size_t(kWidth - filled), '.');
    line += "] " + std::to_string(p) + "%  " + std::to_string(pages_) +
            (pages_ == 1 ? " page " : " pages");
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    drawn_ = true;
}

void ProgressBar::finish() {
    if (active_ && drawn_) {
        std::fputc('\n', stderr);
        std::fflush(stderr);
    }
    drawn_ = false;
}

} // namespace batch
