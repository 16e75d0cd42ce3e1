// The progress of a run on standard error: a bar with the percentage and the finished pages,
// redrawn in place, and only when standard error is a terminal.
#pragma once

#include <cstdio>

namespace batch {

class ProgressBar {
  public:
    // Shows nothing when `enabled` is false or standard error is not a terminal.
    explicit ProgressBar(bool enabled);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    bool active() const { return active_; }
    void setPercent(int percent);
    void setPages(int pages);
    // Ends the bar's line, so that what follows starts on a line of its own.
    void finish();

  private:
    void draw();

    bool active_ = false;
    bool drawn_ = false;
    int percent_ = -1;
    int pages_ = 0;
};

} // namespace batch
