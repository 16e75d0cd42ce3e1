// Native barcodes: what zint makes of a slot's data, how the symbol snaps to device dots, and
// that a real scanner decoder reads what is drawn.
#include "emf_pages.h"
#include "recordingsurface.h"

#include "labelprint/barcode.h"
#include "labelprint/imagesurface.h"

#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <thread>

namespace labelprint {
namespace {

BarcodeOptions optionsOf(BarcodeKind kind, int moduleWidth = 33, int barHeight = 150) {
    BarcodeOptions o;
    o.kind = kind;
    o.moduleWidth = moduleWidth;
    o.barHeight = barHeight;
    return o;
}

QString joinedTexts(const BarcodeSymbol& symbol) {
    QString all;
    for (const BarcodeSymbol::Text& t : symbol.texts) {
        all += t.text;
    }
    return all;
}

TEST(Barcode, KindNamesRoundTrip) {
    const std::vector<std::pair<BarcodeKind, QString>> names = {
        {BarcodeKind::Ean13, "ean13"},     {BarcodeKind::Ean8, "ean8"},
        {BarcodeKind::Code128, "code128"}, {BarcodeKind::Code39, "code39"},
        {BarcodeKind::Qr, "qr"},           {BarcodeKind::DataMatrix, "datamatrix"},
        {BarcodeKind::Text, "text"}};
    for (const auto& [kind, name] : names) {
        EXPECT_EQ(barcodeKindName(kind), name);
        EXPECT_EQ(barcodeKindFromName(name.toUpper()), kind) << name.toStdString();
    }
    EXPECT_FALSE(barcodeKindFromName(QStringLiteral("ean")).has_value());
    EXPECT_FALSE(barcodeKindFromName(QString()).has_value());
}

TEST(Barcode, KodsLosesTheSpecznakAtBothEndsOnly) {
    struct Case {
        settings::Slot slot;
        QString text, specznak, data;
    };
    const std::vector<Case> cases = {
        {settings::Kods, "*8591234567893*", "*", "8591234567893"},
        {settings::Kods, "##123##", "##", "123"},
        {settings::Kods, "*123", "*", "*123"}, // not added by the add command: left alone
        {settings::Kods, "*", "*", "*"},
        {settings::Kods, "**", "*", ""},
        {settings::Kods, "*123*", "", "*123*"},
        {settings::Kod, "*123*", "*", "*123*"},
        {settings::Nazev, "*A*", "*", "*A*"}};
    for (const Case& c : cases) {
        EXPECT_EQ(barcodeData(c.slot, c.text, c.specznak), c.data) << c.text.toStdString();
    }
}

// Every kind with good data, a computed check digit, a wrong one, letters in an EAN, too much
// data and none: the symbol with its human-readable text, or zint's reason.
TEST(Barcode, KindByDataGivesTheSymbolOrTheReason) {
    struct Case {
        BarcodeKind kind;
        QString data;
        QString text;   // the human-readable text when encoded
        QString reason; // part of the refusal, empty when encoded
        double quiet;   // modules clear before the first bar
        double after;   // and after the last
    };
    const QString longText(300, QLatin1Char('A'));
    const QString longDigits(8000, QLatin1Char('7'));
    const std::vector<Case> cases = {
        {BarcodeKind::Ean13, "859123456789", "8591234567893", {}, 11, 7},
        {BarcodeKind::Ean13, "8591234567893", "8591234567893", {}, 11, 7},
        {BarcodeKind::Ean13, "8591234567891", {}, "Invalid check digit '1', expecting '3'", 0, 0},
        {BarcodeKind::Ean13, "85912a456789", {}, "Invalid character in data", 0, 0},
        {BarcodeKind::Ean13, "85912345678901", {}, "Input too long", 0, 0},
        {BarcodeKind::Ean13, "", {}, "No input data", 0, 0},
        {BarcodeKind::Ean13, "1234567", {}, "EAN-13 needs 12 digits or 13", 0, 0},
        {BarcodeKind::Ean8, "12345670+12", "1234567012", {}, 7, 0},
        {BarcodeKind::Ean8, "1234567", "12345670", {}, 7, 7},
        {BarcodeKind::Ean8, "12345670", "12345670", {}, 7, 7},
        {BarcodeKind::Ean8, "12345671", {}, "Invalid check digit '1', expecting '0'", 0, 0},
        {BarcodeKind::Ean8, "1234A67", {}, "Invalid character in data", 0, 0},
        {BarcodeKind::Ean8,
         "859123456789",
         {},
         "EAN-8 needs 7 digits or 8 with the check digit, not 12",
         0,
         0},
        {BarcodeKind::Code128, "ABC-123 é", "ABC-123 é", {}, 10, 10},
        {BarcodeKind::Code128, "Čáp", {}, "Invalid character in input data", 0, 0},
        {BarcodeKind::Code128, longText, {}, "Input too long", 0, 0},
        {BarcodeKind::Code128, "", {}, "No input data", 0, 0},
        {BarcodeKind::Code39, "ABC-123", "*ABC-123*", {}, 10, 10},
        {BarcodeKind::Code39, "AB@1", {}, "Invalid character in data", 0, 0},
        {BarcodeKind::Code39, "", {}, "No input data", 0, 0},
        {BarcodeKind::Qr, "https://example.cz/8591234567893", {}, {}, 4, 4},
        {BarcodeKind::Qr, "Čárový kód 859", {}, {}, 4, 4},
        {BarcodeKind::Qr, longDigits, {}, "Input too long", 0, 0},
        {BarcodeKind::Qr, "", {}, "No input data", 0, 0},
        {BarcodeKind::DataMatrix, "8591234567893", {}, {}, 1, 1},
        {BarcodeKind::DataMatrix, longDigits, {}, "Data too long to fit in symbol", 0, 0},
        {BarcodeKind::DataMatrix, "", {}, "No input data", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(barcodeKindName(c.kind).toStdString() + " '" + c.data.left(20).toStdString() +
                     "'");
        const BarcodeResult r = encodeBarcode(optionsOf(c.kind), c.data);
        if (!c.reason.isEmpty()) {
            EXPECT_FALSE(r.ok());
            EXPECT_TRUE(r.reason.contains(c.reason)) << r.reason.toStdString();
            continue;
        }
        ASSERT_TRUE(r.ok()) << r.reason.toStdString();
        const BarcodeSymbol& s = *r.symbol;
        EXPECT_EQ(joinedTexts(s), c.text);
        ASSERT_FALSE(s.bars.empty());
        double first = s.width;
        double last = 0;
        for (const QRectF& bar : s.bars) {
            first = std::min(first, bar.left());
            last = std::max(last, bar.right());
        }
        EXPECT_GE(first, c.quiet);
        EXPECT_LE(last, s.width - c.after);
    }
}

TEST(Barcode, ACodeComesOutAlikeWhateverWasEncodedBeforeIt) {
    // Codes one after another in this thread against each encoded alone in a new thread: a
    // large QR or DataMatrix before a small one, a refusal, bars with and without digits.
    struct Item {
        BarcodeOptions options;
        QString data;
    };
    BarcodeOptions noDigits = optionsOf(BarcodeKind::Ean13, 40, 220);
    noDigits.digits = false;
    const std::vector<Item> items = {
        {optionsOf(BarcodeKind::Qr), QString(300, QLatin1Char('q'))},
        {optionsOf(BarcodeKind::Qr), "8591234567893"},
        {optionsOf(BarcodeKind::DataMatrix), QString(400, QLatin1Char('7'))},
        {optionsOf(BarcodeKind::DataMatrix), "859"},
        {optionsOf(BarcodeKind::Ean13), "859123456789"},
        {noDigits, "8591234567893"},
        {optionsOf(BarcodeKind::Ean13, 0, 0), "8591234567891"},
        {optionsOf(BarcodeKind::Ean8, 0, 0), "1234567"},
        {optionsOf(BarcodeKind::Code128), "ABC-123"},
        {optionsOf(BarcodeKind::Code39), "AB-1"},
    };
    const auto same = [](const BarcodeResult& a, const BarcodeResult& b) {
        if (a.ok() != b.ok() || a.reason != b.reason) {
            return false;
        }
        if (!a.ok()) {
            return true;
        }
        const BarcodeSymbol& x = *a.symbol;
        const BarcodeSymbol& y = *b.symbol;
        if (x.width != y.width || x.height != y.height || x.textTop != y.textTop ||
            x.bars != y.bars || x.texts.size() != y.texts.size()) {
            return false;
        }
        for (size_t i = 0; i < x.texts.size(); ++i) {
            if (x.texts[i].text != y.texts[i].text || x.texts[i].centreX != y.texts[i].centreX) {
                return false;
            }
        }
        return true;
    };
    std::vector<BarcodeResult> alone;
    for (const Item& item : items) {
        std::thread([&] { alone.push_back(encodeBarcode(item.options, item.data)); }).join();
    }
    for (bool reversed : {false, true}) {
        for (size_t n = 0; n < items.size(); ++n) {
            const size_t i = reversed ? items.size() - 1 - n : n;
            EXPECT_TRUE(same(encodeBarcode(items[i].options, items[i].data), alone[i]))
                << "item " << i << (reversed ? " backwards" : "");
        }
    }
}

TEST(Barcode, HumanReadableDigitsFollowTheSwitch) {
    BarcodeOptions o = optionsOf(BarcodeKind::Ean13);
    o.digits = false;
    const BarcodeResult r = encodeBarcode(o, QStringLiteral("859123456789"));
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.symbol->texts.empty());
    RecordingSurface surface(300);
    drawBarcode(surface, *r.symbol, o, QPoint(0, 0), TextAnchor::TopLeft, {}, Qt::black);
    EXPECT_TRUE(surface.ofKind(SurfaceCall::DrawText).empty());
}

TEST(Barcode, ModuleDotsAndTheEanRangeWarning) {
    struct Case {
        int moduleWidth, dpi, dots;
        bool ean13Warns;
    };
    const std::vector<Case> cases = {
        {33, 203, 3, false}, // 0.375 mm
        {33, 300, 4, false}, // 0.339 mm
        {33, 600, 8, false}, {33, 1200, 16, false},
        {33, 96, 1, true},  // 0.265 mm: 80.2 %, but 96 dpi rounds 0.33 to 1 dot = 0.2646 mm
        {26, 300, 3, true}, // 0.254 mm < 0.264 mm
        {27, 600, 6, false}, {66, 300, 8, false}, // 0.677 mm: 205 % after rounding
        {1, 203, 1, true},   {80, 600, 19, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.moduleWidth) + " @ " + std::to_string(c.dpi));
        EXPECT_EQ(moduleDots(c.moduleWidth, c.dpi), c.dots);
        const double mm = c.dots * 25.4 / c.dpi;
        const bool outside = mm < 0.264 || mm > 0.66;
        EXPECT_EQ(eanModuleOutOfRange(optionsOf(BarcodeKind::Ean13, c.moduleWidth), c.dpi),
                  outside);
        EXPECT_EQ(eanModuleOutOfRange(optionsOf(BarcodeKind::Ean8, c.moduleWidth), c.dpi), outside);
        EXPECT_FALSE(eanModuleOutOfRange(optionsOf(BarcodeKind::Code128, c.moduleWidth), c.dpi));
    }
}

// At every printer resolution each bar starts on the module grid and is a whole number of
// modules wide, nothing is stretched, and the quiet zones stay empty.
TEST(Barcode, BarsSnapToWholeDeviceDotsAtEveryResolution) {
    struct Symbol {
        BarcodeKind kind;
        QString data;
        int quiet, after; // modules clear before the first bar and after the last
    };
    const std::vector<Symbol> symbols = {{BarcodeKind::Ean13, "859123456789", 11, 7},
                                         {BarcodeKind::Code128, "Shelf 42/B", 10, 10},
                                         {BarcodeKind::Qr, "8591234567893", 4, 4},
                                         {BarcodeKind::DataMatrix, "8591234567893", 1, 1}};
    for (int dpi : {203, 300, 600, 1200}) {
        for (int x : {25, 33, 50}) {
            for (const Symbol& sym : symbols) {
                for (TextAnchor anchor : {TextAnchor::TopLeft, TextAnchor::TopCentre}) {
                    SCOPED_TRACE(barcodeKindName(sym.kind).toStdString() + " X " +
                                 std::to_string(x) + " @ " + std::to_string(dpi));
                    const BarcodeOptions o = optionsOf(sym.kind, x);
                    const BarcodeResult r = encodeBarcode(o, sym.data);
                    ASSERT_TRUE(r.ok()) << r.reason.toStdString();
                    RecordingSurface surface(dpi);
                    const QPoint at(1001, 377);
                    const QRect area =
                        drawBarcode(surface, *r.symbol, o, at, anchor, {}, Qt::black);
                    const int dots = moduleDots(x, dpi);
                    EXPECT_EQ(area.width(), std::lround(r.symbol->width) * dots);
                    if (anchor == TextAnchor::TopLeft) {
                        EXPECT_EQ(area.topLeft(), at);
                    } else {
                        EXPECT_EQ(area.top(), at.y());
                        EXPECT_LE(std::abs(area.left() + area.width() / 2 - at.x()), 1);
                    }
                    const auto bars = surface.ofKind(SurfaceCall::FillRect);
                    ASSERT_EQ(bars.size(), r.symbol->bars.size());
                    for (const SurfaceCall& c : bars) {
                        EXPECT_EQ((c.rect.left() - area.left()) % dots, 0) << c.rect.left();
                        EXPECT_EQ(c.rect.width() % dots, 0) << c.rect.width();
                        EXPECT_GT(c.rect.width(), 0);
                        EXPECT_GE(c.rect.left(), area.left() + sym.quiet * dots);
                        EXPECT_LE(c.rect.left() + c.rect.width(),
                                  area.left() + area.width() - sym.after * dots);
                        EXPECT_GE(c.rect.top(), area.top());
                        EXPECT_LE(c.rect.top() + c.rect.height(), area.top() + area.height());
                        if (sym.kind == BarcodeKind::Qr || sym.kind == BarcodeKind::DataMatrix) {
                            EXPECT_EQ((c.rect.top() - area.top()) % moduleDots(x, dpi), 0);
                            EXPECT_EQ(c.rect.height() % moduleDots(x, dpi), 0);
                        }
                    }
                }
            }
        }
    }
}

// Linear bars are as tall as asked, rounded once; the digits hang under the shortest bars in
// the slot's font, centred on zint's text positions.
TEST(Barcode, BarHeightAndDigitsInTheSlotFont) {
    const BarcodeOptions o = optionsOf(BarcodeKind::Ean13, 33, 200);
    const BarcodeResult r = encodeBarcode(o, QStringLiteral("859123456789"));
    ASSERT_TRUE(r.ok());
    RecordingSurface surface(600);
    settings::FontDescription font;
    font.face = QStringLiteral("DejaVu Sans");
    font.height = -13;
    drawBarcode(surface, *r.symbol, o, QPoint(100, 200), TextAnchor::TopLeft, font, Qt::blue);
    const int barDots = std::lround(20.0 * 600 / 25.4);
    int shortest = INT_MAX;
    for (const SurfaceCall& c : surface.ofKind(SurfaceCall::FillRect)) {
        EXPECT_EQ(c.colour, QColor(Qt::blue));
        EXPECT_EQ(c.rect.top(), 200);
        shortest = std::min(shortest, c.rect.height());
    }
    EXPECT_EQ(shortest, barDots);
    const auto fonts = surface.ofKind(SurfaceCall::SelectFont);
    ASSERT_EQ(fonts.size(), 1u);
    EXPECT_EQ(fonts[0].text, QStringLiteral("DejaVu Sans"));
    const auto texts = surface.ofKind(SurfaceCall::DrawText);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text + texts[1].text + texts[2].text, QStringLiteral("8591234567893"));
    const int dots = moduleDots(33, 600);
    for (const SurfaceCall& t : texts) {
        EXPECT_EQ(t.at.y(), 200 + barDots);
        EXPECT_EQ(t.anchor, TextAnchor::TopCentre);
    }
    // The first digit stands in the left quiet zone, the two groups over their halves.
    EXPECT_LT(texts[0].at.x(), 100 + 11 * dots);
    EXPECT_EQ(texts[1].at.x(), 100 + 35 * dots);
    EXPECT_EQ(texts[2].at.x(), 100 + 82 * dots);
}

