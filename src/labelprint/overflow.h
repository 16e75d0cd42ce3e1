// A label whose text does not fit, as a layout run found it: for the batch tool's list, the
// preview's marks and the print command's question.
#pragma once

#include <QRectF>

namespace labelprint {

// A label whose text does not fit: its number in the run from 1 (the row of the list), its
// slots (one bit per slot), and where it lies: its page from 1 and its rectangle in 0.1 mm from
// the paper's edge.
struct Overflow {
    int label = 0;
    unsigned slotBits = 0;
    int page = 0;
    QRectF rect;
    bool operator==(const Overflow&) const = default;
};

} // namespace labelprint
