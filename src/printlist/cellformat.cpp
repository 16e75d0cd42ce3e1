#include "printlist/spreadsheets.h"

#include <QTimeZone>
#include <array>
#include <cmath>

namespace printlist {
namespace {

// A format code split into its sections (positive; negative; zero; text).
QStringList sections(const QString& code) {
    QStringList out(QString{});
    bool quoted = false;
    bool bracket = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == QLatin1Char('\\') && i + 1 < code.size() && !quoted) {
            out.last() += c;
            out.last() += code[++i];
            continue;
        }
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (!quoted && c == QLatin1Char('[')) {
            bracket = true;
        } else if (!quoted && c == QLatin1Char(']')) {
            bracket = false;
        } else if (!quoted && !bracket && c == QLatin1Char(';')) {
            out.append(QString());
            continue;
        }
        out.last() += c;
    }
    return out;
}

// One piece of a format code: a literal text or a placeholder run.
struct Token {
    bool literal = true;
    QString text;
};

// Splits a section into literals ("text", \x, _x, [$Kč-405]) and code characters; brackets
// that only colour or condition are dropped.
std::vector<Token> tokens(const QString& section) {
    std::vector<Token> out;
    auto literal = [&](const QString& t) {
        if (!out.empty() && out.back().literal) {
            out.back().text += t;
        } else {
            out.push_back({true, t});
        }
    };
    auto code = [&](QChar c) {
        if (!out.empty() && !out.back().literal) {
            out.back().text += c;
        } else {
            out.push_back({false, QString(c)});
        }
    };
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == QLatin1Char('"')) {
            const qsizetype end = section.indexOf(QLatin1Char('"'), i + 1);
            literal(section.mid(i + 1, (end < 0 ? section.size() : end) - i - 1));
            i = end < 0 ? section.size() : end;
        } else if (c == QLatin1Char('\\') && i + 1 < section.size()) {
            literal(QString(section[++i]));
        } else if (c == QLatin1Char('_') && i + 1 < section.size()) {
            ++i;
            literal(QStringLiteral(" "));
        } else if (c == QLatin1Char('*') && i + 1 < section.size()) {
            ++i;
        } else if (c == QLatin1Char('[')) {
            const qsizetype end = section.indexOf(QLatin1Char(']'), i + 1);
            const QString inside = section.mid(i + 1, (end < 0 ? section.size() : end) - i - 1);
            if (inside.startsWith(QLatin1Char('$'))) {
                literal(inside.mid(1).section(QLatin1Char('-'), 0, 0));
            } else if (inside.compare(QLatin1String("h"), Qt::CaseInsensitive) == 0 ||
                       inside.compare(QLatin1String("hh"), Qt::CaseInsensitive) == 0) {
                code(QLatin1Char('h'));
            }
            i = end < 0 ? section.size() : end;
        } else if (QStringLiteral("0#?.,%Ee+-ymdhsAPM/:@").contains(c) ||
                   (c.isLetter() && QStringLiteral("ymdhs").contains(c.toLower()))) {
            code(c);
        } else {
            literal(QString(c));
        }
    }
    return out;
}

bool isDateCode(const std::vector<Token>& toks) {
    for (const Token& t : toks) {
        if (t.literal) {
            continue;
        }
        for (const QChar c : t.text) {
            if (QStringLiteral("ymdhsYMDHS").contains(c)) {
                return true;
            }
        }
    }
    return false;
}

QString groupThousands(QString digits) {
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) {
        digits.insert(at, QLatin1Char(' '));
    }
    return digits;
}

// The general format: whole numbers as they are, others to ten significant digits.
QString general(double v) {
    if (std::isnan(v) || std::isinf(v)) {
        return QString::number(v);
    }
    if (v == std::floor(v) && std::fabs(v) < 1e15) {
        return QString::number(qint64(v));
    }
    QString s = QString::number(v, 'g', 10);
    if (s.contains(QLatin1Char('e'))) {
        s = s.toUpper();
    }
    return s.replace(QLatin1Char('.'), QLatin1Char(','));
}

