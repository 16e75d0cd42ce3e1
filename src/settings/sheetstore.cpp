#include "settings/sheetstore.h"

#include "platform/error.h"
#include "settings/integertext.h"
#include "settings/trailerblock.h"

#include <QLocale>
#include <array>
#include <cstdlib>

namespace settings {
namespace {

const QString kArch = QStringLiteral("arch");
const QString kPrinters = QStringLiteral("tiskarny");

struct IntKey {
    const char* key;
    int Sheet::*field;
};

constexpr std::array<IntKey, 8> kIntKeys = {{
    {"vlevo", &Sheet::left},
    {"nahore", &Sheet::top},
    {"sirka", &Sheet::width},
    {"vyska", &Sheet::height},
    {"roztecx", &Sheet::pitchX},
    {"roztecy", &Sheet::pitchY},
    {"sloupce", &Sheet::columns},
    {"radky", &Sheet::rows},
}};

constexpr char kTag[8] = {'D', 'R', 'V', 'S', 'H', 'E', 'E', 'T'};
// A sheet filled along the rows adds one field, the order; a sheet filled down the columns is
// written without it, exactly as before the fill order existed.
constexpr int kFieldCount = 10;

const QString kOrderKey = QStringLiteral("poradi");

QString orderName(FillOrder order) {
    return order == FillOrder::Rows ? QStringLiteral("radky") : QStringLiteral("sloupce");
}

} // namespace

Sheet readArch(const platform::Profile& p, const Sheet& base) {
    Sheet s = base;
    if (p.keys(kArch).isEmpty()) {
        s.on = false;
        return s;
    }
    for (const IntKey& k : kIntKeys) {
        const QString key = QString::fromLatin1(k.key);
        if (p.hasKey(kArch, key)) {
            if (const auto v = parseInteger(p.readString(kArch, key, QString()))) {
                s.*k.field = *v;
            }
        }
    }
    if (const auto paper = paperFromName(p.readString(kArch, QStringLiteral("papir"), QString()))) {
        s.paper = *paper;
    }
    const QString order = p.readString(kArch, kOrderKey, QString()).trimmed();
    for (FillOrder o : {FillOrder::Columns, FillOrder::Rows}) {
        if (order.compare(orderName(o), Qt::CaseInsensitive) == 0) {
            s.order = o;
        }
    }
    const auto on = parseInteger(p.readString(kArch, QStringLiteral("zapnuto"), QString()));
    s.on = on && *on != 0;
    return s;
}

void writeArch(platform::Profile& p, const Sheet& s) {
    p.writeString(kArch, QStringLiteral("zapnuto"),
                  s.on ? QStringLiteral("1") : QStringLiteral("0"));
    p.writeString(kArch, QStringLiteral("papir"), paperName(s.paper));
    for (const IntKey& k : kIntKeys) {
        p.writeString(kArch, QString::fromLatin1(k.key), QString::number(s.*k.field));
    }
    // Only a user who once chose an order finds the key.
    if (s.order != FillOrder::Columns || p.hasKey(kArch, kOrderKey)) {
        p.writeString(kArch, kOrderKey, orderName(s.order));
    }
}

std::optional<QString> offsetProblem(const QString& printer, const PrinterOffset& o) {
    if (std::abs(qint64(o.x)) > kMaxPrinterOffset || std::abs(qint64(o.y)) > kMaxPrinterOffset) {
        return QStringLiteral("Posun tisku na tiskárně %1 musí být od -%2 do %2 mm.")
            .arg(printer, QLocale(QLocale::Czech).toString(kMaxPrinterOffset / 10.0, 'f', 1));
    }
    return std::nullopt;
}

PrinterOffsets readPrinterOffsets(const platform::Profile& p, QStringList* refused) {
    PrinterOffsets offsets;
    for (const QString& name : p.keys(kPrinters)) {
        const QStringList parts = p.readString(kPrinters, name, QString()).split(QLatin1Char(';'));
        if (parts.size() != 2) {
            continue;
        }
        const auto x = parseInteger(parts[0].trimmed());
        const auto y = parseInteger(parts[1].trimmed());
        if (!x || !y) {
            continue;
        }
        // A correction no field can show would only move the print off the paper, and its
        // sum with the printer's own border could overflow.
        if (const auto why = offsetProblem(name, {*x, *y})) {
            if (!refused) {
                throw platform::Error(*why);
            }
            refused->append(*why);
            continue;
        }
        offsets[name] = {*x, *y};
    }
    return offsets;
}

void writePrinterOffsets(platform::Profile& p, const PrinterOffsets& offsets) {
    for (const auto& [name, offset] : offsets) {
        p.writeString(kPrinters, name, QStringLiteral("%1;%2").arg(offset.x).arg(offset.y));
    }
}

QByteArray encodeSheetTrailer(const Sheet& s) {
    TrailerBlockWriter out(QByteArrayView(kTag, sizeof kTag));
    out.append({s.on ? 1 : 0, s.paper == SheetPaper::Letter ? 1 : 0, s.left, s.top, s.width,
                s.height, s.pitchX, s.pitchY, s.columns, s.rows});
    // The fill order only when it is not the one older readers assume.
    if (s.order == FillOrder::Rows) {
        out.append(1);
    }
    return out.finish();
}

std::optional<Sheet> decodeSheetTrailer(QByteArrayView rest) {
    // The tag says a sheet follows: printing without it would print in another layout.
    const QString damagedText = QStringLiteral("damaged sheet trailer");
    const auto damaged = [&] { return platform::Error(damagedText); };
    const auto block =
        readTrailerBlock(rest, QByteArrayView(kTag, sizeof kTag), kFieldCount, damagedText);
    if (!block) {
        return std::nullopt;
    }
    const TrailerFields& field = *block;
    Sheet s;
    s.on = field(0) != 0;
    if (field(1) != 0 && field(1) != 1) {
        throw damaged();
    }
    s.paper = field(1) == 1 ? SheetPaper::Letter : SheetPaper::A4;
    s.left = field(2);
    s.top = field(3);
    s.width = field(4);
    s.height = field(5);
    s.pitchX = field(6);
    s.pitchY = field(7);
    s.columns = field(8);
    s.rows = field(9);
    if (field.count() > kFieldCount) {
        if (field(10) != 0 && field(10) != 1) {
            throw damaged();
        }
        s.order = field(10) == 1 ? FillOrder::Rows : FillOrder::Columns;
    }
    return s;
}

} // namespace settings