QString decode(const QImage& image, const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("symbol.png"));
    EXPECT_TRUE(image.save(path));
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--quiet"), QStringLiteral("--raw"),
                                           QStringLiteral("-Sbinary"), path});
    EXPECT_TRUE(zbar.waitForFinished(30000));
    return QString::fromUtf8(zbar.readAllStandardOutput()).trimmed();
}

TEST(Barcode, ZbarimgReadsWhatIsDrawnAt300And600Dpi) {
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty())
        << "zbarimg (Debian package zbar-tools) is needed";
    struct Case {
        BarcodeKind kind;
        QString data, decoded;
    };
    const std::vector<Case> cases = {{BarcodeKind::Ean13, "859123456789", "8591234567893"},
                                     {BarcodeKind::Ean13, "4006381333931", "4006381333931"},
                                     {BarcodeKind::Code128, "Regal 7/B-0042", "Regal 7/B-0042"},
                                     {BarcodeKind::Qr, "https://example.cz/zbozi?ean=8591234567893",
                                      "https://example.cz/zbozi?ean=8591234567893"},
                                     {BarcodeKind::Qr, "Čárový kód 859", "Čárový kód 859"}};
    QTemporaryDir dir;
    settings::FontDescription font;
    font.face = QStringLiteral("DejaVu Sans");
    font.height = -11;
    for (int dpi : {300, 600}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.data.toStdString() + " @ " + std::to_string(dpi));
            const BarcodeOptions o = optionsOf(c.kind);
            const BarcodeResult r = encodeBarcode(o, c.data);
            ASSERT_TRUE(r.ok()) << r.reason.toStdString();
            // A label-sized piece of white paper with the symbol somewhere inside.
            const int side = dpi * 2;
            QImage paper(side * 2, side, QImage::Format_RGB32);
            paper.fill(Qt::white);
            {
                ImageSurface surface(paper, dpi);
                drawBarcode(surface, *r.symbol, o, QPoint(side, dpi / 10), TextAnchor::TopCentre,
                            font, Qt::black);
            }
            EXPECT_EQ(decode(paper, dir), c.decoded);
        }
    }
}

