#include "labelprint/emfwriter.h"

#include "labelprint/emfformat.h"

#include <cmath>

namespace labelprint::emf {

EmfWriter::EmfWriter(QSize deviceSize, int dpi) : size_(deviceSize), dpi_(dpi > 0 ? dpi : 96) {
    start();
}

void EmfWriter::start() {
    bytes_.clear();
    bytes_.reserve(64 * 1024);
    records_ = 0;
    fontSlot_ = -1;
    brushSlot_ = -1;
    brushLive_ = {false, false};
    textColourSet_ = false;
    align_ = Align::TopLeft;
    writeHeader();
    // Text never paints its own background; the default alignment is top-left.
    simpleRecord(EMR_SETBKMODE, kTransparent);
    simpleRecord(EMR_SETTEXTALIGN, kTaTop | kTaLeft);
    // Fills are brush-only, so no outline is added around them.
    simpleRecord(EMR_SELECTOBJECT, kStockNullPen);
}

void EmfWriter::putU32(std::uint32_t v) {
    char b[4];
    qToLittleEndian(v, b);
    bytes_.append(b, 4);
}

void EmfWriter::putU16(std::uint16_t v) {
    char b[2];
    qToLittleEndian(v, b);
    bytes_.append(b, 2);
}

void EmfWriter::putU8(std::uint8_t v) {
    bytes_.append(char(v));
}

void EmfWriter::putF32(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    putU32(bits);
}

void EmfWriter::putZeros(int n) {
    bytes_.append(n, '\0');
}

void EmfWriter::beginRecord(std::uint32_t type, std::uint32_t size) {
    putU32(type);
    putU32(size);
    ++records_;
}

void EmfWriter::simpleRecord(std::uint32_t type, std::uint32_t value) {
    beginRecord(type, 12);
    putU32(value);
}

void EmfWriter::writeHeader() {
    // Sizes in 0.01 mm and micrometres of the whole page; the counts are filled in by finish().
    const auto hundredths = [this](int px) {
        return std::int32_t(std::lround(px * 2540.0 / dpi_));
    };
    const auto micrometres = [this](int px) {
        return std::int32_t(std::lround(px * 25400.0 / dpi_));
    };
    const auto millimetres = [this](int px) { return std::int32_t(std::lround(px * 25.4 / dpi_)); };
    beginRecord(EMR_HEADER, kHeaderSize);
    // Bounds, inclusive.
    putI32(0);
    putI32(0);
    putI32(size_.width() - 1);
    putI32(size_.height() - 1);
    // Frame.
    putI32(0);
    putI32(0);
    putI32(hundredths(size_.width()));
    putI32(hundredths(size_.height()));
    putU32(kSignature);
    putU32(kVersion);
    putU32(0); // bytes
    putU32(0); // records
    putU16(5); // handle table size: index 0 is reserved, then two fonts and two brushes
    putU16(0);
    putU32(0); // no description
    putU32(0);
    putU32(0); // no palette
    putI32(size_.width());
    putI32(size_.height());
    putI32(millimetres(size_.width()));
    putI32(millimetres(size_.height()));
    putU32(0); // no pixel format
    putU32(0);
    putU32(0); // not OpenGL
    putI32(micrometres(size_.width()));
    putI32(micrometres(size_.height()));
}

void EmfWriter::fillRect(const QRect& rect, std::uint32_t colour) {
    if (rect.isEmpty()) {
        return;
    }
    colour &= 0x00FFFFFFu;
    if (brushSlot_ < 0 || colour != brushColours_[brushSlot_]) {
        // Labels alternate between background and frame, so both brushes are kept.
        const int other = brushSlot_ < 0 ? 0 : 1 - brushSlot_;
        if (!brushLive_[other] || brushColours_[other] != colour) {
            if (brushLive_[other]) {
                simpleRecord(EMR_DELETEOBJECT, kBrushSlots[other]);
            }
            beginRecord(EMR_CREATEBRUSHINDIRECT, 24);
            putU32(kBrushSlots[other]);
            putU32(kBrushSolid);
            putU32(colour);
            putU32(0);
            brushLive_[other] = true;
            brushColours_[other] = colour;
        }
        simpleRecord(EMR_SELECTOBJECT, kBrushSlots[other]);
        brushSlot_ = other;
    }
    // With the null pen a rectangle leaves out its right column and bottom row, so the box
    // reaches one unit beyond the area to fill.
    beginRecord(EMR_RECTANGLE, 24);
    putI32(rect.left());
    putI32(rect.top());
    putI32(rect.left() + rect.width() + 1);
    putI32(rect.top() + rect.height() + 1);
}

void EmfWriter::selectFont(const LogFont& font) {
    if (fontSlot_ >= 0 && font == font_) {
        return;
    }
    const int slot = fontSlot_ < 0 ? 0 : 1 - fontSlot_;
    beginRecord(EMR_EXTCREATEFONTINDIRECTW, kFontRecordSize);
    putU32(kFontSlots[slot]);
    putI32(font.height);
    putI32(0); // width: the face's own
    putI32(0); // escapement
    putI32(0); // orientation
    putI32(font.weight);
    putU8(font.italic ? 1 : 0);
    putU8(font.underline ? 1 : 0);
    putU8(font.strikeOut ? 1 : 0);
    putU8(font.charSet);
    putU8(0); // out precision
    putU8(0); // clip precision
    putU8(0); // quality
    putU8(0); // pitch and family
    const QString face = font.face.left(31);
    for (QChar c : face) {
        putU16(c.unicode());
    }
    putZeros((32 - int(face.size())) * 2);
    putZeros(int(kFontRecordSize) - 12 - int(kLogFontSize));
    simpleRecord(EMR_SELECTOBJECT, kFontSlots[slot]);
    if (fontSlot_ >= 0) {
        simpleRecord(EMR_DELETEOBJECT, kFontSlots[fontSlot_]);
    }
    fontSlot_ = slot;
    font_ = font;
}

void EmfWriter::drawText(QPoint at, Align align, const QString& text,
                         const std::vector<std::int32_t>& advances, int cellHeight,
                         std::uint32_t colour) {
    if (text.isEmpty()) {
        return;
    }
    colour &= 0x00FFFFFFu;
    if (!textColourSet_ || colour != textColour_) {
        simpleRecord(EMR_SETTEXTCOLOR, colour);
        textColour_ = colour;
        textColourSet_ = true;
    }
    if (align != align_) {
        simpleRecord(EMR_SETTEXTALIGN, align == Align::TopCentre ? kTaTop | kTaCenter : kTaTop);
        align_ = align;
    }
    const auto chars = std::uint32_t(text.size());
    std::int64_t width = 0;
    for (std::uint32_t i = 0; i < chars; ++i) {
        width += i < advances.size() ? advances[i] : 0;
    }
    const std::uint32_t stringBytes = (chars * 2 + 3) & ~3u;
    const std::uint32_t size = kTextRecordFixedSize + stringBytes + chars * 4;
    const std::int32_t left = align == Align::TopCentre ? at.x() - std::int32_t(width / 2) : at.x();
    beginRecord(EMR_EXTTEXTOUTW, size);
    // Bounds of the text cell, inclusive.
    putI32(left);
    putI32(at.y());
    putI32(left + std::int32_t(width) - 1);
    putI32(at.y() + cellHeight - 1);
    putU32(kGraphicsModeCompatible);
    putF32(float(2540.0 / dpi_)); // 0.01 mm per device unit
    putF32(float(2540.0 / dpi_));
    putI32(at.x());
    putI32(at.y());
    putU32(chars);
    putU32(kTextRecordFixedSize);               // string
    putU32(0);                                  // options: no clipping, no opaque box
    putZeros(16);                               // the unused clipping rectangle
    putU32(kTextRecordFixedSize + stringBytes); // Dx
    for (QChar c : text) {
        putU16(c.unicode());
    }
    putZeros(int(stringBytes - chars * 2));
    for (std::uint32_t i = 0; i < chars; ++i) {
        putI32(i < advances.size() ? advances[i] : 0);
    }
}

QByteArray EmfWriter::finish() {
    beginRecord(EMR_EOF, 20);
    putU32(0);  // no palette entries
    putU32(16); // where they would start
    putU32(20); // this record's size again
    qToLittleEndian(std::uint32_t(bytes_.size()), bytes_.data() + 48);
    qToLittleEndian(records_, bytes_.data() + 52);
    QByteArray page = std::move(bytes_);
    start();
    return page;
}

} // namespace labelprint::emf
