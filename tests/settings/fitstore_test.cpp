// The fit rules in dravelin.ini and in the snapshot trailer: written only once used, read back
// equal, missing means off, and a damaged trailer block refuses the snapshot.
#include "platform/profile.h"
#include "settings/fitstore.h"
#include "settings/settingsfile.h"
#include "settings/snapshot.h"
#include "support/tempprogramdir.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace {

using settings::FitRule;
using Mode = settings::FitRule::Mode;

settings::FitRules someRules() {
    settings::FitRules r;
    r[settings::Nazev] = {Mode::Wrap, 55, 3};
    r[settings::Cena] = {Mode::Shrink, 80, 2};
    return r;
}

TEST(FitStore, IniSectionOnlyOnceUsedAndReadBack) {
    TempProgramDir dir;
    const QByteArray before = "[setup]\r\nvlevo=12\r\n[columns]\r\njedna=80\r\n";
    dir.write("dravelin.ini", before);
    {
        platform::Profile p(dir.file("dravelin.ini"));
        settings::writeFitRules(p, settings::FitRules{});
        p.save();
    }
    EXPECT_EQ(dir.read("dravelin.ini"), before);
    EXPECT_EQ(settings::readFitRules(platform::Profile(dir.file("dravelin.ini"))),
              settings::FitRules{});

    {
        platform::Profile p(dir.file("dravelin.ini"));
        settings::writeFitRules(p, someRules());
        p.save();
    }
    EXPECT_TRUE(dir.read("dravelin.ini").contains("nazev=zalomit;55;3"));
    EXPECT_EQ(settings::readFitRules(platform::Profile(dir.file("dravelin.ini"))), someRules());
    // Once there, the section follows the rules back to off rather than keep old ones.
    {
        platform::Profile p(dir.file("dravelin.ini"));
        settings::writeFitRules(p, settings::FitRules{});
        p.save();
    }
    EXPECT_EQ(settings::readFitRules(platform::Profile(dir.file("dravelin.ini"))),
              settings::FitRules{});
}

TEST(FitStore, HandWrittenValues) {
    TempProgramDir dir;
    dir.write("dravelin.ini", "[PRIZPUSOBENI]\nkods=ZMENSIT\nkod=zalomit;x;4\nnazev=oriznout;50;2\n"
                              "cena=zmensit;0;2\ntext1=zalomit;70;0\n");
    const auto r = settings::readFitRules(platform::Profile(dir.file("dravelin.ini")));
    EXPECT_EQ(r[settings::Kods], (FitRule{Mode::Shrink, 60, 2})); // defaults for what is missing
    EXPECT_EQ(r[settings::Kod], (FitRule{Mode::Wrap, 60, 4}));    // a minimum that is no number
    EXPECT_EQ(r[settings::Nazev], FitRule{});                     // no such rule: off
    EXPECT_EQ(r[settings::Cena], (FitRule{Mode::Shrink, 60, 2})); // a minimum of 0 pt
    EXPECT_EQ(r[settings::Text1], (FitRule{Mode::Wrap, 70, 2}));  // 0 lines
    EXPECT_EQ(r[settings::Text2], FitRule{});
}

class FitSnapshot : public ::testing::Test {
  protected:
    TempProgramDir dir;
};

TEST_F(FitSnapshot, TrailerOnlyWhenARuleIsOnAndBesideTheSheet) {
    settings::LayoutSettings s;
    const QString file = dir.file("a.nas");
    settings::saveSnapshotFile(s, file);
    EXPECT_EQ(dir.read("a.nas").size(), settings::kSnapshotSize);

    settings::putFitRules(s, someRules());
    settings::saveSnapshotFile(s, file);
    EXPECT_GT(dir.read("a.nas").size(), settings::kSnapshotSize);
    EXPECT_EQ(settings::loadSnapshotFile(file, settings::LayoutSettings{}), s);

    // With a sheet on too, both blocks come back.
    s.sheet.on = true;
    s.sheet.columns = 3;
    s.sheet.rows = 7;
    s.sheet.width = s.sheet.pitchX = 700;
    s.sheet.height = s.sheet.pitchY = 380;
    settings::saveSnapshotFile(s, file);
    EXPECT_EQ(settings::loadSnapshotFile(file, settings::LayoutSettings{}), s);
}

TEST_F(FitSnapshot, OldSnapshotTurnsEveryRuleOff) {
    dir.write("old.nas", settings::encodeSnapshot(settings::LayoutSettings{}));
    settings::LayoutSettings current;
    settings::putFitRules(current, someRules());
    const auto loaded = settings::loadSnapshotFile(dir.file("old.nas"), current);
    EXPECT_EQ(settings::fitRulesOf(loaded), settings::FitRules{});
}

TEST_F(FitSnapshot, DamagedBlockRefusesTheSnapshot) {
    const QByteArray good = settings::encodeFitTrailer(someRules());
    auto withInt = [&](int at, std::uint32_t v) {
        QByteArray b = good;
        qToLittleEndian<std::uint32_t>(v, b.data() + at);
        return b;
    };
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"cut short in its fields", good.left(good.size() - 1)},
        {"cut short in its length", good.left(10)},
        {"a mode no writer gives", withInt(12, 3)},
        {"a minimum of 0", withInt(16, 0)},
        {"no lines", withInt(20, 0)},
        {"a length of 2^31-1", withInt(8, 0x7FFFFFFFu)},
        {"a negative length", withInt(8, 0x80000000u)},
    };
    const QByteArray record = settings::encodeSnapshot(settings::LayoutSettings{});
    for (const auto& c : cases) {
        dir.write("c.nas", record + c.bytes);
        try {
            settings::loadSnapshotFile(dir.file("c.nas"), settings::LayoutSettings{});
            ADD_FAILURE() << c.what << ": loaded";
        } catch (const settings::SnapshotError& e) {
            EXPECT_EQ(e.fault(), settings::SnapshotError::Fault::DamagedTrailer) << c.what;
        }
    }
}

} // namespace
