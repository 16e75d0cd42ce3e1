// One line slot of the label band as the label report holds it: where the line sits, its font,
// its switch, and the slot height that grows with the font.
#pragma once

#include "settings/fontdescription.h"
#include "settings/slotoptions.h"

namespace labelprint {

struct LineSlot {
    double top = 0;      // 0.1 mm from the label's top edge, whole design pixels
    bool centred = true; // centred on the label's middle; `left` is then unused
    double left = 0;     // 0.1 mm from the label's left edge, whole design pixels
    settings::FontDescription font;
    bool on = true;
    int height = 17;                  // design pixels; grows with the font and never shrinks
    settings::BarcodeOptions barcode; // kind Text: drawn as text
    settings::FitRule fit;            // off: drawn as the font and the text's own lines say
};

} // namespace labelprint
