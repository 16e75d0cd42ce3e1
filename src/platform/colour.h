// Colour values: 0x00BBGGRR for a direct colour, 0xFF0000nn for system colour nn, which is
// resolved through the application palette only when drawing.
#pragma once

#include <QColor>
#include <cstdint>

namespace platform {

inline constexpr std::int32_t kWindowTextColour = -16777208; // 0xFF000008
inline constexpr std::int32_t kBlack = 0;
inline constexpr std::int32_t kWhite = 16777215;

QColor toQColor(std::int32_t value);
// Direct colour value of a QColor (alpha dropped).
std::int32_t fromQColor(const QColor& colour);

} // namespace platform
