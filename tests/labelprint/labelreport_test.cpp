// The label report's state as the print command leaves it: page description, label width,
// line slots, kept between print commands.
#include "labelprint/labelreport.h"

#include <gtest/gtest.h>

namespace labelprint {
namespace {

using settings::Slot;

TEST(LabelReport, PrintCommandTakesTheDefaults) {
    LabelReport report;
    EXPECT_EQ(report.columns(), 10);
    EXPECT_EQ(report.line(Slot::Kods).height, 17);
    EXPECT_EQ(report.line(Slot::Kod).height, 21);

    report.takeSettings(settings::LayoutSettings{});
    EXPECT_EQ(report.topMargin(), 100);
    EXPECT_EQ(report.leftMargin(), 100);
    EXPECT_EQ(report.bottomMargin(), 100);
    EXPECT_EQ(report.rightMargin(), 100);
    EXPECT_EQ(report.columnSpacing(), 0);
    EXPECT_EQ(report.pageWidth(), 2100);
    EXPECT_EQ(report.pageLength(), 2970);
    EXPECT_EQ(report.labelHeight(), 150);
    EXPECT_EQ(report.bandHeight(), 57);
    EXPECT_DOUBLE_EQ(report.labelWidth(), 71 * 254.0 / 96);
    EXPECT_EQ(report.frameColour(), 0);
    EXPECT_EQ(report.background(), 16777215);
    const bool on[] = {true, true, true, true, false, false, false};
    const int topPixels[] = {4, 26, 38, -4, 38, 38, 38};
    for (int s = 0; s < settings::SlotCount; ++s) {
        const LineSlot& line = report.line(Slot(s));
        EXPECT_EQ(line.on, on[s]) << s;
        EXPECT_TRUE(line.centred) << s;
        EXPECT_DOUBLE_EQ(line.top, topPixels[s] * 254.0 / 96) << s;
        EXPECT_EQ(line.font, settings::FontDescription{}) << s;
    }
}

TEST(LabelReport, LabelWidthFollowsColumnsMarginsAndOrientation) {
    LabelReport report;
    settings::LayoutSettings s;
    report.takeSettings(s);
    // Only the left margin changes: the label height step still computes the width again.
    s.vlevo = 30; // M = nearest(400 x 96 / 254) = 151, w = (794 - 151) / 10 = 64
    report.takeSettings(s);
    EXPECT_DOUBLE_EQ(report.labelWidth(), 64 * 254.0 / 96);

    s.sloupce = 3; // w = (794 - 151) / 3 = 214
    report.takeSettings(s);
    EXPECT_DOUBLE_EQ(report.labelWidth(), 214 * 254.0 / 96);

    report.setOrientation(Orientation::Landscape); // W = 1123, w = (1123 - 151) / 3 = 324
    EXPECT_EQ(report.pageWidth(), 2970);
    EXPECT_EQ(report.pageLength(), 2100);
    EXPECT_DOUBLE_EQ(report.labelWidth(), 324 * 254.0 / 96);
    report.takeSettings(s);
    EXPECT_EQ(report.orientation(), Orientation::Landscape); // kept by later print commands
}

TEST(LabelReport, LineSlotsKeepTheirLastPlacementAndGrowWithTheirFont) {
    LabelReport report;
    settings::LayoutSettings s;
    s.lines[Slot::Nazev].left = 0;
    s.lines[Slot::Cena].left = 12; // 45 px
    report.takeSettings(s);
    EXPECT_FALSE(report.line(Slot::Nazev).centred);
    EXPECT_DOUBLE_EQ(report.line(Slot::Nazev).left, 0);
    EXPECT_DOUBLE_EQ(report.line(Slot::Cena).left, 45 * 254.0 / 96);

    s.lines[Slot::Nazev].left = -3;
    s.lines[Slot::Nazev].font.face = QStringLiteral("DejaVu Sans");
    s.lines[Slot::Nazev].font.height = -64; // 48 points, a 64 px em at 96 dpi
    report.takeSettings(s);
    EXPECT_TRUE(report.line(Slot::Nazev).centred);
    // DejaVu Sans has 2048 units per em, ascender 1901 and descender 483: at 64 px that is
    // 59.4 + 15.1, a cell of 59 + 15 = 74 px, and the slot one pixel more.
    const int grown = 75;
    EXPECT_EQ(report.line(Slot::Nazev).height, grown);

    s.lines[Slot::Nazev].font.height = -11;
    report.takeSettings(s);
    EXPECT_EQ(report.line(Slot::Nazev).height, grown); // never shrinks
    EXPECT_EQ(report.line(Slot::Kods).height, 17);
}

TEST(LabelReport, CancelOutsideARunChangesNothing) {
    LabelReport report;
    report.cancelRun();
    EXPECT_FALSE(report.cancelledMark());
    EXPECT_FALSE(report.inRun());
}

} // namespace
} // namespace labelprint
