// dravelin.ini and font files at the edges of what their readers take, and the ways a snapshot's
// sheet trailer can be damaged: the round trips and refusals of settings snapshots.
#pragma once

#include <QByteArray>
#include <QtEndian>
#include <cstdint>
#include <limits>
#include <vector>

namespace test {

// Every value as the reader takes it: 32-bit ends, colour -1, hex patterns, a switch of 7, a
// sheet with absurd figures (Windows-1250, as the file is).
inline QByteArray extremeIni() {
    return "[setup]\r\n"
           "vlevo=-2147483648\r\n"
           "nahore=2147483647\r\n"
           "kodtop=$80000000\r\n"
           "kodleft=-1\r\n"
           "kodstop=2147483647\r\n"
           "kodsleft=-2147483648\r\n"
           "nazevtop=-800\r\n"
           "text3left=$7FFFFFFF\r\n"
           "kodschb=7\r\n"
           "kodchb=0\r\n"
           "sloupce=0\r\n"
           "vyskabunky=-1\r\n"
           "bordercolor=-1\r\n"
           "pozadi=-2147483648\r\n"
           "specznak=\x8e\r\n"
           "[arch]\r\n"
           "zapnuto=1\r\n"
           "papir=Letter\r\n"
           "sirka=-2147483648\r\n"
           "vyska=2147483647\r\n"
           "sloupce=0\r\n"
           "radky=-1\r\n";
}

// One 268-byte font record with the given fields; reserved bytes 0.
inline QByteArray fontRecord(std::uint8_t style, std::int32_t height, const QByteArray& name,
                             std::int32_t colour) {
    QByteArray r(268, '\0');
    r[0] = char(style);
    qToLittleEndian<std::int32_t>(height, r.data() + 4);
    r[8] = char(quint8(name.size()));
    r.replace(9, int(name.size()), name);
    qToLittleEndian<std::int32_t>(colour, r.data() + 264);
    return r;
}

// Seven records the font file's reader takes: heights from -2^31 to 2^31-1 and -800, colours
// that name no colour, style bits beyond strike-out, control characters and a 255-character
// face name.
inline QByteArray extremeFontFile() {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    return fontRecord(0xFF, -800, "Arial", -1) +
           fontRecord(0x10, kMin, QByteArray(255, 'A'), kMin) +
           fontRecord(0, kMax, "\x01\x1f\x7f ctrl", kMax) + fontRecord(15, 0, "", 0x01000000) +
           fontRecord(3, 800,
                      "\x8e"
                      "lu\x9dou\xe8k\xfd",
                      std::int32_t(0xFF00001Fu)) +
           fontRecord(0, -1, "x", -16777208) + fontRecord(8, 1, QByteArray(31, 'z'), 16777215);
}

// A sheet trailer as the program writes it, damaged in each way a reader must refuse: cut short
// (in the length, in the fields), a paper code that names no paper, a length of 2^31-1.
struct DamagedTrailer {
    const char* what;
    QByteArray bytes;
};
inline std::vector<DamagedTrailer> damagedTrailers(const QByteArray& good) {
    auto withInt = [&](int at, std::uint32_t v) {
        QByteArray b = good;
        qToLittleEndian<std::uint32_t>(v, b.data() + at);
        return b;
    };
    return {
        {"cut short in its fields", good.left(good.size() - 1)},
        {"cut short in its length", good.left(10)},
        {"paper code 2", withInt(16, 2)},
        {"paper code -1", withInt(16, 0xFFFFFFFFu)},
        {"a length of 2^31-1", withInt(8, 0x7FFFFFFFu)},
        {"a negative length", withInt(8, 0x80000000u)},
    };
}

} // namespace test
