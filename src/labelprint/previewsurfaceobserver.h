// What a preview surface announces to the window attached to it: a page became available, and
// the share of the print list laid out so far. The preview window forwards both as queued events.
#pragma once

namespace labelprint {

class PreviewSurfaceObserver {
  public:
    virtual ~PreviewSurfaceObserver() = default;
    virtual void pageAvailable(int availablePages) = 0;
    virtual void progressChanged(int percent) = 0;
};

} // namespace labelprint
