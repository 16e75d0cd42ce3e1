#include "settings/fitstore.h"

#include "platform/error.h"
#include "settings/integertext.h"
#include "settings/trailerblock.h"

#include <QStringList>

namespace settings {
namespace {

const QString kSection = QStringLiteral("prizpusobeni");

constexpr char kTag[8] = {'D', 'R', 'V', 'F', 'I', 'T', 'T', 'X'};
constexpr int kFieldsPerSlot = 3;
// Beyond reason for a label: the largest font and the most lines a rule may name.
constexpr int kMaxMinSize = FontDescription::kMaxPointSize * 10;
constexpr int kMaxLines = 99;

bool sane(int mode, int minSize, int lines) {
    return mode >= 0 && mode <= 2 && minSize >= 1 && minSize <= kMaxMinSize && lines >= 1 &&
           lines <= kMaxLines;
}

} // namespace

FitRules fitRulesOf(const LayoutSettings& layout) {
    FitRules rules;
    for (int s = 0; s < SlotCount; ++s) {
        rules[size_t(s)] = layout.lines[size_t(s)].fit;
    }
    return rules;
}

void putFitRules(LayoutSettings& layout, const FitRules& rules) {
    for (int s = 0; s < SlotCount; ++s) {
        layout.lines[size_t(s)].fit = rules[size_t(s)];
    }
}

bool anyFitRule(const FitRules& rules) {
    for (const FitRule& r : rules) {
        if (r.mode != FitRule::Mode::Off) {
            return true;
        }
    }
    return false;
}

QString fitModeName(FitRule::Mode mode) {
    switch (mode) {
    case FitRule::Mode::Shrink:
        return QStringLiteral("zmensit");
    case FitRule::Mode::Wrap:
        return QStringLiteral("zalomit");
    case FitRule::Mode::Off:
        break;
    }
    return QStringLiteral("vypnuto");
}

std::optional<FitRule::Mode> fitModeFromName(const QString& name) {
    for (FitRule::Mode m : {FitRule::Mode::Off, FitRule::Mode::Shrink, FitRule::Mode::Wrap}) {
        if (name.trimmed().compare(fitModeName(m), Qt::CaseInsensitive) == 0) {
            return m;
        }
    }
    return std::nullopt;
}

FitRules readFitRules(const platform::Profile& p) {
    FitRules rules;
    if (p.keys(kSection).isEmpty()) {
        return rules;
    }
    for (int s = 0; s < SlotCount; ++s) {
        const QString key = slotNames()[size_t(s)];
        if (!p.hasKey(kSection, key)) {
            continue;
        }
        const QStringList parts = p.readString(kSection, key, QString()).split(QLatin1Char(';'));
        const auto mode = fitModeFromName(parts[0]);
        if (!mode) {
            continue;
        }
        FitRule r;
        r.mode = *mode;
        if (parts.size() > 1) {
            const auto v = parseInteger(parts[1].trimmed());
            if (v && sane(0, *v, 1)) {
                r.minSize = *v;
            }
        }
        if (parts.size() > 2) {
            const auto v = parseInteger(parts[2].trimmed());
            if (v && sane(0, 60, *v)) {
                r.lines = *v;
            }
        }
        rules[size_t(s)] = r;
    }
    return rules;
}

void writeFitRules(platform::Profile& p, const FitRules& rules) {
    if (!anyFitRule(rules) && p.keys(kSection).isEmpty()) {
        return;
    }
    for (int s = 0; s < SlotCount; ++s) {
        const FitRule& r = rules[size_t(s)];
        p.writeString(
            kSection, slotNames()[size_t(s)],
            QStringLiteral("%1;%2;%3").arg(fitModeName(r.mode)).arg(r.minSize).arg(r.lines));
    }
}

QByteArray encodeFitTrailer(const FitRules& rules) {
    if (!anyFitRule(rules)) {
        return {};
    }
    TrailerBlockWriter out(QByteArrayView(kTag, sizeof kTag));
    for (const FitRule& r : rules) {
        out.append({std::int32_t(r.mode), r.minSize, r.lines});
    }
    return out.finish();
}

std::optional<FitRules> decodeFitTrailer(QByteArrayView rest) {
    // The tag says rules follow: printing without them would print other sizes and breaks.
    const QString damagedText = QStringLiteral("damaged fit trailer");
    const auto block = readTrailerBlock(rest, QByteArrayView(kTag, sizeof kTag),
                                        kFieldsPerSlot * SlotCount, damagedText);
    if (!block) {
        return std::nullopt;
    }
    const TrailerFields& field = *block;
    FitRules rules;
    for (int s = 0; s < SlotCount; ++s) {
        const int at = kFieldsPerSlot * s;
        if (!sane(field(at), field(at + 1), field(at + 2))) {
            throw platform::Error(damagedText);
        }
        rules[size_t(s)] = {FitRule::Mode(field(at)), field(at + 1), field(at + 2)};
    }
    return rules;
}

} // namespace settings
