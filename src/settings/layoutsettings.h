// The layout settings record: the plain values that cross from the settings tab's controls to
// printing, snapshots and shutdown. Defaults are those of a first run.
#pragma once

#include "settings/fontdescription.h"
#include "settings/sheet.h"
#include "settings/slotoptions.h"

#include <QString>
#include <array>
#include <cstdint>

namespace settings {

// The seven line slots, always in this order.
enum Slot { Kods, Kod, Nazev, Cena, Text1, Text2, Text3, SlotCount };

// Slot names as fields, columns and key prefixes ("kods", "kod", "nazev", ...).
const std::array<QString, SlotCount>& slotNames();

// One line slot; the file keys are the slot's name followed by "top", "left" and "chb".
struct SlotSettings {
    // mm from the label's top edge to the line's top; a negative value is used as it is.
    std::int32_t top = 0;
    // mm from the label's left edge to the line's left end; any negative value centres the
    // line on the label and the number itself is not used.
    std::int32_t left = -1;
    // The line's check box: off leaves the line out of every label.
    bool on = true;
    // Face, height, style and colour; held by the slot's font dialog and kept in the font
    // file, not in dravelin.ini.
    FontDescription font;
    // Drawn as a barcode instead of text; kept in dravelin.ini only once used.
    BarcodeOptions barcode;
    // Shrinking or wrapping a line too wide for its label; kept only once used.
    FitRule fit;

    bool operator==(const SlotSettings&) const = default;
};

// Each field is named after its key in dravelin.ini. No field is held to limits: the spin
// fields have none, and the layout run says what odd values do.
struct LayoutSettings {
    // Left page margin in mm (the right margin is no setting: 10 mm).
    std::int32_t vlevo = 10;
    // Top page margin in mm (the bottom margin is no setting: 10 mm).
    std::int32_t nahore = 10;
    // Number of label columns across the page; the label width follows from it. Below 1 the
    // label report keeps the count it had.
    std::int32_t sloupce = 10;
    // Label height in mm.
    std::int32_t vyskabunky = 15;
    // Colour value (0x00BBGGRR, or a system colour when negative) of the frame around each label.
    std::int32_t bordercolor = platform::kBlack;
    // Colour value of each label's background.
    std::int32_t pozadi = platform::kWhite;
    // The code-39 character: put before and after the goods code to make the kods line when a
    // label is added; any length, though a snapshot keeps only its first character.
    QString specznak = QStringLiteral("*");
    // The seven line slots in Slot order.
    std::array<SlotSettings, SlotCount> lines = defaultSlots();
    // The sheet description in 0.1 mm, kept in section arch and in the snapshot's trailer; off
    // unless the user turns it on.
    Sheet sheet;

    static std::array<SlotSettings, SlotCount> defaultSlots();
    bool operator==(const LayoutSettings&) const = default;
};

} // namespace settings
