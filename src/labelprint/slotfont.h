// A slot font as Qt draws it: the stored face name (the font system may substitute another face
// for drawing, the description keeps its own), the point size, the style bits.
#pragma once

#include "settings/fontdescription.h"

#include <QFont>

namespace labelprint {

QFont toQFont(const settings::FontDescription& font);
// Height of the text cell of "W" in `font` on the design grid (R dots per inch).
int designCellHeight(const settings::FontDescription& font);

} // namespace labelprint
