#include "settings/settingsfile.h"

#include "settings/integertext.h"

namespace settings {
namespace {

const QString kSetup = QStringLiteral("setup");
const QString kColumns = QStringLiteral("columns");

std::int32_t readInt(const platform::Profile& p, const QString& key, std::int32_t fallback) {
    const QString text = p.readString(kSetup, key, QString());
    if (!p.hasKey(kSetup, key)) {
        return fallback;
    }
    return parseInteger(text).value_or(fallback);
}

bool readBool(const platform::Profile& p, const QString& key, bool fallback) {
    if (!p.hasKey(kSetup, key)) {
        return fallback;
    }
    const auto v = parseInteger(p.readString(kSetup, key, QString()));
    return v ? *v != 0 : fallback;
}

QString topKey(int slot) {
    // The first slot's top key is "kodstop", like its other keys.
    return slotNames()[size_t(slot)] + QStringLiteral("top");
}
QString leftKey(int slot) {
    return slotNames()[size_t(slot)] + QStringLiteral("left");
}
QString chbKey(int slot) {
    return slotNames()[size_t(slot)] + QStringLiteral("chb");
}

const char* const kColumnKeys[kGridColumns] = {"jedna", "dva",  "tri", "ctyri",
                                               "pet",   "sest", "sedm"};

} // namespace

LayoutSettings readSetup(const platform::Profile& p, const LayoutSettings& base) {
    const LayoutSettings d; // first-run defaults
    LayoutSettings s = base;
    s.vlevo = readInt(p, QStringLiteral("vlevo"), d.vlevo);
    s.nahore = readInt(p, QStringLiteral("nahore"), d.nahore);
    for (int i = 0; i < SlotCount; ++i) {
        s.lines[size_t(i)].top = readInt(p, topKey(i), d.lines[size_t(i)].top);
        s.lines[size_t(i)].left = readInt(p, leftKey(i), d.lines[size_t(i)].left);
    }
    for (int i = 0; i < SlotCount; ++i) {
        s.lines[size_t(i)].on = readBool(p, chbKey(i), d.lines[size_t(i)].on);
    }
    s.sloupce = readInt(p, QStringLiteral("sloupce"), d.sloupce);
    s.vyskabunky = readInt(p, QStringLiteral("vyskabunky"), d.vyskabunky);
    s.bordercolor = readInt(p, QStringLiteral("bordercolor"), d.bordercolor);
    s.pozadi = readInt(p, QStringLiteral("pozadi"), d.pozadi);
    s.specznak = p.readString(kSetup, QStringLiteral("specznak"), d.specznak);
    return s;
}

void writeSetup(platform::Profile& p, const LayoutSettings& s) {
    auto put = [&](const QString& key, std::int32_t v) {
        p.writeString(kSetup, key, QString::number(v));
    };
    put(QStringLiteral("vlevo"), s.vlevo);
    put(QStringLiteral("nahore"), s.nahore);
    // kod before kods: the order the file has always been written in.
    put(topKey(Kod), s.lines[Kod].top);
    put(leftKey(Kod), s.lines[Kod].left);
    put(topKey(Kods), s.lines[Kods].top);
    put(leftKey(Kods), s.lines[Kods].left);
    put(topKey(Nazev), s.lines[Nazev].top);
    put(leftKey(Nazev), s.lines[Nazev].left);
    put(topKey(Cena), s.lines[Cena].top);
    put(leftKey(Cena), s.lines[Cena].left);
    for (int i = Text1; i <= Text3; ++i) {
        put(topKey(i), s.lines[size_t(i)].top);
    }
    for (int i = Text1; i <= Text3; ++i) {
        put(leftKey(i), s.lines[size_t(i)].left);
    }
    for (int i = 0; i < SlotCount; ++i) {
        put(chbKey(i), s.lines[size_t(i)].on ? 1 : 0);
    }
    put(QStringLiteral("sloupce"), s.sloupce);
    put(QStringLiteral("vyskabunky"), s.vyskabunky);
    put(QStringLiteral("bordercolor"), s.bordercolor);
    put(QStringLiteral("pozadi"), s.pozadi);
    p.writeString(kSetup, QStringLiteral("specznak"), s.specznak);
}

std::array<int, kGridColumns> readColumns(const platform::Profile& p) {
    std::array<int, kGridColumns> widths{};
    for (int i = 0; i < kGridColumns; ++i) {
        const QString key = QString::fromLatin1(kColumnKeys[i]);
        widths[size_t(i)] = 100;
        if (p.hasKey(kColumns, key)) {
            widths[size_t(i)] = parseInteger(p.readString(kColumns, key, QString())).value_or(100);
        }
    }
    return widths;
}

void writeColumns(platform::Profile& p, const std::array<int, kGridColumns>& widths) {
    for (int i = 0; i < kGridColumns; ++i) {
        p.writeString(kColumns, QString::fromLatin1(kColumnKeys[i]),
                      QString::number(widths[size_t(i)]));
    }
}

} // namespace settings
