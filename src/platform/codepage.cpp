#include "platform/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

namespace platform {
namespace {

// Each byte stands for one character, so the converter's answer for every byte is taken once:
// opening a converter per line cost more than decoding the line.
const std::array<char16_t, 256>& cp1250Table() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            QStringDecoder decoder("windows-1250");
            const QString c = decoder.decode(QByteArray(1, char(b)));
            t[size_t(b)] = c.size() == 1 ? c[0].unicode() : char16_t(0xFFFD);
        }
        return t;
    }();
    return table;
}

} // namespace

QString fromCp1250(const QByteArray& bytes) {
    const auto& table = cp1250Table();
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (const char b : bytes) {
        *out++ = table[static_cast<unsigned char>(b)];
    }
    return text;
}

QByteArray toCp1250(const QString& text) {
    QStringEncoder encoder("windows-1250", QStringConverter::Flag::Default);
    return encoder.encode(text);
}

} // namespace platform
