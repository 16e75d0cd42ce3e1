// The print request: read from a real settings folder, taken by a label report, and its faults
// as typed errors with the values each front end words them from.
#include "labelprint/labelreport.h"
#include "labelprint/printrequest.h"
#include "platform/fileerror.h"
#include "settings/fontfile.h"
#include "support/sheets.h"
#include "support/tempprogramdir.h"

#include <QDir>
#include <gtest/gtest.h>
#include <optional>

namespace labelprint {
namespace {

TEST(PrintRequest, SettingsFolderGivesLayoutAndFontsAndTheReportTakesTheWholeRequest) {
    TempProgramDir dir;
    dir.write("dravelin.ini", "[setup]\nvlevo=5\nsloupce=3\n[tiskarny]\nlaser=15;-5\n");
    settings::SlotFonts fonts{};
    fonts[settings::Cena].setFace("DejaVu Serif");
    fonts[settings::Cena].height = -20;
    settings::writeFontFile(dir.file("font"), fonts);

    PrintRequest request = readSettingsFolder(dir.path());
    EXPECT_EQ(request.layout.vlevo, 5);
    EXPECT_EQ(request.layout.sloupce, 3);
    EXPECT_EQ(request.layout.nahore, settings::LayoutSettings{}.nahore);
    EXPECT_EQ(request.layout.lines[settings::Cena].font, fonts[settings::Cena]);
    request.offsets = {{"laser", {15, -5}}};

    request.orientation = Orientation::Landscape;
    request.copies = 2;
    request.firstPage = 2;
    request.lastPage = 3;
    request.title = "ceny";
    request.layout.sheet = ::test::sheet3651();
    request.startPosition = 7;
    LabelReport report;
    takeRequest(report, request);
    EXPECT_EQ(report.orientation(), Orientation::Landscape);
    EXPECT_EQ(report.printSettings().copies, 2);
    EXPECT_EQ(report.printSettings().firstPage, 2);
    EXPECT_EQ(report.printSettings().lastPage, 3);
    EXPECT_EQ(report.printSettings().title, "ceny");
    EXPECT_EQ(report.printSettings().offsets, request.offsets);
    EXPECT_EQ(report.leftMargin(), 50);
    EXPECT_EQ(report.columns(), 3);
    EXPECT_EQ(report.line(settings::Cena).font, fonts[settings::Cena]);
    ASSERT_NE(report.sheet(), nullptr);
    EXPECT_EQ(report.skip(), 6);

    // What the window's controls give goes through the same path, with the print setup the
    // report keeps between commands.
    const PrintRequest again = requestFromControls(request.layout, 7, {}, request.offsets, report);
    EXPECT_EQ(again.orientation, Orientation::Landscape);
    EXPECT_EQ(again.copies, 2);
    EXPECT_EQ(again.firstPage, 2);
    EXPECT_EQ(again.title, "ceny");
}

TEST(PrintRequest, EachFaultIsTypedWithItsValues) {
    TempProgramDir dir;
    dir.write("plain", "x");
    ASSERT_TRUE(QDir().mkpath(dir.file("short")));
    dir.write("short/font", QByteArray(settings::kFontFileSize - 1, '\x01'));
    settings::Sheet zero = ::test::sheet3651();
    zero.width = 0;

    struct Case {
        const char* what;
        std::function<void()> run;
        RequestFault::Kind kind;
        std::function<void(const RequestFault&)> check;
    };
    const auto take = [](const settings::Sheet& sheet, int start,
                         const settings::UsedPositions& used = {}) {
        PrintRequest r;
        r.layout.sheet = sheet;
        r.startPosition = start;
        r.used = used;
        LabelReport report;
        takeRequest(report, r);
    };
    const Case cases[] = {
        {"missing folder", [&] { readSettingsFolder(dir.file("nic")); },
         RequestFault::Kind::NoSettingsFolder,
         [&](const RequestFault& f) { EXPECT_EQ(f.path(), dir.file("nic")); }},
        {"a file for a folder", [&] { readSettingsFolder(dir.file("plain")); },
         RequestFault::Kind::NotAFolder, [](const RequestFault&) {}},
        {"short font file", [&] { readSettingsFolder(dir.file("short")); },
         RequestFault::Kind::FontFile,
         [&](const RequestFault& f) {
             EXPECT_EQ(f.fileError(), platform::ReadBeyondEnd);
             EXPECT_EQ(QDir::cleanPath(f.path()), QDir::cleanPath(dir.file("short/font")));
         }},
        {"sheet that cannot be printed", [&] { take(zero, 1); },
         RequestFault::Kind::SheetUnprintable,
         [&](const RequestFault& f) { EXPECT_EQ(f.reason(), settings::sheetProblem(zero)); }},
        {"start past the sheet", [&] { take(::test::sheet3651(), 41); },
         RequestFault::Kind::StartPastSheet,
         [](const RequestFault& f) {
             EXPECT_EQ(f.start(), 41);
             EXPECT_EQ(f.perPage(), 40);
         }},
        {"start before the first label", [&] { take(::test::sheet3651(), 0); },
         RequestFault::Kind::StartPastSheet,
         [](const RequestFault& f) { EXPECT_EQ(f.start(), 0); }},
        {"no free position left", [&] { take(::test::sheet3651(), 40, {39}); },
         RequestFault::Kind::NoFreePosition,
         [](const RequestFault& f) {
             EXPECT_EQ(f.reason(), settings::usedProblem(::test::sheet3651(), 40, {39}));
         }},
    };
    for (const Case& c : cases) {
        std::optional<RequestFault> caught;
        try {
            c.run();
        } catch (const RequestFault& f) {
            caught = f;
        }
        ASSERT_TRUE(caught) << c.what;
        EXPECT_EQ(caught->kind(), c.kind) << c.what;
        c.check(*caught);
    }
    // The last position of the sheet is no fault; without a sheet the flow's own count holds.
    EXPECT_NO_THROW(take(::test::sheet3651(), 40));
    EXPECT_NO_THROW(take(settings::Sheet{}, 1));
}

TEST(PrintRequest, AnUnprintableSheetLeavesTheReportAsItWas) {
    LabelReport report;
    PrintRequest good;
    good.layout.vlevo = 7;
    takeRequest(report, good);
    PrintRequest bad;
    bad.layout.vlevo = 20;
    bad.layout.sheet = ::test::sheet3651();
    bad.layout.sheet.rows = 0;
    bad.orientation = Orientation::Landscape;
    EXPECT_THROW(takeRequest(report, bad), RequestFault);
    EXPECT_EQ(report.leftMargin(), 70);
    EXPECT_EQ(report.orientation(), Orientation::Portrait);
    EXPECT_EQ(report.sheet(), nullptr);
}

} // namespace
} // namespace labelprint
