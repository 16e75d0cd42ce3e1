#include "settings/fontrecord.h"

#include "platform/codepage.h"

#include <QtEndian>
#include <stdexcept>

namespace settings {
namespace {

constexpr int kStyleAt = 0;
constexpr int kHeightAt = 4;
constexpr int kNameLengthAt = 8;
constexpr int kNameAt = 9;
constexpr int kMaxNameLength = 255;
constexpr int kColourAt = 264;
constexpr std::uint8_t kStyleBits = 0x0F;

} // namespace

QByteArray encodeFontRecord(const FontDescription& font) {
    QByteArray record(kFontRecordSize, '\0');
    char* p = record.data();
    p[kStyleAt] = char(font.style & kStyleBits);
    qToLittleEndian<std::int32_t>(font.height, p + kHeightAt);
    const QByteArray name = platform::toCp1250(font.face).left(kMaxNameLength);
    p[kNameLengthAt] = char(quint8(name.size()));
    std::copy(name.cbegin(), name.cend(), p + kNameAt);
    qToLittleEndian<std::int32_t>(font.colour, p + kColourAt);
    return record;
}

void decodeFontRecord(QByteArrayView record, FontDescription& font) {
    if (record.size() < kFontRecordSize) {
        throw std::invalid_argument("font record too short");
    }
    const char* p = record.data();
    font.height = qFromLittleEndian<std::int32_t>(p + kHeightAt);
    font.style = std::uint8_t(p[kStyleAt]) & kStyleBits;
    const int length = quint8(p[kNameLengthAt]);
    font.setFace(platform::fromCp1250(QByteArray(p + kNameAt, length)));
    font.colour = qFromLittleEndian<std::int32_t>(p + kColourAt);
}

} // namespace settings
