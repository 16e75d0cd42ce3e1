// A page surface of the core whose page and progress announcements also move the batch tool's
// progress bar; everything else is the surface itself.
#pragma once

#include "batch/progressbar.h"

#include <utility>

namespace batch {

template <class Surface> class WatchedSurface : public Surface {
  public:
    template <class... Args>
    explicit WatchedSurface(ProgressBar& bar, Args&&... args)
        : Surface(std::forward<Args>(args)...), bar_(bar) {}

    // The layout run announces its progress once after every label.
    void progress(int percent) override {
        Surface::progress(percent);
        bar_.setLabels(++labels_);
    }
    // ... and finishes each page once.
    void finishPage() override {
        Surface::finishPage();
        bar_.setPages(++pages_);
    }

  private:
    ProgressBar& bar_;
    long long labels_ = 0;
    int pages_ = 0;
};

} // namespace batch