QString numberWithCode(double v, const std::vector<Token>& toks, bool signShown) {
    // The placeholders of all code tokens together decide decimals, grouping and percent.
    QString placeholders;
    for (const Token& t : toks) {
        if (!t.literal) {
            placeholders += t.text;
        }
    }
    if (placeholders.contains(QLatin1Char('E')) || placeholders.contains(QLatin1Char('e')) ||
        placeholders.contains(QLatin1Char('/'))) {
        return general(v);
    }
    const bool percent = placeholders.contains(QLatin1Char('%'));
    if (percent) {
        v *= 100;
    }
    const qsizetype point = placeholders.indexOf(QLatin1Char('.'));
    const QString intPart = point < 0 ? placeholders : placeholders.left(point);
    int decimals = 0;
    if (point >= 0) {
        for (const QChar c : placeholders.mid(point + 1)) {
            decimals += (c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('?'));
        }
    }
    const bool grouped = intPart.contains(QLatin1Char(','));
    const int minWhole = int(intPart.count(QLatin1Char('0')));
    const bool negative = v < 0;
    QString text = QString::number(std::fabs(v), 'f', decimals);
    QString whole = text.section(QLatin1Char('.'), 0, 0);
    const QString fraction = text.section(QLatin1Char('.'), 1);
    if (whole == QLatin1String("0") && minWhole == 0) {
        whole.clear();
    }
    while (whole.size() < minWhole) {
        whole.prepend(QLatin1Char('0'));
    }
    if (grouped) {
        whole = groupThousands(whole);
    }
    QString number = whole;
    if (decimals > 0) {
        number += QLatin1Char(',') + fraction;
    }
    if (negative && signShown && (text.toDouble() != 0)) {
        number.prepend(QLatin1Char('-'));
    }
    // Literals before the first placeholder and after it keep their places.
    QString out;
    bool placed = false;
    for (const Token& t : toks) {
        if (t.literal) {
            out += t.text;
        } else if (!placed) {
            out += number;
            placed = true;
        } else if (t.text.contains(QLatin1Char('%'))) {
            out += QLatin1Char('%');
        }
    }
    if (percent && !out.contains(QLatin1Char('%'))) {
        out += QLatin1Char('%');
    }
    return out;
}

const std::array<const char*, 12> kMonthsShort{"led", "úno", "bře", "dub", "kvě", "čvn",
                                               "čvc", "srp", "zář", "říj", "lis", "pro"};
const std::array<const char*, 12> kMonths{"leden",  "únor",   "březen",   "duben",
                                          "květen", "červen", "červenec", "srpen",
                                          "září",   "říjen",  "listopad", "prosinec"};
const std::array<const char*, 7> kDaysShort{"po", "út", "st", "čt", "pá", "so", "ne"};
const std::array<const char*, 7> kDays{"pondělí", "úterý",  "středa", "čtvrtek",
                                       "pátek",   "sobota", "neděle"};

QString dateWithCode(double serial, const std::vector<Token>& toks, bool date1904) {
    const QDateTime at = serialDateTime(serial, date1904);
    const QDate d = at.date();
    const QTime t = at.time();
    bool twelveHour = false;
    for (const Token& tok : toks) {
        if (!tok.literal && (tok.text.contains(QLatin1String("AM/PM"), Qt::CaseInsensitive) ||
                             tok.text.contains(QLatin1String("A/P"), Qt::CaseInsensitive))) {
            twelveHour = true;
        }
    }
    // Runs of one letter, with "m" read as minutes right after hours or right before seconds.
    struct Run {
        QChar letter;
        int length;
        bool literal;
        QString text;
    };
    std::vector<Run> runs;
    for (const Token& tok : toks) {
        if (tok.literal) {
            runs.push_back({QChar(), 0, true, tok.text});
            continue;
        }
        const QString s = tok.text;
        for (qsizetype i = 0; i < s.size();) {
            if (s.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
                runs.push_back({QChar(), 0, true,
                                t.hour() < 12 ? QStringLiteral("dop.") : QStringLiteral("odp.")});
                i += 5;
                continue;
            }
            const QChar c = s[i].toLower();
            qsizetype j = i;
            while (j < s.size() && s[j].toLower() == c) {
                ++j;
            }
            if (QStringLiteral("ymdhs").contains(c)) {
                runs.push_back({c, int(j - i), false, {}});
            } else {
                runs.push_back({QChar(), 0, true, s.mid(i, j - i)});
            }
            i = j;
        }
    }
    QString out;
    QChar lastCode;
    for (size_t k = 0; k < runs.size(); ++k) {
        const Run& r = runs[k];
        if (r.literal) {
            out += r.text;
            continue;
        }
        const auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
        if (r.letter == QLatin1Char('y')) {
            out += r.length <= 2 ? two(d.year() % 100) : QString::number(d.year());
        } else if (r.letter == QLatin1Char('d')) {
            out += r.length == 1   ? QString::number(d.day())
                   : r.length == 2 ? two(d.day())
                   : r.length == 3 ? QString::fromUtf8(kDaysShort[size_t(d.dayOfWeek() - 1)])
                                   : QString::fromUtf8(kDays[size_t(d.dayOfWeek() - 1)]);
        } else if (r.letter == QLatin1Char('h')) {
            int h = t.hour();
            if (twelveHour) {
                h = h % 12 == 0 ? 12 : h % 12;
            }
            out += r.length == 1 ? QString::number(h) : two(h);
        } else if (r.letter == QLatin1Char('s')) {
            out += r.length == 1 ? QString::number(t.second()) : two(t.second());
        } else if (r.letter == QLatin1Char('m')) {
            bool minutes = lastCode == QLatin1Char('h');
            for (size_t n = k + 1; n < runs.size() && !minutes; ++n) {
                if (!runs[n].literal) {
                    minutes = runs[n].letter == QLatin1Char('s');
                    break;
                }
            }
            if (minutes && r.length <= 2) {
                out += r.length == 1 ? QString::number(t.minute()) : two(t.minute());
            } else {
                out += r.length == 1   ? QString::number(d.month())
                       : r.length == 2 ? two(d.month())
                       : r.length == 3 ? QString::fromUtf8(kMonthsShort[size_t(d.month() - 1)])
                                       : QString::fromUtf8(kMonths[size_t(d.month() - 1)]);
            }
        }
        lastCode = r.letter;
    }
    return out;
}

} // namespace

