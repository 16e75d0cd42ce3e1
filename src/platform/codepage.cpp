#include "platform/codepage.h"

#include <QHash>
#include <QStringDecoder>

namespace platform {
namespace {

constexpr char kReplacement = '?';
// The end-of-file mark of list files: never written, or an import would stop there.
constexpr char kCtrlZ = 26;

// Unicode to Windows-1250, built from the decoder so both directions agree.
const QHash<char16_t, char>& encodeTable() {
    static const QHash<char16_t, char> table = [] {
        QHash<char16_t, char> t;
        QStringDecoder decoder("windows-1250");
        for (int b = 0; b < 256; ++b) {
            const QString ch = decoder.decode(QByteArray(1, char(b)));
            if (ch.size() == 1 && ch[0] != QChar::ReplacementCharacter && b != kCtrlZ) {
                t.insert(ch[0].unicode(), char(b));
            }
        }
        return t;
    }();
    return table;
}

} // namespace

QString fromCp1250(const QByteArray& bytes) {
    QStringDecoder decoder("windows-1250");
    return decoder.decode(bytes);
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

} // namespace platform
