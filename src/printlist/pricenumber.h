// Numbers of a shop's price list as Czech and English files write them, and the price lines
// computed from them: a price, the unit price the law asks of packed goods, and the lowest
// price of the last 30 days. Worked in exact decimals, so that halves round as they should.
#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace printlist {

// units / 10^scale.
struct Decimal {
    qint64 units = 0;
    int scale = 0;
    bool operator==(const Decimal&) const = default;
};

// "14,95", "14.95", "1 299,00" (a space, a no-break space or a thin space between thousands),
// "1,299.00", "1.299,00", "-3", "29,-", each with or without "Kč" before or after; nullopt for
// anything else, an empty text included. Where only one "," or "." stands, it is the decimal
// mark; repeated, or followed by the other mark, it groups thousands in threes.
std::optional<Decimal> parsePriceNumber(const QString& text);

// The amount in haléř, rounded half away from zero.
qint64 toHaler(const Decimal& d);

// "29,90 Kč"; thousands grouped by a space: "1 299,00 Kč".
QString formatKc(qint64 haler);

// The units a pack's quantity may be given in.
enum class PackUnit { Gram, Kilogram, Millilitre, Litre, Metre, SquareMetre, Piece };

// "g", "kg", "ml", "l", "m", "m²" (or "m2"), "ks", in any case; nullopt for anything else.
std::optional<PackUnit> parsePackUnit(const QString& text);

// Why a unit price cannot be computed.
enum class UnitPriceFault { None, ZeroQuantity, TooLarge };

struct UnitPrice {
    UnitPriceFault fault = UnitPriceFault::None;
    QString text; // "59,80 Kč/kg"
};

// The price of 1 kg, 1 l, 1 m, 1 m² or 1 ks of a pack of `quantity` `unit` that costs
// `price`, rounded to the haléř half away from zero: "59,80 Kč/kg". `per100` gives the price
// of 100 g or 100 ml instead for goods weighed or measured in those ("5,98 Kč/100 g"); it
// does not apply to metres and pieces.
UnitPrice unitPrice(const Decimal& price, const Decimal& quantity, PackUnit unit, bool per100);

// "Nejnižší cena za 30 dní: 34,90 Kč".
QString saleLine(qint64 haler);

} // namespace printlist
