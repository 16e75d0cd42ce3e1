#include "platform/codepage.h"

#include <QHash>
#include <QStringDecoder>

#include <array>

namespace platform {
namespace {

constexpr char kReplacement = '?';
// The end-of-file mark of list files: never written, or an import would stop there.
constexpr char kCtrlZ = 26;

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

// Unicode to Windows-1250, built from the decoding table so both directions agree.
const QHash<char16_t, char>& encodeTable() {
    static const QHash<char16_t, char> table = [] {
        QHash<char16_t, char> t;
        const auto& decode = cp1250Table();
        for (int b = 0; b < 256; ++b) {
            const char16_t c = decode[size_t(b)];
            if (c != QChar::ReplacementCharacter && b != kCtrlZ) {
                t.insert(c, char(b));
            }
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
    const QHash<char16_t, char>& table = encodeTable();
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80 && c != kCtrlZ) {
            bytes += char(c);
            continue;
        }
        // A character beyond the 16-bit range (an emoji) is one character: one "?".
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            bytes += kReplacement;
            continue;
        }
        const auto it = table.constFind(c);
        bytes += it == table.cend() ? kReplacement : *it;
    }
    return bytes;
}

bool fitsCp1250(const QString& text) {
    const QHash<char16_t, char>& table = encodeTable();
    for (const QChar c : text) {
        if (c.unicode() >= 0x80 && !table.contains(c.unicode())) {
            return false;
        }
    }
    return true;
}

} // namespace platform
