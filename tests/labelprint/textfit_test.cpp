// The fit of a slot's text: chosen size, line breaks and overflow for text length x rule x
// position. Rooms are given as the width of a text at a size, measured with the slot's own
// font, so the cases hold for whatever face the font system substitutes.
#include "labelprint/textfit.h"

#include <gtest/gtest.h>

namespace labelprint {
namespace {

using Mode = settings::FitRule::Mode;

settings::FitRule rule(Mode mode, int minSize = 60, int lines = 2) {
    settings::FitRule r;
    r.mode = mode;
    r.minSize = minSize;
    r.lines = lines;
    return r;
}

const QString kOne = QStringLiteral("ovoce");
const QString kTwo = QStringLiteral("ovoce ovoce");
const QString kThree = QStringLiteral("ovoce ovoce ovoce");
const QString kFour = QStringLiteral("ovoce ovoce ovoce ovoce");
const QString kSix = QStringLiteral("ovoce ovoce ovoce ovoce ovoce ovoce");
const QString kWord = QStringLiteral("Smetanovoovocnýjogurt");

TEST(TextFit, SizeLinesAndOverflowByLengthRuleAndPosition) {
    struct Case {
        const char* name;
        QString text;
        settings::FitRule rule;
        QString roomText; // the room is this text's width at roomSize, and a hair more
        int roomSize;
        int size;
        QStringList lines;
        bool overflow;
    };
    const Case cases[] = {
        {"off, fits", kOne, rule(Mode::Off), kTwo, 80, 80, {kOne}, false},
        {"off, too long", kSix, rule(Mode::Off), kTwo, 80, 80, {kSix}, true},
        {"shrink, not needed", kOne, rule(Mode::Shrink), kTwo, 80, 80, {kOne}, false},
        {"shrink to 7 pt", kSix, rule(Mode::Shrink), kSix, 70, 70, {kSix}, false},
        {"shrink stops at its minimum", kSix, rule(Mode::Shrink, 75), kSix, 70, 75, {kSix}, true},
        {"shrink, minimum above the font",
         kSix,
         rule(Mode::Shrink, 90),
         kSix,
         70,
         80,
         {kSix},
         true},
        {"wrap to 2 lines", kFour, rule(Mode::Wrap, 80), kTwo, 80, 80, {kTwo, kTwo}, false},
        {"wrap past 2 lines", kSix, rule(Mode::Wrap, 80), kTwo, 80, 80, {kTwo, kTwo}, true},
        {"wrap to 3 lines", kSix, rule(Mode::Wrap, 80, 3), kTwo, 80, 80, {kTwo, kTwo, kTwo}, false},
        {"wrap then shrink", kSix, rule(Mode::Wrap, 60), kThree, 70, 70, {kThree, kThree}, false},
        {"wrap, a word too long is shrunk", kWord, rule(Mode::Wrap), kWord, 75, 75, {kWord}, false},
        {"wrap, a word too long at the minimum",
         kWord,
         rule(Mode::Wrap),
         kWord,
         50,
         60,
         {kWord},
         true},
        {"wrap, a line that fits keeps its spaces",
         "ovoce   ovoce",
         rule(Mode::Wrap),
         kFour,
         80,
         80,
         {"ovoce   ovoce"},
         false},
        {"wrap, a long line loses the spaces it breaks at",
         "ovoce   ovoce  ovoce",
         rule(Mode::Wrap, 80),
         kTwo,
         80,
         80,
         {kTwo, kOne},
         false},
    };
    const settings::FontDescription font; // 8 pt
    const FitFont metrics(font);
    for (const Case& c : cases) {
        const double room = metrics.width(c.roomText, c.roomSize) + 0.01;
        // Centred, the room is the whole label; left-aligned, what lies right of the offset.
        for (const bool centred : {true, false}) {
            FitBox box;
            box.centred = centred;
            box.left = centred ? 0 : 100;
            box.labelWidth = room + box.left;
            box.labelHeight = 1000;
            box.slotHeight = 1000;
            const TextFit fit = fitText(c.text, font, metrics, c.rule, box);
            const std::string what = std::string(c.name) + (centred ? ", centred" : ", left");
            EXPECT_EQ(fit.size, c.size) << what;
            EXPECT_EQ(fit.lines, c.lines) << what;
            EXPECT_EQ(fit.overflow, c.overflow) << what;
            EXPECT_DOUBLE_EQ(fit.lineHeight, metrics.cellHeight(fit.size)) << what;
        }
    }
}

TEST(TextFit, LeftAlignedLineMustFitRightOfItsOffset) {
    const settings::FontDescription font;
    const FitFont metrics(font);
    FitBox box;
    box.labelWidth = metrics.width(kTwo, 80) + 0.01;
    box.labelHeight = box.slotHeight = 1000;
    box.centred = true;
    EXPECT_FALSE(fitText(kTwo, font, metrics, rule(Mode::Off), box).overflow);
    box.centred = false;
    box.left = 50;
    EXPECT_TRUE(fitText(kTwo, font, metrics, rule(Mode::Off), box).overflow);
    // An offset past the label's right edge leaves no room at all.
    box.left = box.labelWidth + 10;
    const TextFit fit = fitText(kOne, font, metrics, rule(Mode::Shrink), box);
    EXPECT_TRUE(fit.overflow);
    EXPECT_EQ(fit.size, 60);
    EXPECT_FALSE(fitText(QString(), font, metrics, rule(Mode::Shrink), box).overflow);
}

TEST(TextFit, LinesCutBySlotOrBelowTheLabelOverflow) {
    const settings::FontDescription font;
    const FitFont metrics(font);
    const double cell = metrics.cellHeight(80);
    struct Case {
        const char* name;
        QString text;
        settings::FitRule rule;
        double top, slotHeight, labelHeight;
        int size;
        QStringList lines;
        bool overflow;
    };
    const Case cases[] = {
        {"second line cut by the slot", "a\rb", rule(Mode::Off), 0, cell, 500, 80, {"a"}, true},
        {"an empty line cut is no loss", "a\r", rule(Mode::Off), 0, cell, 500, 80, {"a"}, false},
        {"line feeds are dropped", "a\nb", rule(Mode::Off), 0, cell, 500, 80, {"ab"}, false},
        {"shrunk until both lines fit the slot",
         "a\rb",
         rule(Mode::Shrink, 40),
         0,
         2 * metrics.cellHeight(60),
         500,
         60,
         {"a", "b"},
         false},
        {"cell below the label's bottom",
         "a",
         rule(Mode::Off),
         100,
         cell,
         100 + cell / 2,
         80,
         {"a"},
         true},
        {"wrapped lines below the label's bottom",
         kTwo,
         rule(Mode::Wrap, 80),
         0,
         cell,
         cell * 1.5,
         80,
         {kOne, kOne},
         true},
        {"wrap shrinks to keep its lines on the label",
         kTwo,
         rule(Mode::Wrap, 40),
         0,
         cell,
         2 * metrics.cellHeight(50),
         50,
         {kOne, kOne},
         false},
        {"a line above the label's top is no overflow",
         "a",
         rule(Mode::Off),
         -40,
         cell,
         150,
         80,
         {"a"},
         false},
    };
    for (const Case& c : cases) {
        FitBox box;
        box.centred = true;
        // Room for one word at 8 pt and not for two.
        box.labelWidth = metrics.width(kOne, 80) + 1;
        box.top = c.top;
        box.slotHeight = c.slotHeight;
        box.labelHeight = c.labelHeight;
        const TextFit fit = fitText(c.text, font, metrics, c.rule, box);
        EXPECT_EQ(fit.size, c.size) << c.name;
        EXPECT_EQ(fit.lines, c.lines) << c.name;
        EXPECT_EQ(fit.overflow, c.overflow) << c.name;
    }
}

} // namespace
} // namespace labelprint
