// A recorded page played back: what was drawn shows where it was drawn, at any scale, and a
// damaged page is refused without drawing.
#include "emf_pages.h"

#include "labelprint/emfformat.h"
#include "labelprint/emfplayer.h"
#include "labelprint/emfwriter.h"
#include "platform/error.h"

#include <QElapsedTimer>
#include <QFontMetrics>
#include <QPainter>
#include <QtEndian>
#include <gtest/gtest.h>

namespace labelprint {
namespace {

using namespace testpages;

TEST(EmfPlayer, ShowsBackgroundFrameAndTextWhereTheyWereDrawn) {
    const QByteArray page = recordPage(QStringLiteral("Cena 123"));
    const emf::EmfHeader header = emf::readEmfHeader(page);
    EXPECT_EQ(header.devicePixels, QSize(794, 1123));
    EXPECT_NEAR(header.picture.width(), 794, 0.05);
    EXPECT_NEAR(header.picture.height(), 1123, 0.05);
    EXPECT_EQ(header.bytes, quint32(page.size()));

    const QImage image = play(page);
    // Fills cover left..right-1 exactly; the frame is 1 unit wide on every side.
    EXPECT_EQ(image.pixelColor(100, 50), kFrame);
    EXPECT_EQ(image.pixelColor(299, 119), kFrame);
    EXPECT_EQ(image.pixelColor(299, 80), kFrame);
    EXPECT_EQ(image.pixelColor(101, 51), kBackground);
    EXPECT_EQ(image.pixelColor(298, 118), kBackground);
    EXPECT_EQ(image.pixelColor(300, 80), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(200, 120), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(99, 50), QColor(Qt::white));

    // The left text starts at its point and hangs below it; the centred one is centred on x.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(16);
    const QFontMetrics fm(font);
    const QRect left = colourBox(image, kTextColour, QRect(101, 51, 198, 30));
    ASSERT_FALSE(left.isEmpty());
    EXPECT_NEAR(left.left(), kLeftText.x(), 2);
    EXPECT_GE(left.top(), kLeftText.y());
    EXPECT_LE(left.bottom(), kLeftText.y() + fm.height());
    EXPECT_NEAR(left.width(), fm.boundingRect(QStringLiteral("Cena 123")).width(), 3);
    const QRect mid = colourBox(image, kCentreColour, QRect(101, 85, 198, 34));
    ASSERT_FALSE(mid.isEmpty());
    EXPECT_NEAR(mid.center().x(), kCentreText.x(), 2);
    EXPECT_GE(mid.top(), kCentreText.y());
    EXPECT_LE(mid.bottom(), kCentreText.y() + fm.height());
}

TEST(EmfPlayer, StretchesThePageIntoTheTarget) {
    const QByteArray page = recordPage(QStringLiteral("Cena 123"));
    const QImage image = play(page, 2.0);
    EXPECT_EQ(image.pixelColor(200, 100), kFrame);
    EXPECT_EQ(image.pixelColor(201, 101), kFrame);
    EXPECT_EQ(image.pixelColor(203, 103), kBackground);
    EXPECT_EQ(image.pixelColor(599, 160), kFrame);
    EXPECT_EQ(image.pixelColor(600, 160), QColor(Qt::white));
    const QRect mid = colourBox(image, kCentreColour, QRect(202, 170, 396, 68));
    ASSERT_FALSE(mid.isEmpty());
    EXPECT_NEAR(mid.center().x(), 2 * kCentreText.x(), 3);
    EXPECT_GE(mid.top(), 2 * kCentreText.y());
}

quint32 u32At(const QByteArray& b, qsizetype at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}
void setU32(QByteArray& b, qsizetype at, quint32 v) {
    qToLittleEndian(v, b.data() + at);
}

TEST(EmfPlayer, DrawsTextEvenWhenThePictureIsStretchedAbsurdly) {
    const QByteArray page = recordPage(QStringLiteral("Cena 123"));
    // Eight times wider than high: glyphs come as outlines, still where they belong.
    QImage image(794 * 8, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    emf::playEmf(page, painter, QRectF(0, 0, 794 * 8, 1123));
    painter.end();
    const QRect text = colourBox(image, kTextColour, QRect(8 * 101, 51, 8 * 198, 30));
    ASSERT_FALSE(text.isEmpty());
    EXPECT_NEAR(text.left(), 8 * kLeftText.x(), 16);
}

// Each case damages a good page; playing it must throw and draw nothing.
struct Damage {
    const char* name;
    void (*apply)(QByteArray&);
};

// Offset of the first record of `type` after the header.
qsizetype findRecord(const QByteArray& b, quint32 type) {
    qsizetype at = u32At(b, 4);
    while (at + 8 <= b.size() && u32At(b, at) != type) {
        at += u32At(b, at + 4);
    }
    return at;
}

void setLength(QByteArray& b) {
    setU32(b, 48, quint32(b.size()));
}

const Damage kDamages[] = {
    {"empty", [](QByteArray& b) { b.clear(); }},
    {"header cut short", [](QByteArray& b) { b.truncate(60); }},
    {"no signature", [](QByteArray& b) { b[41] = 'X'; }},
    {"length beyond the data", [](QByteArray& b) { setU32(b, 48, quint32(b.size()) + 4); }},
    {"cut in the middle",
     [](QByteArray& b) {
         b.truncate(b.size() / 2 / 4 * 4);
         setLength(b);
     }},
    {"no end record",
     [](QByteArray& b) {
         b.chop(20);
         setLength(b);
     }},
    {"record size past the end",
     [](QByteArray& b) { setU32(b, findRecord(b, emf::EMR_RECTANGLE) + 4, 0x7FFFFFF0); }},
    {"record size zero",
     [](QByteArray& b) { setU32(b, findRecord(b, emf::EMR_RECTANGLE) + 4, 0); }},
    {"record size not aligned",
     [](QByteArray& b) { setU32(b, findRecord(b, emf::EMR_RECTANGLE) + 4, 22); }},
    {"text longer than its record",
     [](QByteArray& b) { setU32(b, findRecord(b, emf::EMR_EXTTEXTOUTW) + 44, 100000); }},
    {"text offset past its record",
     [](QByteArray& b) { setU32(b, findRecord(b, emf::EMR_EXTTEXTOUTW) + 48, 0xFFFFFFF0); }},
    {"font record too short",
     [](QByteArray& b) {
         const qsizetype at = findRecord(b, emf::EMR_EXTCREATEFONTINDIRECTW);
         b.remove(at + 16, 320);
         setU32(b, at + 4, 16);
         setLength(b);
     }},
};

TEST(EmfPlayer, RefusesDamagedPagesWithoutDrawing) {
    const QByteArray good = recordPage(QStringLiteral("Cena 123"));
    for (const Damage& d : kDamages) {
        QByteArray page = good;
        d.apply(page);
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        EXPECT_THROW(emf::playEmf(page, painter, QRectF(0, 0, 100, 100)), platform::Error)
            << d.name;
        painter.end();
        EXPECT_EQ(colourBox(image, Qt::white, image.rect(), 0), image.rect()) << d.name;
    }
}

// Crafted pages: far more than any sheet of labels draws. Each is refused as damaged at once,
// before anything is drawn, instead of keeping the preview busy for minutes.
TEST(EmfPlayer, PagesBeyondAnySheetAreDamagedAndRefusedAtOnce) {
    const auto textsIn = [](int count, auto fontOf) {
        emf::EmfWriter w(QSize(794, 1123), 96);
        for (int i = 0; i < count; ++i) {
            w.selectFont(fontOf(i));
            w.drawText(QPoint(10 + i % 700, 10 + i % 1000), emf::Align::TopLeft, "x", {7}, 14, 0);
        }
        return w.finish();
    };
    const struct {
        const char* what;
        QByteArray page;
        const char* reason;
    } cases[] = {
        {"2,000 font faces",
         textsIn(2000,
                 [](int i) {
                     emf::LogFont f;
                     f.height = -12;
                     f.face = QStringLiteral("Face %1").arg(i);
                     return f;
                 }),
         "too many font faces"},
        {"5,000 sizes of one face",
         textsIn(5000,
                 [](int i) {
                     emf::LogFont f;
                     f.height = -(1 + i % 1000);
                     f.weight = 100 + 100 * (i / 1000);
                     f.face = QStringLiteral("DejaVu Sans");
                     return f;
                 }),
         "too many fonts"},
        {"a million and one rectangles",
         [] {
             emf::EmfWriter w(QSize(794, 1123), 96);
             for (int i = 0; i <= emf::kMaxDrawingOps; ++i) {
                 w.fillRect(QRect(i % 794, (i / 794) % 1123, 1, 1), 0x0000FF);
             }
             return w.finish();
         }(),
         "too many drawings"},
    };
    for (const auto& c : cases) {
        QImage image(200, 280, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QElapsedTimer timer;
        timer.start();
        try {
            emf::playEmf(c.page, painter, QRectF(0, 0, 200, 280));
            ADD_FAILURE() << c.what << ": drawn";
        } catch (const platform::Error& e) {
            EXPECT_TRUE(
                e.text().startsWith("The page drawing is damaged (" + QLatin1String(c.reason)))
                << c.what << ": " << e.text().toStdString();
        }
        EXPECT_LT(timer.elapsed(), 5000) << c.what;
        painter.end();
        EXPECT_EQ(colourBox(image, Qt::white, image.rect(), 0), image.rect()) << c.what;
    }
    // Within the limits a page is drawn: the sizes every slot of a shrink-to-fit page may use.
    EXPECT_NO_THROW(play(textsIn(emf::kMaxFonts, [](int i) {
        emf::LogFont f;
        f.height = -(1 + i % 512);
        f.weight = 100 + 100 * (i / 512);
        f.face = QStringLiteral("DejaVu Sans");
        return f;
    })));
}

TEST(EmfPlayer, SkipsRecordsItDoesNotKnow) {
    QByteArray page = recordPage(QStringLiteral("Cena 123"));
    // A 16-byte record of an unknown type, and a comment record, before the first fill.
    QByteArray extra(32, '\0');
    setU32(extra, 0, 0x7777);
    setU32(extra, 4, 16);
    setU32(extra, 16, 70); // EMR_COMMENT
    setU32(extra, 20, 16);
    const qsizetype at = findRecord(page, emf::EMR_CREATEBRUSHINDIRECT);
    page.insert(at, extra);
    setLength(page);
    const QImage image = play(page);
    EXPECT_EQ(image.pixelColor(100, 50), kFrame);
    EXPECT_EQ(image.pixelColor(150, 100), kBackground);
}

} // namespace
} // namespace labelprint
