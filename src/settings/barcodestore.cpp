#include "settings/barcodestore.h"

#include "platform/error.h"
#include "settings/integertext.h"
#include "settings/trailerblock.h"

#include <algorithm>
#include <array>

namespace settings {
namespace {

const QString kSection = QStringLiteral("carovekody");

struct KindName {
    BarcodeKind kind;
    const char* name;
};

constexpr std::array<KindName, 7> kKindNames = {{{BarcodeKind::Text, "text"},
                                                 {BarcodeKind::Ean13, "ean13"},
                                                 {BarcodeKind::Ean8, "ean8"},
                                                 {BarcodeKind::Code128, "code128"},
                                                 {BarcodeKind::Code39, "code39"},
                                                 {BarcodeKind::Qr, "qr"},
                                                 {BarcodeKind::DataMatrix, "datamatrix"}}};

constexpr char kTag[8] = {'D', 'R', 'V', 'C', 'O', 'D', 'E', 'S'};
constexpr int kFieldsPerSlot = 4;

// The ranges the tab and the command line give: X 0.01 to 10 mm, bars 0.1 to 300 mm.
bool plausible(const BarcodeOptions& o) {
    return o.moduleWidth >= 1 && o.moduleWidth <= 1000 && o.barHeight >= 1 && o.barHeight <= 3000;
}

} // namespace

QString barcodeKindName(BarcodeKind kind) {
    for (const KindName& k : kKindNames) {
        if (k.kind == kind) {
            return QString::fromLatin1(k.name);
        }
    }
    return {};
}

std::optional<BarcodeKind> barcodeKindFromName(const QString& name) {
    for (const KindName& k : kKindNames) {
        if (name.trimmed().compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0) {
            return k.kind;
        }
    }
    return std::nullopt;
}

bool usesBarcodes(const LayoutSettings& layout) {
    return std::any_of(layout.lines.begin(), layout.lines.end(),
                       [](const SlotSettings& s) { return s.barcode.kind != BarcodeKind::Text; });
}

void readBarcodes(const platform::Profile& p, LayoutSettings& layout) {
    for (int i = 0; i < SlotCount; ++i) {
        const QString key = slotNames()[size_t(i)];
        if (!p.hasKey(kSection, key)) {
            continue;
        }
        const QStringList parts = p.readString(kSection, key, QString()).split(QLatin1Char(';'));
        if (parts.size() != 4) {
            continue;
        }
        const auto kind = barcodeKindFromName(parts[0]);
        const auto x = parseInteger(parts[1].trimmed());
        const auto h = parseInteger(parts[2].trimmed());
        const auto digits = parseInteger(parts[3].trimmed());
        if (!kind || !x || !h || !digits) {
            continue;
        }
        const BarcodeOptions o{*kind, *x, *h, *digits != 0};
        if (plausible(o)) {
            layout.lines[size_t(i)].barcode = o;
        }
    }
}

void writeBarcodes(platform::Profile& p, const LayoutSettings& layout) {
    if (!usesBarcodes(layout) && p.keys(kSection).isEmpty()) {
        return;
    }
    for (int i = 0; i < SlotCount; ++i) {
        const BarcodeOptions& o = layout.lines[size_t(i)].barcode;
        p.writeString(kSection, slotNames()[size_t(i)],
                      QStringLiteral("%1;%2;%3;%4")
                          .arg(barcodeKindName(o.kind))
                          .arg(o.moduleWidth)
                          .arg(o.barHeight)
                          .arg(o.digits ? 1 : 0));
    }
}

QByteArray encodeBarcodeTrailer(const LayoutSettings& layout) {
    const bool any =
        std::any_of(layout.lines.begin(), layout.lines.end(),
                    [](const SlotSettings& s) { return s.barcode != BarcodeOptions{}; });
    if (!any) {
        return {};
    }
    TrailerBlockWriter out(QByteArrayView(kTag, sizeof kTag));
    for (const SlotSettings& s : layout.lines) {
        out.append({std::int32_t(s.barcode.kind), s.barcode.moduleWidth, s.barcode.barHeight,
                    s.barcode.digits ? 1 : 0});
    }
    return out.finish();
}

bool decodeBarcodeTrailer(QByteArrayView rest, LayoutSettings& layout) {
    // The tag says codes follow: printing them as text would print other labels.
    const QString damagedText = QStringLiteral("damaged barcode trailer");
    const auto damaged = [&] { return platform::Error(damagedText); };
    const auto block = readTrailerBlock(rest, QByteArrayView(kTag, sizeof kTag),
                                        kFieldsPerSlot * SlotCount, damagedText);
    if (!block) {
        return false;
    }
    std::array<BarcodeOptions, SlotCount> read{};
    for (int i = 0; i < SlotCount; ++i) {
        const auto field = [&](int f) { return (*block)(kFieldsPerSlot * i + f); };
        const std::int32_t kind = field(0);
        if (kind < int(BarcodeKind::Text) || kind > int(BarcodeKind::DataMatrix) ||
            (field(3) != 0 && field(3) != 1)) {
            throw damaged();
        }
        read[size_t(i)] = {BarcodeKind(kind), field(1), field(2), field(3) == 1};
        if (!plausible(read[size_t(i)])) {
            throw damaged();
        }
    }
    for (int i = 0; i < SlotCount; ++i) {
        layout.lines[size_t(i)].barcode = read[size_t(i)];
    }
    return true;
}

} // namespace settings
