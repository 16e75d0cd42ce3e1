// Lengths in the label report are tenths of a millimetre held as doubles; every rounding is
// to the nearest integer with halves going to the even neighbour.
#pragma once

namespace labelprint {

// Tenths of a millimetre in an inch: the factor between report lengths and device dots.
inline constexpr double kTenthsPerInch = 254.0;

// Saturates at the int range, so absurd settings give absurd but defined positions.
int nearest(double v);
// A length alone (no origin) in device units: nearest(length x dpi / 254).
int lengthToDevice(double tenthsMm, int dpi);
// Device units back to 0.1 mm, unrounded.
double deviceToLength(double device, int dpi);
// A length snapped to whole pixels of a grid of `dpi`: nearest(v x dpi / 254) x 254 / dpi.
double snapToGrid(double tenthsMm, int dpi);

} // namespace labelprint