// The bars reach the preview and prepared pages as filled rectangles in the EMF recording: the
// player paints them on the module grid and another EMF reader finds each one.
TEST(Barcode, EmfRecordingCarriesEveryBar) {
    const BarcodeOptions o = optionsOf(BarcodeKind::Ean13, 53); // 2 dots at 96 dpi
    const BarcodeResult r = encodeBarcode(o, QStringLiteral("859123456789"));
    ASSERT_TRUE(r.ok());
    PreviewDocument document;
    PreviewSurface surface(document);
    ASSERT_EQ(surface.dpiX(), 96);
    surface.beginDocument();
    surface.beginPage();
    const QRect area = drawBarcode(surface, *r.symbol, o, QPoint(150, 100), TextAnchor::TopLeft,
                                   testpages::testFont(8), Qt::black);
    surface.endDocument();
    const QByteArray page = document.pageDrawing(1).value();

    // The row halfway down the bars, as the player paints it, against the bars as drawn.
    const QImage image = testpages::play(page);
    const int row = area.top() + 20;
    std::vector<bool> expected(area.width(), false);
    for (const QRectF& bar : r.symbol->bars) {
        for (int i = int(bar.left()) * 2; i < int(bar.right()) * 2; ++i) {
            expected[i] = true;
        }
    }
    for (int i = 0; i < area.width(); ++i) {
        EXPECT_EQ(qGray(image.pixel(area.left() + i, row)) < 128, expected[i]) << "column " << i;
    }

    const QString converter = QStandardPaths::findExecutable(QStringLiteral("emf2svg-conv"));
    ASSERT_FALSE(converter.isEmpty()) << "emf2svg-conv (Debian package emf2svg) is needed";
    QTemporaryDir dir;
    const QString emfPath = dir.filePath(QStringLiteral("page.emf"));
    const QString svgPath = dir.filePath(QStringLiteral("page.svg"));
    QFile emf(emfPath);
    ASSERT_TRUE(emf.open(QIODevice::WriteOnly));
    emf.write(page);
    emf.close();
    QProcess conv;
    conv.start(converter, {QStringLiteral("-i"), emfPath, QStringLiteral("-o"), svgPath});
    ASSERT_TRUE(conv.waitForFinished(30000));
    ASSERT_EQ(conv.exitCode(), 0) << conv.readAllStandardError().toStdString();
    QFile svg(svgPath);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    std::vector<double> lefts;
    QXmlStreamReader reader(&svg);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement &&
            reader.name() == QLatin1String("rect")) {
            lefts.push_back(reader.attributes().value("x").toDouble());
        }
    }
    ASSERT_FALSE(reader.hasError());
    ASSERT_EQ(lefts.size(), r.symbol->bars.size());
    for (std::size_t i = 0; i < lefts.size(); ++i) {
        EXPECT_DOUBLE_EQ(lefts[i], area.left() + r.symbol->bars[i].left() * 2);
    }
}

} // namespace
} // namespace labelprint
