#include "settings/layoutsettings.h"

namespace settings {

const std::array<QString, SlotCount>& slotNames() {
    static const std::array<QString, SlotCount> names = {
        QStringLiteral("kods"), QStringLiteral("kod"),   QStringLiteral("nazev"),
        QStringLiteral("cena"), QStringLiteral("text1"), QStringLiteral("text2"),
        QStringLiteral("text3")};
    return names;
}

std::array<SlotSettings, SlotCount> LayoutSettings::defaultSlots() {
    std::array<SlotSettings, SlotCount> s;
    const std::int32_t tops[SlotCount] = {1, 7, 10, -1, 10, 10, 10};
    for (int i = 0; i < SlotCount; ++i) {
        s[i].top = tops[i];
        s[i].left = -1;
        s[i].on = i <= Cena;
    }
    return s;
}

} // namespace settings
