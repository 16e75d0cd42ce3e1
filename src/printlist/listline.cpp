#include "printlist/listline.h"

namespace printlist {
namespace {

bool isBlankOrControl(QChar ch) {
    return ch.unicode() <= 32;
}

} // namespace

int countOccurrences(const QString& text, QChar c) {
    return int(text.count(c));
}

QString trimControl(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlankOrControl(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlankOrControl(text[end - 1])) {
        --end;
    }
    return text.mid(begin, end - begin);
}

LineValues parsestring(QChar c, const QString& line) {
    const int k = countOccurrences(line, c);
    if (k == 0) {
        return LineValues{QString()};
    }
    const QString rest = trimControl(line);
    LineValues values;
    values.reserve(k + 1);
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = rest.indexOf(c, from);
        const qsizetype end = at < 0 ? rest.size() : at;
        values.append(rest.mid(from, qMin<qsizetype>(end - from, kMaxValueLength)));
        if (at < 0) {
            break;
        }
        from = at + 1;
    }
    return values;
}

} // namespace printlist
