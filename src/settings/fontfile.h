// The font file "font": the seven slot fonts as 268-byte records in slot order, 1876 bytes,
// no header.
#pragma once

#include "settings/fontdescription.h"
#include "settings/layoutsettings.h"

#include <QString>
#include <array>

namespace settings {

inline constexpr const char* kFontFileName = "font";
inline constexpr int kFontFileSize = 7 * 268;

using SlotFonts = std::array<FontDescription, SlotCount>;

// The fonts of the seven slots of `layout`, and back: the font file holds nothing else.
SlotFonts slotFonts(const LayoutSettings& layout);
void putSlotFonts(LayoutSettings& layout, const SlotFonts& fonts);

// Reads all seven records and returns `current` with each record put onto its slot's font.
// Throws platform::FileError ("File access denied" when the file may not be written, "Read
// beyond end of file" when it is short). Bytes after the first 1876 are ignored.
SlotFonts readFontFile(const QString& path, const SlotFonts& current);
// Replaces the file atomically with exactly 1876 bytes. Throws platform::FileError.
void writeFontFile(const QString& path, const SlotFonts& fonts);

} // namespace settings
