// Two sheets shared by the layout and catalogue tests: a gapless 4 x 10 of 52 x 29.5 mm from
// 1 mm (the figures the catalogue once gave 3651, which is sold as 52.5 x 29.7 mm from the
// paper's edge) and the 3 x 7 of 63.5 x 38.1 mm with column gaps (L7160). All figures in
// 0.1 mm, switched on.
#pragma once

#include "settings/sheet.h"

namespace test {

inline settings::Sheet sheet3651() {
    settings::Sheet s;
    s.on = true;
    s.left = 10;
    s.top = 10;
    s.width = 520;
    s.height = 295;
    s.pitchX = 520;
    s.pitchY = 295;
    s.columns = 4;
    s.rows = 10;
    return s;
}

inline settings::Sheet sheetL7160() {
    settings::Sheet s = sheet3651();
    s.left = 72;
    s.top = 151;
    s.width = 635;
    s.height = 381;
    s.pitchX = 660;
    s.pitchY = 381;
    s.columns = 3;
    s.rows = 7;
    return s;
}

} // namespace test
