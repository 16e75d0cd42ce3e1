// R, the design-grid resolution: the screen's logical dots per inch, 96 without a screen.
// Label widths, line offsets and the preview surface are all computed on it.
#pragma once

namespace platform {

int designDpi();
// Pins R (tests pin 96); 0 goes back to asking the screen.
void setDesignDpi(int dpi);

} // namespace platform
