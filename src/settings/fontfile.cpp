#include "settings/fontfile.h"

#include "platform/fileerror.h"
#include "settings/fontrecord.h"

namespace settings {

SlotFonts slotFonts(const LayoutSettings& layout) {
    SlotFonts fonts;
    for (int i = 0; i < SlotCount; ++i) {
        fonts[size_t(i)] = layout.lines[size_t(i)].font;
    }
    return fonts;
}

void putSlotFonts(LayoutSettings& layout, const SlotFonts& fonts) {
    for (int i = 0; i < SlotCount; ++i) {
        layout.lines[size_t(i)].font = fonts[size_t(i)];
    }
}

SlotFonts readFontFile(const QString& path, const SlotFonts& current) {
    const QByteArray bytes = platform::readRecordFile(path, kFontFileSize);
    SlotFonts fonts = current;
    for (int i = 0; i < SlotCount; ++i) {
        decodeFontRecord(QByteArrayView(bytes).sliced(i * kFontRecordSize, kFontRecordSize),
                         fonts[size_t(i)]);
    }
    return fonts;
}

void writeFontFile(const QString& path, const SlotFonts& fonts) {
    QByteArray bytes;
    bytes.reserve(kFontFileSize);
    for (const FontDescription& f : fonts) {
        bytes += encodeFontRecord(f);
    }
    platform::writeFileAtomic(path, bytes);
}

} // namespace settings
