// The progress of a run on standard error: a bar with the percentage, the labels and pages done
// and the time left at the rate so far, redrawn in place, and only when standard error is a
// terminal.
#pragma once

#include <chrono>
#include <string>

namespace batch {

class ProgressBar {
  public:
    using Clock = std::chrono::steady_clock;

    // Shows nothing when `enabled` is false or standard error is not a terminal.
    explicit ProgressBar(bool enabled);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    bool active() const { return active_; }
    // The labels the run will lay out; the clock for the time left starts here.
    void start(long long totalLabels);
    void setLabels(long long done);
    void setPages(int pages);
    // Ends the bar's line, so that what follows starts on a line of its own.
    void finish();

    // The bar's line for these figures; `elapsed` gives the time left.
    static std::string line(long long done, long long total, int pages, Clock::duration elapsed);

  private:
    void draw(Clock::time_point now);

    bool active_ = false;
    bool drawn_ = false;
    long long total_ = 0;
    long long done_ = 0;
    int pages_ = 0;
    int percent_ = -1;
    Clock::time_point started_{};
    Clock::time_point lastDraw_{};
    size_t lastLength_ = 0;
};

} // namespace batch
