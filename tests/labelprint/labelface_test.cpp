// The face of one label: background, lines in slot order, frame last; positions on the design
// grid, centring, line splitting and the fit test, colours. One label at (100, 100) with the
// default layout (187.85 x 150) on a 254-dpi surface, where one device unit is 0.1 mm.
#include "labelprint/labelreport.h"
#include "labelprint/units.h"
#include "recordingsurface.h"
#include "rows.h"

#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace labelprint {
namespace {

using settings::Slot;

const QColor kBlack(0, 0, 0);

struct Face {
    LabelReport report;
    RecordingSurface surface;
    explicit Face(int dpi = 254) : surface(dpi) {}

    void draw(printlist::RowSet rows, const settings::LayoutSettings& s = {}) {
        report.takeSettings(s);
        report.run(rows, surface);
    }
    std::vector<SurfaceCall> texts() const { return surface.ofKind(SurfaceCall::DrawText); }
};

settings::LayoutSettings onlySlot(Slot slot, int top, int left) {
    settings::LayoutSettings s;
    for (auto& line : s.lines) {
        line.on = false;
    }
    s.lines[slot].on = true;
    s.lines[slot].top = top;
    s.lines[slot].left = left;
    return s;
}

TEST(LabelFace, DrawsBackgroundThenSlotsInOrderThenFrame) {
    Face f;
    f.draw(test::numberedRows(1));
    std::vector<SurfaceCall> body;
    for (const SurfaceCall& c : f.surface.calls) {
        if (c.kind == SurfaceCall::FillRect || c.kind == SurfaceCall::SelectFont ||
            c.kind == SurfaceCall::DrawText) {
            body.push_back(c);
        }
    }
    ASSERT_EQ(body.size(), 1u + 8u + 4u);
    EXPECT_EQ(body[0].kind, SurfaceCall::FillRect);
    EXPECT_EQ(body[0].rect, QRect(100, 100, 188, 150));
    EXPECT_EQ(body[0].colour, QColor(Qt::white));
    // Tops 1, 7, 10 and -1 mm on the design grid (4, 26, 38, -4 px), centred at 193.93.
    const struct {
        QString text;
        QPoint at;
    } lines[] = {{"*K1*", {194, 111}}, {"K1", {194, 169}}, {"N1", {194, 201}}, {"C1", {194, 89}}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(body[1 + 2 * i].kind, SurfaceCall::SelectFont);
        const SurfaceCall& text = body[2 + 2 * i];
        ASSERT_EQ(text.kind, SurfaceCall::DrawText);
        EXPECT_EQ(text.text, lines[i].text);
        EXPECT_EQ(text.at, lines[i].at) << text.text.toStdString();
        EXPECT_EQ(text.anchor, TextAnchor::TopCentre);
    }
    // Frame bars 4 units thick (nearest(254 / 72)) in a frame reaching 0.1 mm lower, to 251.
    const std::vector<QRect> bars = {QRect(100, 100, 188, 4), QRect(100, 247, 188, 4),
                                     QRect(100, 100, 4, 151), QRect(284, 100, 4, 151)};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(body[9 + i].rect, bars[i]);
        EXPECT_EQ(body[9 + i].colour, kBlack);
    }
}

TEST(LabelFace, OffsetsAreWholeDesignPixels) {
    struct Case {
        int top, left;
        double usedTop, usedLeft;
        QPoint at;
        TextAnchor anchor;
    };
    const Case cases[] = {
        {2, 5, 8 * 254.0 / 96, 19 * 254.0 / 96, {150, 121}, TextAnchor::TopLeft}, // 2.117, 5.027
        {0, 0, 0, 0, {100, 100}, TextAnchor::TopLeft}, // under the top and left bars
        {-1, -1, -4 * 254.0 / 96, 0, {194, 89}, TextAnchor::TopCentre}, // above the label
        {3, -7, 11 * 254.0 / 96, 0, {194, 129}, TextAnchor::TopCentre}, // any negative centres
    };
    for (const Case& c : cases) {
        Face f;
        f.draw(test::oneRow(Slot::Cena, "12,50"), onlySlot(Slot::Cena, c.top, c.left));
        const LineSlot& line = f.report.line(Slot::Cena);
        EXPECT_DOUBLE_EQ(line.top, c.usedTop);
        EXPECT_EQ(line.centred, c.left < 0);
        if (!line.centred) {
            EXPECT_DOUBLE_EQ(line.left, c.usedLeft);
        }
        const auto texts = f.texts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].at, c.at) << c.top << "/" << c.left;
        EXPECT_EQ(texts[0].anchor, c.anchor);
    }
}

TEST(LabelFace, CentresOnTheLabelMiddleInEveryColumn) {
    // Worked example: columns at 100, 732, 1364, label width 632.35.
    settings::LayoutSettings s = onlySlot(Slot::Nazev, 0, -1);
    s.sloupce = 3;
    s.vyskabunky = 37;
    Face f;
    std::vector<QStringList> rows;
    for (int i = 0; i < 15; ++i) {
        rows.push_back({"", "", i == 14 ? QString(300, 'W') : "x", "", "", "", ""});
    }
    f.draw(printlist::RowSet(test::fieldNames(), rows), s);
    const auto texts = f.texts();
    ASSERT_EQ(texts.size(), 15u);
    EXPECT_EQ(texts[0].at.x(), 416);   // 100 + 316.18
    EXPECT_EQ(texts[7].at.x(), 1048);  // 732 + 316.18
    EXPECT_EQ(texts[14].at.x(), 1680); // a text far wider than the label still centres
    EXPECT_EQ(texts[14].anchor, TextAnchor::TopCentre);
}

