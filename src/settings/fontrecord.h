// The 268-byte font record of the font file and the snapshot record: style byte, 3 reserved
// bytes, height, face name as a short string in Windows-1250, colour; little-endian.
#pragma once

#include "settings/fontdescription.h"

#include <QByteArray>
#include <QByteArrayView>

namespace settings {

inline constexpr int kFontRecordSize = 268;

// Reserved bytes and the name bytes after the face name are written as 0.
QByteArray encodeFontRecord(const FontDescription& font);

// Puts the record's height, style, face name and colour onto `font`; a name length of 0
// keeps the face name. `record` must hold at least kFontRecordSize bytes.
void decodeFontRecord(QByteArrayView record, FontDescription& font);

} // namespace settings
