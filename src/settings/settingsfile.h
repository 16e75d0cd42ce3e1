// dravelin.ini: section setup holds the layout settings (without fonts), section columns the
// widths of the list grid's columns. Every value is read with its own default.
#pragma once

#include "platform/profile.h"
#include "settings/layoutsettings.h"

#include <array>

namespace settings {

inline constexpr const char* kSettingsFileName = "dravelin.ini";
inline constexpr int kGridColumns = 7;

// The settings of section setup over `base`: a missing key or one that is not a number keeps
// the default of a first run. Slot fonts are taken from `base` unchanged.
LayoutSettings readSetup(const platform::Profile& profile, const LayoutSettings& base);
void writeSetup(platform::Profile& profile, const LayoutSettings& s);

// Widths of grid columns 0 to 6 (keys jedna .. sedm), 100 when missing; -1 is returned as read
// and means "leave the column at its initial width".
std::array<int, kGridColumns> readColumns(const platform::Profile& profile);
void writeColumns(platform::Profile& profile, const std::array<int, kGridColumns>& widths);

} // namespace settings
