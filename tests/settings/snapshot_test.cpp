#include "settings/fontrecord.h"
#include "settings/snapshot.h"

#include "platform/prompts.h"
#include "support/fifoguard.h"
#include "support/tempprogramdir.h"

#include <QtEndian>
#include <csignal>
#include <gtest/gtest.h>
#include <limits>
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
        ASSERT_TRUE(settings::saveSnapshotFile(saved, dir.file("snap")));
        EXPECT_EQ(dir.read("snap").size(), 1968);

        const auto loaded = settings::loadSnapshotFile(dir.file("snap"), LayoutSettings{});
        ASSERT_TRUE(loaded.has_value());
        LayoutSettings expected = saved;
        expected.specznak = c.loaded;
        EXPECT_EQ(*loaded, expected) << c.specznak.toStdString();
    }
    EXPECT_TRUE(prompts::shownMessages().empty());
}

TEST_F(SnapshotTest, SaveReplacesLongerFileWithExactly1968Bytes) {
    dir.write("snap", QByteArray(5000, '\x7f'));
    ASSERT_TRUE(settings::saveSnapshotFile(sample(), dir.file("snap")));
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
    const bool saved = settings::saveSnapshotFile(sample(), dir.file("snap"));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    expectOneError("zápis se nezdařil");
    EXPECT_EQ(dir.read("snap"), previous);

    EXPECT_FALSE(settings::saveSnapshotFile(sample(), dir.file("no/such/folder/snap")));
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
        const auto loaded = settings::loadSnapshotFile(dir.file("snap"), LayoutSettings{});
        ASSERT_TRUE(loaded.has_value()) << c.name;
        EXPECT_EQ(*loaded, sample()) << c.name;
    }
    EXPECT_TRUE(prompts::shownMessages().empty());
}

TEST_F(SnapshotTest, FailedLoadReportsAndReturnsNothing) {
    dir.write("short", settings::encodeSnapshot(sample()).left(1967));
    for (const QString& path : {dir.file("short"), dir.file("missing"), dir.path()}) {
        EXPECT_FALSE(settings::loadSnapshotFile(path, LayoutSettings{}).has_value())
            << path.toStdString();
        expectOneError("soubor nemá správný formát nebo je poškozen");
    }
}

TEST_F(SnapshotTest, EmptyFaceNameKeepsTheFaceAndTheRestOfTheFont) {
    QByteArray record = settings::encodeSnapshot(sample());
    record[1962] = 0;             // nazev off
    record[84 + 268 * 2 + 8] = 0; // nazev font: name length 0
    dir.write("snap", record);

    LayoutSettings current;
    current.lines[settings::Nazev].font.face = "Kept Face";
    const auto loaded = settings::loadSnapshotFile(dir.file("snap"), current);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_TRUE(loaded->lines[settings::Kods].on);
    EXPECT_FALSE(loaded->lines[settings::Nazev].on);

    const settings::FontDescription& font = loaded->lines[settings::Nazev].font;
    const settings::FontDescription written = sample().lines[settings::Nazev].font;
    EXPECT_EQ(font.face, "Kept Face");
    EXPECT_EQ(font.height, written.height);
    EXPECT_EQ(font.style, written.style);
    EXPECT_EQ(font.colour, written.colour);
    EXPECT_EQ(loaded->lines[settings::Cena].font, sample().lines[settings::Cena].font);
}

TEST_F(SnapshotTest, ExtremeButValidSettingsRoundTrip) {
    LayoutSettings s = sample();
    s.vlevo = std::numeric_limits<std::int32_t>::min();
    s.nahore = std::numeric_limits<std::int32_t>::max();
    s.sloupce = 0;
    s.vyskabunky = -5;
    s.bordercolor = 0xFFFFFF;
    s.pozadi = std::int32_t(0xFF00001Eu); // the last system colour
    const std::int32_t heights[] = {-683, 683, 0, -1, 1, -11, 100};
    for (int i = 0; i < settings::SlotCount; ++i) {
        settings::SlotSettings& line = s.lines[size_t(i)];
        line.top = i % 2 ? std::numeric_limits<std::int32_t>::max() : -1000000;
        line.left = i % 2 ? std::numeric_limits<std::int32_t>::min() : 0;
        line.font.height = heights[i];
        line.font.style = 15;
        line.font.face = QString("Žluťoučký kůň %1 úpěl ďábelské ódy").arg(i).left(31);
        line.font.colour = i % 2 ? 0 : platform::kWindowTextColour;
    }
    ASSERT_EQ(s.lines[0].font.face.size(), 31);
    ASSERT_TRUE(settings::saveSnapshotFile(s, dir.file("snap")));
    const auto loaded = settings::loadSnapshotFile(dir.file("snap"), LayoutSettings{});
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(*loaded, s);
    EXPECT_TRUE(prompts::shownMessages().empty());

    // A record of zeros is what an all-zero setup saves: it loads too.
    dir.write("zeros", QByteArray(1968, '\0'));
    EXPECT_TRUE(settings::loadSnapshotFile(dir.file("zeros"), LayoutSettings{}).has_value());
}

TEST_F(SnapshotTest, ARecordNoSettingsCouldGiveIsRefusedAndChangesNothing) {
    const QByteArray good = settings::encodeSnapshot(sample());
    auto with = [&](int at, QByteArray bytes) {
        QByteArray r = good;
        r.replace(at, bytes.size(), bytes);
        return r;
    };
    auto int32 = [](std::uint32_t v) {
        QByteArray b(4, '\0');
        qToLittleEndian(v, b.data());
        return b;
    };
    const int font = 84 + 268 * 3; // the cena slot's font record
    QByteArray listFile;
    while (listFile.size() < 5000) {
        listFile += "1002;*1002*;Chl\xe9"
                    "b km\xedn\xf5v\xfd;24,90 K\xe8;;;\r\n";
    }
    struct Case {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"a list file", listFile},
        {"a switch byte of 2", with(1960, "\x02")},
        {"a switch byte of 0xff", with(1966, "\xff")},
        {"style bits above strike-out", with(font, "\x10")},
        {"face name longer than 31", with(font + 8, "\x20" + QByteArray(32, 'A'))},
        {"face name with a control character", with(font + 9, "\x01")},
        {"font height beyond the dialog's", with(font + 4, int32(684))},
        {"font height far below", with(font + 4, int32(0x80000000u))},
        {"font colour with a high byte", with(font + 264, int32(0x01000000u))},
        {"frame colour -1", with(16, int32(0xFFFFFFFFu))},
        {"background system colour 31", with(20, int32(0xFF00001Fu))},
        {"background 0x7fffffff", with(20, int32(0x7FFFFFFFu))},
    };
    for (const Case& c : cases) {
        dir.write("snap", c.bytes);
        EXPECT_FALSE(settings::loadSnapshotFile(dir.file("snap"), sample()).has_value()) << c.name;
        expectOneError("soubor nemá správný formát nebo je poškozen");
    }
}

TEST_F(SnapshotTest, AFifoOrDeviceIsRefusedAtOnce) {
    bool loaded = true;
    EXPECT_FALSE(readBlockedOnFifo(dir.file("fifo"), [&] {
        loaded = settings::loadSnapshotFile(dir.file("fifo"), LayoutSettings{}).has_value();
    }));
    EXPECT_FALSE(loaded);
    expectOneError("soubor nemá správný formát nebo je poškozen");
    EXPECT_FALSE(settings::loadSnapshotFile("/dev/zero", LayoutSettings{}).has_value());
    expectOneError("soubor nemá správný formát nebo je poškozen");
}
