// The layout run drives the preview surface unchanged: the worked example (3 columns, 37 mm
// labels, 50 rows) gives the pages a recording surface says, and each played page shows every
// label's background, frame and centred text where the recording surface put them.
#include "emf_pages.h"
#include "recordingsurface.h"

#include "labelprint/labelreport.h"
#include "printlist/rowset.h"
#include "settings/layoutsettings.h"

#include <gtest/gtest.h>

namespace labelprint {
namespace {

using namespace testpages;

settings::LayoutSettings workedExample() {
    settings::LayoutSettings s;
    s.vlevo = 10;
    s.nahore = 10;
    s.sloupce = 3;
    s.vyskabunky = 37;
    s.bordercolor = 0xC80000; // blue
    s.pozadi = 0xA0F0FF;      // light yellow
    for (auto& line : s.lines) {
        line.font.face = QStringLiteral("DejaVu Sans");
        line.font.colour = platform::kBlack;
    }
    return s;
}

printlist::RowSet rows(int count) {
    std::vector<QStringList> r;
    for (int i = 1; i <= count; ++i) {
        const QString code = QString::number(1000 + i);
        r.push_back({code, "*" + code + "*", QStringLiteral("Name %1").arg(i),
                     QStringLiteral("9,90"), QString(), QString(), QString()});
    }
    return printlist::RowSet({"kod", "kods", "nazev", "cena", "text1", "text2", "text3"},
                             std::move(r));
}

TEST(EmfLayoutRun, PlayedPagesShowTheLabelsWhereTheRunPutThem) {
    auto list = rows(50);
    LabelReport report;
    report.takeSettings(workedExample());
    RecordingSurface recording;
    ASSERT_EQ(report.run(list, recording).pages, 3);
    PreviewDocument document;
    EXPECT_EQ(document.pageSize(), QSize(794, 1123));
    PreviewSurface preview(document);
    EXPECT_EQ(report.run(list, preview).pages, 3);
    EXPECT_EQ(document.pageCount(), 3);
    EXPECT_EQ(document.status(), PreviewDocument::Status::Finished);

    const QColor background(255, 240, 160);
    const QColor frame(0, 0, 200);
    for (int page : {1, 3}) {
        const auto rects = recording.labelRects(page, background);
        ASSERT_EQ(rects.size(), page == 1 ? 21u : 8u);
        const QImage image = play(document.pageDrawing(page).value());
        for (const QRect& r : rects) {
            EXPECT_EQ(image.pixelColor(r.topLeft()), frame) << r.x() << "," << r.y();
            EXPECT_EQ(image.pixelColor(r.right(), r.center().y()), frame);
            EXPECT_EQ(image.pixelColor(r.left() + 3, r.bottom() - 3), background);
            const QRect text = colourBox(image, Qt::black, r.adjusted(2, 2, -2, -2));
            ASSERT_FALSE(text.isEmpty());
            EXPECT_NEAR(text.center().x(), r.center().x(), 3);
        }
        // Nothing beyond the last label of page 3: column 2 holds one label only.
        if (page == 3) {
            EXPECT_EQ(image.pixelColor(rects.back().center().x(), rects.back().bottom() + 40),
                      QColor(Qt::white));
        }
    }
}

} // namespace
} // namespace labelprint
