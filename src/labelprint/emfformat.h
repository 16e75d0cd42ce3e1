// The Enhanced Metafile records that recorded pages use: record types, stock objects, flags
// and the little-endian reading and writing helpers the writer and the player share.
#pragma once

#include <QtEndian>
#include <cstdint>
#include <cstring>

namespace labelprint::emf {

enum RecordType : std::uint32_t {
    EMR_HEADER = 1,
    EMR_EOF = 14,
    EMR_SETBKMODE = 18,
    EMR_SETTEXTALIGN = 22,
    EMR_SETTEXTCOLOR = 24,
    EMR_SETBKCOLOR = 25,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_RECTANGLE = 43,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTW = 84,
};

inline constexpr std::uint32_t kSignature = 0x464D4520; // " EMF"
inline constexpr std::uint32_t kVersion = 0x00010000;
// Header with both extensions (pixel format and micrometres); 88 bytes is the oldest form.
inline constexpr std::uint32_t kHeaderSize = 108;
inline constexpr std::uint32_t kMinHeaderSize = 88;
inline constexpr std::uint32_t kLogFontSize = 92;
// EXTCREATEFONTINDIRECTW carrying a LogFontPanose, the form GDI itself writes.
inline constexpr std::uint32_t kFontRecordSize = 12 + 320;
inline constexpr std::uint32_t kTextRecordFixedSize = 76;

// Stock objects are named by handles with the high bit set.
inline constexpr std::uint32_t kStockWhiteBrush = 0x80000000;
inline constexpr std::uint32_t kStockBlackBrush = 0x80000004;
inline constexpr std::uint32_t kStockNullBrush = 0x80000005;
inline constexpr std::uint32_t kStockWhitePen = 0x80000006;
inline constexpr std::uint32_t kStockBlackPen = 0x80000007;
inline constexpr std::uint32_t kStockNullPen = 0x80000008;

inline constexpr std::uint32_t kTransparent = 1;
inline constexpr std::uint32_t kOpaque = 2;
inline constexpr std::uint32_t kBrushSolid = 0;
inline constexpr std::uint32_t kBrushHollow = 1;

// Text alignment bits.
inline constexpr std::uint32_t kTaLeft = 0;
inline constexpr std::uint32_t kTaTop = 0;
inline constexpr std::uint32_t kTaRight = 2;
inline constexpr std::uint32_t kTaCenter = 6;
inline constexpr std::uint32_t kTaBottom = 8;
inline constexpr std::uint32_t kTaBaseline = 24;

inline constexpr std::uint8_t kDefaultCharset = 1;
inline constexpr std::uint32_t kGraphicsModeCompatible = 1;

inline std::uint32_t readU32(const char* p) {
    return qFromLittleEndian<std::uint32_t>(p);
}
inline std::int32_t readI32(const char* p) {
    return qFromLittleEndian<std::int32_t>(p);
}
inline std::uint16_t readU16(const char* p) {
    return qFromLittleEndian<std::uint16_t>(p);
}
inline std::int16_t readI16(const char* p) {
    return qFromLittleEndian<std::int16_t>(p);
}

} // namespace labelprint::emf
