#include "printlist/pricenumber.h"

#include <QStringList>

namespace printlist {
namespace {

bool isGroupSpace(QChar c) {
    return c == QLatin1Char(' ') || c == QChar(0x00A0) || c == QChar(0x202F) || c == QChar(0x2009);
}

qint64 pow10(int n) {
    qint64 p = 1;
    while (n-- > 0) {
        p *= 10;
    }
    return p;
}

// n / d rounded half away from zero; d > 0.
__int128 roundedDivide(__int128 n, __int128 d) {
    const bool negative = n < 0;
    const __int128 a = negative ? -n : n;
    const __int128 q = (2 * a + d) / (2 * d);
    return negative ? -q : q;
}

// Digits split by group marks: the first group 1 to 3 digits, the others exactly 3.
bool validGroups(const QStringList& groups) {
    for (int i = 0; i < groups.size(); ++i) {
        const qsizetype n = groups[i].size();
        if (n == 0 || (i == 0 ? n > 3 : n != 3)) {
            return false;
        }
    }
    return true;
}

bool allDigits(const QString& s) {
    for (const QChar c : s) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<Decimal> parsePriceNumber(const QString& text) {
    QString s = text.trimmed();
    const QString kc = QStringLiteral("kč");
    if (s.endsWith(kc, Qt::CaseInsensitive)) {
        s.chop(2);
    } else if (s.startsWith(kc, Qt::CaseInsensitive)) {
        s.remove(0, 2);
    }
    s = s.trimmed();
    bool negative = false;
    if (s.startsWith(QLatin1Char('-')) || s.startsWith(QChar(0x2212))) {
        negative = true;
        s.remove(0, 1);
    } else if (s.startsWith(QLatin1Char('+'))) {
        s.remove(0, 1);
    }
    // "29,-": whole crowns, as shops write them.
    if (s.endsWith(QLatin1String(",-")) || s.endsWith(QLatin1String(".-"))) {
        s.chop(2);
    }
    if (s.isEmpty()) {
        return std::nullopt;
    }
    for (const QChar c : s) {
        if (!(c.isDigit() && c.unicode() < 128) && c != QLatin1Char(',') && c != QLatin1Char('.') &&
            !isGroupSpace(c)) {
            return std::nullopt;
        }
    }
    const qsizetype commas = s.count(QLatin1Char(','));
    const qsizetype dots = s.count(QLatin1Char('.'));
    QChar decimalMark;
    QChar groupMark;
    if (commas > 0 && dots > 0) {
        decimalMark = s.lastIndexOf(QLatin1Char(',')) > s.lastIndexOf(QLatin1Char('.'))
                          ? QLatin1Char(',')
                          : QLatin1Char('.');
        groupMark = decimalMark == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
        if ((decimalMark == QLatin1Char(',') ? commas : dots) != 1) {
            return std::nullopt;
        }
    } else if (commas == 1 || dots == 1) {
        decimalMark = commas == 1 ? QLatin1Char(',') : QLatin1Char('.');
    } else if (commas > 1 || dots > 1) {
        groupMark = commas > 1 ? QLatin1Char(',') : QLatin1Char('.');
    }
    QString whole = s;
    QString fraction;
    if (!decimalMark.isNull()) {
        const qsizetype at = s.indexOf(decimalMark);
        whole = s.left(at);
        fraction = s.mid(at + 1);
        if (!allDigits(fraction) || (fraction.isEmpty() && whole.isEmpty())) {
            return std::nullopt;
        }
    }
    // Group marks stand between digits only: never before the decimal mark or at either end.
    QString digits;
    QStringList groups(QString{});
    for (const QChar c : whole) {
        if (isGroupSpace(c) || (!groupMark.isNull() && c == groupMark)) {
            groups.append(QString());
        } else {
            groups.last().append(c);
            digits.append(c);
        }
    }
    if (groups.size() > 1 && !validGroups(groups)) {
        return std::nullopt;
    }
    if (!allDigits(digits) || digits.size() + fraction.size() > 15 ||
        (digits.isEmpty() && fraction.isEmpty())) {
        return std::nullopt;
    }
    Decimal d;
    d.scale = int(fraction.size());
    d.units = (digits + fraction).toLongLong();
    if (negative) {
        d.units = -d.units;
    }
    return d;
}

qint64 toHaler(const Decimal& d) {
    if (d.scale <= 2) {
        return d.units * pow10(2 - d.scale);
    }
    return qint64(roundedDivide(d.units, pow10(d.scale - 2)));
}

QString formatKc(qint64 haler) {
    const bool negative = haler < 0;
    const qint64 a = negative ? -haler : haler;
    QString whole = QString::number(a / 100);
    for (qsizetype at = whole.size() - 3; at > 0; at -= 3) {
        whole.insert(at, QLatin1Char(' '));
    }
    return QStringLiteral("%1%2,%3 Kč")
        .arg(negative ? QStringLiteral("-") : QString(), whole)
        .arg(a % 100, 2, 10, QLatin1Char('0'));
}

std::optional<PackUnit> parsePackUnit(const QString& text) {
    const QString u = text.trimmed().toLower();
    if (u == QLatin1String("g")) {
        return PackUnit::Gram;
    }
    if (u == QLatin1String("kg")) {
        return PackUnit::Kilogram;
    }
    if (u == QLatin1String("ml")) {
        return PackUnit::Millilitre;
    }
    if (u == QLatin1String("l")) {
        return PackUnit::Litre;
    }
    if (u == QLatin1String("m")) {
        return PackUnit::Metre;
    }
    if (u == QStringLiteral("m²") || u == QLatin1String("m2")) {
        return PackUnit::SquareMetre;
    }
    if (u == QLatin1String("ks")) {
        return PackUnit::Piece;
    }
    return std::nullopt;
}

UnitPrice unitPrice(const Decimal& price, const Decimal& quantity, PackUnit unit, bool per100) {
    if (quantity.units == 0) {
        return {UnitPriceFault::ZeroQuantity, {}};
    }
    // The reference amount in the pack's own unit, as a fraction num/den.
    qint64 num = 1;
    qint64 den = 1;
    QString per;
    switch (unit) {
    case PackUnit::Gram:
    case PackUnit::Millilitre: {
        const bool gram = unit == PackUnit::Gram;
        num = per100 ? 100 : 1000;
        per = per100 ? (gram ? QStringLiteral("100 g") : QStringLiteral("100 ml"))
                     : (gram ? QStringLiteral("kg") : QStringLiteral("l"));
        break;
    }
    case PackUnit::Kilogram:
    case PackUnit::Litre: {
        const bool kilo = unit == PackUnit::Kilogram;
        if (per100) {
            den = 10;
        }
        per = per100 ? (kilo ? QStringLiteral("100 g") : QStringLiteral("100 ml"))
                     : (kilo ? QStringLiteral("kg") : QStringLiteral("l"));
        break;
    }
    case PackUnit::Metre:
        per = QStringLiteral("m");
        break;
    case PackUnit::SquareMetre:
        per = QStringLiteral("m²");
        break;
    case PackUnit::Piece:
        per = QStringLiteral("ks");
        break;
    }
    // price * reference / quantity, in haléř:
    // (p / 10^ps) * 100 * (num / den) / (q / 10^qs)
    __int128 n = __int128(price.units) * 100 * num * pow10(quantity.scale);
    __int128 d = __int128(pow10(price.scale)) * quantity.units * den;
    if (d < 0) {
        n = -n;
        d = -d;
    }
    const __int128 haler = roundedDivide(n, d);
    if (haler > __int128(1) << 62 || haler < -(__int128(1) << 62)) {
        return {UnitPriceFault::TooLarge, {}};
    }
    return {UnitPriceFault::None, formatKc(qint64(haler)) + QLatin1Char('/') + per};
}

QString saleLine(qint64 haler) {
    return QStringLiteral("Nejnižší cena za 30 dní: ") + formatKc(haler);
}

} // namespace printlist
