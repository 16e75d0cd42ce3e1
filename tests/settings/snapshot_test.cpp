#include "settings/fontrecord.h"
#include "settings/snapshot.h"

#include "platform/prompts.h"
#include "support/tempprogramdir.h"

#include <QtEndian>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using settings::LayoutSettings;

namespace {

// Every value differs from its default and from the others.
LayoutSettings sample() {
    LayoutSettings s;
    s.vlevo = 11;
    s.nahore = -12;
    s.sloupce = 3;
    s.vyskabunky = 27;
    s.bordercolor = 0x123456;
    s.pozadi = -16777201;
    s.specznak = "#";
    for (int i = 0; i < settings::SlotCount; ++i) {
        settings::SlotSettings& line = s.lines[size_t(i)];
        line.top = 100 + i;
        line.left = i % 3 == 0 ? -(i + 2) : 5 * i;
        line.on = i % 2 == 0;
        line.font.face = QString("Písmo %1 ž").arg(i);
        line.font.height = -10 - i;
        line.font.style = std::uint8_t((3 * i + 1) & 15);
        line.font.colour = 0x010203 * (i + 1);
    }
    return s;
}

std::int32_t intAt(const QByteArray& b, int at) {
    return qFromLittleEndian<std::int32_t>(b.constData() + at);
}

class SnapshotTest : public ::testing::Test {
  protected:
    void SetUp() override { prompts::clearHistory(); }
    void TearDown() override { prompts::clearHistory(); }

    void expectOneError(const QString& text) {
        ASSERT_EQ(prompts::shownMessages().size(), 1u);
        const prompts::Message& box = prompts::shownMessages()[0];
        EXPECT_EQ(box.title, "error");
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.icon, prompts::Icon::Critical);
        EXPECT_EQ(box.buttons, prompts::Buttons::Ok);
        prompts::clearHistory();
    }

    TempProgramDir dir;
};

} // namespace

TEST_F(SnapshotTest, RecordHoldsEveryFieldAtItsOffset) {
    const LayoutSettings s = sample();
    const QByteArray r = settings::encodeSnapshot(s);
    ASSERT_EQ(r.size(), 1968);
    EXPECT_EQ(intAt(r, 0), 11);
    EXPECT_EQ(intAt(r, 4), -12);
    EXPECT_EQ(intAt(r, 8), 3);
    EXPECT_EQ(r[12], '#');
    EXPECT_EQ(intAt(r, 16), 0x123456);
    EXPECT_EQ(intAt(r, 20), -16777201);
    EXPECT_EQ(intAt(r, 24), 27);
    for (int i = 0; i < settings::SlotCount; ++i) {
        const settings::SlotSettings& line = s.lines[size_t(i)];
        EXPECT_EQ(intAt(r, 28 + 4 * i), line.top) << i;
        EXPECT_EQ(intAt(r, 56 + 4 * i), line.left) << i;
        EXPECT_EQ(r.mid(84 + 268 * i, 268), settings::encodeFontRecord(line.font)) << i;
        EXPECT_EQ(r[1960 + i], line.on ? 1 : 0) << i;
    }
    EXPECT_EQ(r[1967], 0);
}

TEST_F(SnapshotTest, SaveThenLoadRestoresEverySetting) {
    struct Case {
        QString specznak, loaded;
    } cases[] = {{"#", "#"}, {"#ab", "#"}, {"Ž", "Ž"}, {"", ""}};
    for (const Case& c : cases) {
        LayoutSettings saved = sample();
        saved.specznak = c.specznak;
        ASSERT_TRUE(settings::uloznastaveni(saved, dir.file("snap")));
        EXPECT_EQ(dir.read("snap").size(), 1968);

        const auto loaded = settings::nactinastaveni(dir.file("snap"), LayoutSettings{});
        ASSERT_TRUE(loaded.has_value());
        LayoutSettings expected = saved;
        expected.specznak = c.loaded;
        EXPECT_EQ(*loaded, expected) << c.specznak.toStdString();
    }
    EXPECT_TRUE(prompts::shownMessages().empty());
}

TEST_F(SnapshotTest, SaveReplacesLongerFileWithExactly1968Bytes) {
    dir.write("snap", QByteArray(5000, '\x7f'));
    ASSERT_TRUE(settings::uloznastaveni(sample(), dir.file("snap")));
    EXPECT_EQ(dir.read("snap"), settings::encodeSnapshot(sample()));
}

TEST_F(SnapshotTest, FailedSaveReportsAndKeepsPreviousFile) {
    const QByteArray previous(5000, 'p');
    dir.write("snap", previous);

    // A file-size limit below the record makes the write itself fail, even for root.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 1000;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = settings::uloznastaveni(sample(), dir.file("snap"));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    expectOneError("zápis se nezdařil");
    EXPECT_EQ(dir.read("snap"), previous);

    EXPECT_FALSE(settings::uloznastaveni(sample(), dir.file("no/such/folder/snap")));
    expectOneError("zápis se nezdařil");
}

TEST_F(SnapshotTest, LoadTakesFirst1968BytesOfAnyLongEnoughFile) {
    const QByteArray record = settings::encodeSnapshot(sample());
    struct Case {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"1968 bytes", record},
        {"5000 bytes", record + QByteArray(5000 - 1968, '\xff')},
    };
    for (const Case& c : cases) {
        dir.write("snap", c.bytes);
        const auto loaded = settings::nactinastaveni(dir.file("snap"), LayoutSettings{});
        ASSERT_TRUE(loaded.has_value()) << c.name;
        EXPECT_EQ(*loaded, sample()) << c.name;
    }
    EXPECT_TRUE(prompts::shownMessages().empty());
}

TEST_F(SnapshotTest, FailedLoadReportsAndReturnsNothing) {
    dir.write("short", settings::encodeSnapshot(sample()).left(1967));
    for (const QString& path : {dir.file("short"), dir.file("missing"), dir.path()}) {
        EXPECT_FALSE(settings::nactinastaveni(path, LayoutSettings{}).has_value())
            << path.toStdString();
        expectOneError("soubor nemá správný formát nebo je poškozen");
    }
}

TEST_F(SnapshotTest, SwitchBytesAndEmptyFaceNames) {
    QByteArray record = settings::encodeSnapshot(sample());
    record[1960] = 2;             // kods: any non-zero byte is on
    record[1961] = char(0xff);    // kod
    record[1962] = 0;             // nazev
    record[84 + 268 * 2 + 8] = 0; // nazev font: name length 0
    dir.write("snap", record);

    LayoutSettings current;
    current.lines[settings::Nazev].font.face = "Kept Face";
    const auto loaded = settings::nactinastaveni(dir.file("snap"), current);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_TRUE(loaded->lines[settings::Kods].on);
    EXPECT_TRUE(loaded->lines[settings::Kod].on);
    EXPECT_FALSE(loaded->lines[settings::Nazev].on);

    const settings::FontDescription& font = loaded->lines[settings::Nazev].font;
    const settings::FontDescription written = sample().lines[settings::Nazev].font;
    EXPECT_EQ(font.face, "Kept Face");
    EXPECT_EQ(font.height, written.height);
    EXPECT_EQ(font.style, written.style);
    EXPECT_EQ(font.colour, written.colour);
    EXPECT_EQ(loaded->lines[settings::Cena].font, sample().lines[settings::Cena].font);
}
