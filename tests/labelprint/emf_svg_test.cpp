// An independent EMF reader agrees with the recording: emf2svg-conv turns a recorded page into
// SVG, and the texts stand where they were drawn.
#include "emf_pages.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace labelprint {
namespace {

using namespace testpages;

TEST(EmfSvg, AnotherReaderFindsTheTextsInPlace) {
    const QString converter = QStandardPaths::findExecutable(QStringLiteral("emf2svg-conv"));
    ASSERT_FALSE(converter.isEmpty()) << "emf2svg-conv (Debian package emf2svg) is needed";
    QTemporaryDir dir;
    const QString emfPath = dir.filePath(QStringLiteral("page.emf"));
    const QString svgPath = dir.filePath(QStringLiteral("page.svg"));
    QFile emf(emfPath);
    ASSERT_TRUE(emf.open(QIODevice::WriteOnly));
    emf.write(recordPage(QStringLiteral("Cena 123")));
    emf.close();
    QProcess conv;
    conv.start(converter, {QStringLiteral("-i"), emfPath, QStringLiteral("-o"), svgPath});
    ASSERT_TRUE(conv.waitForFinished(30000));
    ASSERT_EQ(conv.exitCode(), 0) << conv.readAllStandardError().toStdString();
    QFile svg(svgPath);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    struct Text {
        QString text, anchor, family;
        double x, y, size;
    };
    std::vector<Text> texts;
    std::vector<std::pair<QPointF, QString>> rects;
    QXmlStreamReader reader(&svg);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        const auto a = reader.attributes();
        if (reader.name() == QLatin1String("text")) {
            Text t{QString(),
                   a.value("text-anchor").toString(),
                   a.value("font-family").toString(),
                   a.value("x").toDouble(),
                   a.value("y").toDouble(),
                   a.value("font-size").toDouble()};
            t.text = reader.readElementText();
            texts.push_back(t);
        } else if (reader.name() == QLatin1String("rect")) {
            rects.emplace_back(QPointF(a.value("x").toDouble(), a.value("y").toDouble()),
                               a.value("fill").toString());
        }
    }
    ASSERT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    ASSERT_EQ(texts.size(), 2u);
    // x is the reference point itself; y is a baseline, somewhere inside the 16-pixel cell.
    EXPECT_EQ(texts[0].text, QStringLiteral("Cena 123"));
    EXPECT_EQ(texts[0].anchor, QStringLiteral("start"));
    EXPECT_DOUBLE_EQ(texts[0].x, kLeftText.x());
    EXPECT_GT(texts[0].y, kLeftText.y());
    EXPECT_LE(texts[0].y, kLeftText.y() + 19);
    EXPECT_EQ(texts[0].family, QStringLiteral("DejaVu Sans"));
    EXPECT_DOUBLE_EQ(texts[0].size, 16);
    EXPECT_EQ(texts[1].text, QStringLiteral("MID"));
    EXPECT_EQ(texts[1].anchor, QStringLiteral("middle"));
    EXPECT_DOUBLE_EQ(texts[1].x, kCentreText.x());
    EXPECT_GT(texts[1].y, kCentreText.y());
    EXPECT_LE(texts[1].y, kCentreText.y() + 19);
    // The background comes first, at the label's corner, then the four frame bars.
    ASSERT_EQ(rects.size(), 5u);
    EXPECT_EQ(rects[0].first, QPointF(kLabel.topLeft()));
    EXPECT_EQ(rects[0].second.toUpper(), kBackground.name().toUpper());
    EXPECT_EQ(rects[4].first, QPointF(kLabel.right(), kLabel.top()));
    EXPECT_EQ(rects[4].second.toUpper(), kFrame.name().toUpper());
}

} // namespace
} // namespace labelprint