QDateTime serialDateTime(double serial, bool date1904) {
    qint64 days = qint64(std::floor(serial));
    qint64 seconds = qint64(std::llround((serial - double(days)) * 86400.0));
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    QDate base;
    if (date1904) {
        base = QDate(1904, 1, 1);
    } else {
        // Day 60 is the 29th of February 1900, which never was; the days before it count
        // from the last day of 1899.
        base = days < 61 ? QDate(1899, 12, 31) : QDate(1899, 12, 30);
    }
    return QDateTime(base.addDays(days), QTime(0, 0).addSecs(int(seconds)), Qt::UTC);
}

QString builtinNumberFormat(int id) {
    switch (id) {
    case 1:
        return QStringLiteral("0");
    case 2:
        return QStringLiteral("0.00");
    case 3:
        return QStringLiteral("#,##0");
    case 4:
        return QStringLiteral("#,##0.00");
    case 9:
        return QStringLiteral("0%");
    case 10:
        return QStringLiteral("0.00%");
    case 14:
        return QStringLiteral("dd.mm.yyyy");
    case 15:
        return QStringLiteral("d-mmm-yy");
    case 16:
        return QStringLiteral("d-mmm");
    case 17:
        return QStringLiteral("mmm-yy");
    case 18:
        return QStringLiteral("h:mm AM/PM");
    case 19:
        return QStringLiteral("h:mm:ss AM/PM");
    case 20:
        return QStringLiteral("h:mm");
    case 21:
        return QStringLiteral("h:mm:ss");
    case 22:
        return QStringLiteral("dd.mm.yyyy h:mm");
    case 37:
    case 38:
        return QStringLiteral("#,##0");
    case 39:
    case 40:
        return QStringLiteral("#,##0.00");
    case 45:
        return QStringLiteral("mm:ss");
    case 46:
        return QStringLiteral("[h]:mm:ss");
    default:
        return {};
    }
}

QString displayNumber(double value, const QString& code, bool date1904) {
    if (code.isEmpty() || code.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0 ||
        code == QLatin1String("@")) {
        return general(value);
    }
    const QStringList parts = sections(code);
    // A second section is for negative numbers and writes its own sign; a third for zero.
    QString section = parts[0];
    bool signShown = true;
    if (value < 0 && parts.size() > 1 && !parts[1].isEmpty()) {
        section = parts[1];
        signShown = false;
    } else if (value == 0 && parts.size() > 2 && !parts[2].isEmpty()) {
        section = parts[2];
    }
    const std::vector<Token> toks = tokens(section);
    if (section.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) {
        return general(value);
    }
    if (isDateCode(toks)) {
        return dateWithCode(value, toks, date1904);
    }
    return numberWithCode(signShown ? value : std::fabs(value), toks, signShown);
}

} // namespace printlist
