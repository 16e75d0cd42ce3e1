// The layout settings record: the plain values that cross from the settings tab's controls to
// printing, snapshots and shutdown. Defaults are those of a first run.
#pragma once

#include "settings/fontdescription.h"
#include "settings/sheet.h"

#include <QString>
#include <array>
#include <cstdint>

namespace settings {

// The seven line slots, always in this order.
enum Slot { Kods, Kod, Nazev, Cena, Text1, Text2, Text3, SlotCount };

// Slot names as fields, columns and key prefixes ("kods", "kod", "nazev", ...).
const std::array<QString, SlotCount>& slotNames();

struct SlotSettings {
    std::int32_t top = 0;   // mm from the label's top edge
    std::int32_t left = -1; // mm from the label's left edge; negative = centred
    bool on = true;
    FontDescription font;

    bool operator==(const SlotSettings&) const = default;
};

struct LayoutSettings {
    std::int32_t vlevo = 10;
    std::int32_t nahore = 10;
    std::int32_t sloupce = 10;
    std::int32_t vyskabunky = 15;
    std::int32_t bordercolor = platform::kBlack;
    std::int32_t pozadi = platform::kWhite;
    QString specznak = QStringLiteral("*");
    std::array<SlotSettings, SlotCount> lines = defaultSlots();
    // Kept in section arch and in the snapshot's trailer; off unless the user turns it on.
    Sheet sheet;

    static std::array<SlotSettings, SlotCount> defaultSlots();
    bool operator==(const LayoutSettings&) const = default;
};

} // namespace settings
