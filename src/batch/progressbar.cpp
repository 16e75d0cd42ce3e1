#include "batch/progressbar.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace batch {
namespace {

constexpr int kWidth = 30;
// Often enough for the time left to move smoothly, rarely enough to cost nothing.
constexpr auto kRedraw = std::chrono::milliseconds(200);

// 1234567 as "1,234,567".
std::string grouped(long long n) {
    std::string digits = std::to_string(n);
    for (int i = int(digits.size()) - 3; i > 0; i -= 3) {
        digits.insert(size_t(i), 1, ',');
    }
    return digits;
}

std::string clock(long long seconds) {
    char text[32];
    if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    }
    return text;
}

int percentOf(long long done, long long total) {
    return total > 0 ? int(std::clamp(done * 100 / total, 0LL, 100LL)) : 0;
}

} // namespace

ProgressBar::ProgressBar(bool enabled) : active_(enabled && ::isatty(STDERR_FILENO) == 1) {}

ProgressBar::~ProgressBar() {
    finish();
}

void ProgressBar::start(long long totalLabels) {
    total_ = totalLabels;
    started_ = Clock::now();
}

std::string ProgressBar::line(long long done, long long total, int pages, Clock::duration elapsed) {
    const int p = percentOf(done, total);
    const int filled = p * kWidth / 100;
    std::string text = "[";
    text.append(size_t(filled), '#');
    text.append(size_t(kWidth - filled), '.');
    text += "] " + std::to_string(p) + "%  " + grouped(done) + " of " + grouped(total) +
            (total == 1 ? " label  " : " labels  ") + grouped(pages) +
            (pages == 1 ? " page  " : " pages  ");
    // The rate so far gives the time left, once there is a rate to speak of.
    const double seconds = std::chrono::duration<double>(elapsed).count();
    if (done > 0 && done < total && seconds >= 0.1) {
        const double left = seconds * double(total - done) / double(done);
        text += clock((long long)(left + 0.5)) + " left";
    } else if (done >= total) {
        text += clock((long long)(seconds + 0.5)) + " taken";
    } else {
        text += "-:-- left";
    }
    return text;
}

void ProgressBar::setLabels(long long done) {
    if (!active_) {
        return;
    }
    done_ = done;
    const int p = percentOf(done, total_);
    const Clock::time_point now = Clock::now();
    if (p != percent_ || now - lastDraw_ >= kRedraw || done_ == total_) {
        percent_ = p;
        draw(now);
    }
}

void ProgressBar::setPages(int pages) {
    pages_ = pages;
}

void ProgressBar::draw(Clock::time_point now) {
    std::string text = line(done_, total_, pages_, now - started_);
    const size_t length = text.size();
    // Blanks over what a longer line before left on the terminal.
    if (length < lastLength_) {
        text.append(lastLength_ - length, ' ');
    }
    lastLength_ = length;
    std::fputs(("\r" + text).c_str(), stderr);
    std::fflush(stderr);
    lastDraw_ = now;
    drawn_ = true;
}

void ProgressBar::finish() {
    if (active_ && drawn_) {
        draw(Clock::now());
        std::fputc('\n', stderr);
        std::fflush(stderr);
    }
    drawn_ = false;
}

} // namespace batch
