#include "platform/fileerror.h"
#include "platform/profile.h"
#include "settings/fontfile.h"
#include "settings/fontrecord.h"
#include "settings/settingsfile.h"
#include "settings/sheetstore.h"
#include "settings/snapshot.h"

#include "platform/prompts.h"
#include "support/extremesettings.h"
#include "support/fifoguard.h"
#include "support/filesizelimit.h"
#include "support/tempprogramdir.h"

#include <QtEndian>
#include <gtest/gtest.h>
#include <limits>
#include <optional>

using settings::LayoutSettings;
using Fault = settings::SnapshotError::Fault;

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

// The fault loading the file throws; nothing when it loads.
std::optional<Fault> loadFault(const QString& path, const LayoutSettings& current = {}) {
    try {
        settings::loadSnapshotFile(path, current);
        return std::nullopt;
    } catch (const settings::SnapshotError& e) {
        return e.fault();
    }
}

class SnapshotTest : public ::testing::Test {
  protected:
    void SetUp() override { prompts::clearHistory(); }
    // The core reports by throwing; it never shows a box itself.
    void TearDown() override { EXPECT_TRUE(prompts::shownMessages().empty()); }

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
        settings::saveSnapshotFile(saved, dir.file("snap"));
        EXPECT_EQ(dir.read("snap").size(), 1968);

        const LayoutSettings loaded =
            settings::loadSnapshotFile(dir.file("snap"), LayoutSettings{});
        LayoutSettings expected = saved;
        expected.specznak = c.loaded;
        EXPECT_EQ(loaded, expected) << c.specznak.toStdString();
    }
}

TEST_F(SnapshotTest, SaveReplacesLongerFileWithExactly1968Bytes) {
    dir.write("snap", QByteArray(5000, '\x7f'));
    settings::saveSnapshotFile(sample(), dir.file("snap"));
    EXPECT_EQ(dir.read("snap"), settings::encodeSnapshot(sample()));
}

TEST_F(SnapshotTest, FailedSaveThrowsAndKeepsPreviousFile) {
    const QByteArray previous(5000, 'p');
    dir.write("snap", previous);

    // A file-size limit below the record makes the write itself fail, even for root.
    bool failed = false;
    ASSERT_TRUE(withFileSizeLimit(1000, [&] {
        try {
            settings::saveSnapshotFile(sample(), dir.file("snap"));
        } catch (const platform::FileError&) {
            failed = true;
        }
    }));

    EXPECT_TRUE(failed);
    EXPECT_EQ(dir.read("snap"), previous);

    EXPECT_THROW(settings::saveSnapshotFile(sample(), dir.file("no/such/folder/snap")),
                 platform::FileError);
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
        EXPECT_EQ(settings::loadSnapshotFile(dir.file("snap"), LayoutSettings{}), sample())
            << c.name;
    }
}

TEST_F(SnapshotTest, FailedLoadThrowsItsFault) {
    dir.write("short", settings::encodeSnapshot(sample()).left(1967));
    EXPECT_EQ(loadFault(dir.file("short")), Fault::Short);
    EXPECT_EQ(loadFault(dir.file("missing")), Fault::Unreadable);
    EXPECT_EQ(loadFault(dir.path()), Fault::Unreadable);
}

TEST_F(SnapshotTest, EmptyFaceNameKeepsTheFaceAndTheRestOfTheFont) {
    QByteArray record = settings::encodeSnapshot(sample());
    record[1962] = 0;             // nazev off
    record[84 + 268 * 2 + 8] = 0; // nazev font: name length 0
    dir.write("snap", record);

    LayoutSettings current;
    current.lines[settings::Nazev].font.face = "Kept Face";
    const LayoutSettings loaded = settings::loadSnapshotFile(dir.file("snap"), current);
    EXPECT_TRUE(loaded.lines[settings::Kods].on);
    EXPECT_FALSE(loaded.lines[settings::Nazev].on);

    const settings::FontDescription& font = loaded.lines[settings::Nazev].font;
    const settings::FontDescription written = sample().lines[settings::Nazev].font;
    EXPECT_EQ(font.face, "Kept Face");
    EXPECT_EQ(font.height, written.height);
    EXPECT_EQ(font.style, written.style);
    EXPECT_EQ(font.colour, written.colour);
    EXPECT_EQ(loaded.lines[settings::Cena].font, sample().lines[settings::Cena].font);
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
    settings::saveSnapshotFile(s, dir.file("snap"));
    EXPECT_EQ(settings::loadSnapshotFile(dir.file("snap"), LayoutSettings{}), s);

    // A record of zeros is what an all-zero setup saves: it loads too.
    dir.write("zeros", QByteArray(1968, '\0'));
    EXPECT_EQ(loadFault(dir.file("zeros")), std::nullopt);
}

// The settings a start-up reads from the most extreme dravelin.ini and font the readers take
// are saved and loaded back unchanged, sheet trailer included.
TEST_F(SnapshotTest, AnythingTheSettingsAndFontFilesHoldRoundTrips) {
    dir.write("dravelin.ini", test::extremeIni());
    dir.write("font", test::extremeFontFile());
    const platform::Profile ini(dir.file("dravelin.ini"));
    LayoutSettings s = settings::readSetup(ini, LayoutSettings{});
    s.sheet = settings::readArch(ini, s.sheet);
    settings::SlotFonts fonts;
    fonts = settings::readFontFile(dir.file("font"), fonts);
    for (int i = 0; i < settings::SlotCount; ++i) {
        s.lines[size_t(i)].font = fonts[size_t(i)];
    }
    ASSERT_EQ(s.bordercolor, -1);
    ASSERT_EQ(s.lines[settings::Kods].font.height, -800);
    ASSERT_TRUE(s.sheet.on);

    settings::saveSnapshotFile(s, dir.file("snap"));
    EXPECT_EQ(settings::loadSnapshotFile(dir.file("snap"), sample()), s);
}

TEST_F(SnapshotTest, ARecordNoSettingsCouldGiveIsRefusedAndChangesNothing) {
    const QByteArray good = settings::encodeSnapshot(sample());
    auto with = [&](int at, QByteArray bytes) {
        QByteArray r = good;
        r.replace(at, bytes.size(), bytes);
        return r;
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
    };
    for (const Case& c : cases) {
        dir.write("snap", c.bytes);
        EXPECT_EQ(loadFault(dir.file("snap"), sample()), Fault::NotSnapshot) << c.name;
    }
}

TEST_F(SnapshotTest, AFifoOrDeviceIsRefusedAtOnce) {
    std::optional<Fault> fault;
    EXPECT_FALSE(readBlockedOnFifo(dir.file("fifo"), [&] { fault = loadFault(dir.file("fifo")); }));
    EXPECT_EQ(fault, Fault::Unreadable);
    EXPECT_EQ(loadFault("/dev/zero"), Fault::Unreadable);
}