// The kod slot starts 21 design pixels high (55.56); lines fit while their cells end within
// 21 px + 0.1 mm (56.56) of the line's top.
TEST(LabelFace, SplitsAtCarriageReturnsAndDrawsOnlyLinesThatFit) {
    struct Case {
        QString value;
        int cell;
        std::vector<std::pair<QString, int>> drawn; // text, device y
    };
    const std::vector<Case> cases = {
        {"A\rB", 28, {{"A", 100}, {"B", 128}}},
        {"A\r\nB", 28, {{"A", 100}, {"B", 128}}},
        {"A\nB", 28, {{"AB", 100}}},
        {"A\rB", 29, {{"A", 100}}},
        {"\rB", 28, {{"B", 128}}}, // an empty line still takes its height
        {"A\rB", 57, {}},          // a cell taller than the slot draws nothing
    };
    for (const Case& c : cases) {
        Face f;
        f.surface.cellHeight = [&](int) { return c.cell; };
        f.draw(test::oneRow(Slot::Kod, c.value), onlySlot(Slot::Kod, 0, 0));
        ASSERT_EQ(f.report.line(Slot::Kod).height, 21);
        std::vector<std::pair<QString, int>> drawn;
        for (const SurfaceCall& t : f.texts()) {
            drawn.emplace_back(t.text, t.at.y());
        }
        EXPECT_EQ(drawn, c.drawn) << c.value.toStdString() << " cell " << c.cell;
    }
}

TEST(LabelFace, SwitchedOffSlotsDrawNothing) {
    Face f;
    settings::LayoutSettings s;
    s.lines[Slot::Nazev].on = false;
    f.draw(test::numberedRows(1), s);
    QStringList texts;
    for (const SurfaceCall& t : f.texts()) {
        texts << t.text;
    }
    EXPECT_EQ(texts, (QStringList{"*K1*", "K1", "C1"}));
    EXPECT_EQ(f.surface.ofKind(SurfaceCall::SelectFont).size(), 3u);

    Face none;
    settings::LayoutSettings off;
    for (auto& line : off.lines) {
        line.on = false;
    }
    none.draw(test::numberedRows(1), off);
    EXPECT_TRUE(none.surface.ofKind(SurfaceCall::SelectFont).empty());
    EXPECT_EQ(none.surface.ofKind(SurfaceCall::FillRect).size(), 5u);
}

TEST(LabelFace, FrameBarsArePointThickAtEveryResolution) {
    const struct {
        int dpi;
        int t;
    } cases[] = {{96, 1}, {254, 4}, {600, 8}, {1200, 17}};
    for (const auto& c : cases) {
        Face f(c.dpi);
        settings::LayoutSettings s;
        s.bordercolor = 0x0000FF; // red
        f.draw(test::numberedRows(1), s);
        std::vector<QRect> bars;
        for (const SurfaceCall& fill : f.surface.ofKind(SurfaceCall::FillRect)) {
            if (fill.colour == QColor(255, 0, 0)) {
                bars.push_back(fill.rect);
            }
        }
        ASSERT_EQ(bars.size(), 4u);
        const QRect label = f.surface.labelRects(1).at(0);
        const int frameBottom = lengthToDevice(251, c.dpi);
        EXPECT_EQ(bars[0], QRect(label.left(), label.top(), label.width(), c.t)) << c.dpi;
        EXPECT_EQ(bars[1].bottom() + 1, frameBottom) << c.dpi;
        EXPECT_EQ(bars[1].height(), c.t) << c.dpi;
        EXPECT_EQ(bars[2], QRect(label.left(), label.top(), c.t, frameBottom - label.top()));
        EXPECT_EQ(bars[3].right(), label.right()) << c.dpi;
        EXPECT_EQ(bars[3].width(), c.t) << c.dpi;
    }
}

TEST(LabelFace, ColoursAndFontsAsStored) {
    settings::LayoutSettings s = onlySlot(Slot::Nazev, 0, -1);
    s.pozadi = 0x00FF00; // green background
    s.lines[Slot::Nazev].font.height = -40;
    s.lines[Slot::Nazev].font.colour = platform::kWindowTextColour;
    Face f;
    f.draw(test::oneRow(Slot::Nazev, "x"), s);
    EXPECT_EQ(f.surface.labelRects(1, QColor(0, 255, 0)).size(), 1u);
    const auto texts = f.texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].colour, QGuiApplication::palette().color(QPalette::WindowText));
    const auto fonts = f.surface.ofKind(SurfaceCall::SelectFont);
    ASSERT_EQ(fonts.size(), 1u);
    // The stored face stays, even where the font system draws it with another one.
    EXPECT_EQ(fonts[0].text, "MS Sans Serif");
    EXPECT_EQ(fonts[0].value, 30);
    EXPECT_EQ(f.report.line(Slot::Nazev).font.face, "MS Sans Serif");

    s.lines[Slot::Nazev].font.colour = 0x00FF0000; // blue
    Face g;
    g.draw(test::oneRow(Slot::Nazev, "x"), s);
    EXPECT_EQ(g.texts().at(0).colour, QColor(0, 0, 255));
}

} // namespace
} // namespace labelprint
