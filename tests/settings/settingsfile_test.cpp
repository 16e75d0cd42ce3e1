#include "platform/profile.h"
#include "settings/settingsfile.h"
#include "support/tempprogramdir.h"

#include <gtest/gtest.h>

namespace {

settings::LayoutSettings readFrom(const TempProgramDir& dir, const QByteArray& ini) {
    dir.write("dravelin.ini", ini);
    return settings::readSetup(platform::Profile(dir.file("dravelin.ini")),
                               settings::LayoutSettings());
}

TEST(SettingsFile, MissingFileGivesTheFirstRunDefaults) {
    TempProgramDir dir;
    const platform::Profile none(dir.file("dravelin.ini"));
    const settings::LayoutSettings s = settings::readSetup(none, settings::LayoutSettings());
    EXPECT_EQ(s.vlevo, 10);
    EXPECT_EQ(s.nahore, 10);
    EXPECT_EQ(s.sloupce, 10);
    EXPECT_EQ(s.vyskabunky, 15);
    EXPECT_EQ(s.bordercolor, 0);
    EXPECT_EQ(s.pozadi, 16777215);
    EXPECT_EQ(s.specznak, "*");
    const int tops[] = {1, 7, 10, -1, 10, 10, 10};
    for (int i = 0; i < settings::SlotCount; ++i) {
        EXPECT_EQ(s.lines[size_t(i)].top, tops[i]);
        EXPECT_EQ(s.lines[size_t(i)].left, -1);
        EXPECT_EQ(s.lines[size_t(i)].on, i < 4);
        EXPECT_EQ(s.lines[size_t(i)].font.face, "MS Sans Serif");
        EXPECT_EQ(s.lines[size_t(i)].font.height, -11);
        EXPECT_EQ(s.lines[size_t(i)].font.colour, -16777208);
    }
    EXPECT_EQ(settings::readColumns(none), (std::array<int, 7>{100, 100, 100, 100, 100, 100, 100}));
}

TEST(SettingsFile, ValuesFromAHandWrittenFile) {
    TempProgramDir dir;
    const auto s = readFrom(dir, "[SETUP]\r\nvlevo=abc\r\nNahore=0x14\r\ntext1chb=2\r\n"
                                 "kodschb=yes\r\nnazevchb=0\r\nspecznak=\r\nsloupce= 3 \r\n"
                                 "kodstop=-5\r\n[columns]\r\njedna=-1\r\ndva=250\r\ntri=x\r\n");
    EXPECT_EQ(s.vlevo, 10);  // not a number: default
    EXPECT_EQ(s.nahore, 20); // hex, key case ignored
    EXPECT_TRUE(s.lines[settings::Text1].on);
    EXPECT_TRUE(s.lines[settings::Kods].on); // "yes" is no number: the default
    EXPECT_FALSE(s.lines[settings::Nazev].on);
    EXPECT_EQ(s.specznak, "");
    EXPECT_EQ(s.sloupce, 3);
    EXPECT_EQ(s.lines[settings::Kods].top, -5);
    const auto widths = settings::readColumns(platform::Profile(dir.file("dravelin.ini")));
    EXPECT_EQ(widths[0], -1);
    EXPECT_EQ(widths[1], 250);
    EXPECT_EQ(widths[2], 100);
}

TEST(SettingsFile, WritesBothSectionsInOrderAndKeepsForeignKeys) {
    TempProgramDir dir;
    dir.write("dravelin.ini", "[mine]\nfoo=bar\n[setup]\nextra=1\nVLEVO=99\n");
    platform::Profile p(dir.file("dravelin.ini"));
    settings::LayoutSettings s;
    s.specznak = "Č";
    settings::writeSetup(p, s);
    settings::writeColumns(p, {1, 2, 3, 4, 5, 6, 7});
    p.save();

    const QStringList lines =
        QString::fromLatin1(dir.read("dravelin.ini")).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines[0], "[mine]");
    EXPECT_EQ(lines[1], "foo=bar");
    EXPECT_EQ(lines[2], "[setup]");
    EXPECT_EQ(lines[3], "extra=1");
    EXPECT_EQ(lines[4], "vlevo=10");                                 // replaced where it stood
    EXPECT_TRUE(dir.read("dravelin.ini").contains("specznak=\xC8")); // Windows-1250
    // Read back equal.
    const platform::Profile again(dir.file("dravelin.ini"));
    EXPECT_EQ(settings::readSetup(again, settings::LayoutSettings()), s);
    EXPECT_EQ(settings::readColumns(again), (std::array<int, 7>{1, 2, 3, 4, 5, 6, 7}));
}

TEST(SettingsFile, NewFileHasSetupThenColumnsInTheWrittenOrder) {
    TempProgramDir dir;
    platform::Profile p(dir.file("dravelin.ini"));
    settings::writeSetup(p, settings::LayoutSettings());
    settings::writeColumns(p, {100, 100, 100, 100, 100, 100, 100});
    p.save();
    QStringList keys;
    for (const QString& line : QString::fromLatin1(dir.read("dravelin.ini")).split('\n')) {
        keys.append(line.section('=', 0, 0));
    }
    const QStringList expected = {
        "[setup]",   "vlevo",     "nahore",    "kodtop",   "kodleft",    "kodstop",     "kodsleft",
        "nazevtop",  "nazevleft", "cenatop",   "cenaleft", "text1top",   "text2top",    "text3top",
        "text1left", "text2left", "text3left", "kodschb",  "kodchb",     "nazevchb",    "cenachb",
        "text1chb",  "text2chb",  "text3chb",  "sloupce",  "vyskabunky", "bordercolor", "pozadi",
        "specznak",  "[columns]", "jedna",     "dva",      "tri",        "ctyri",       "pet",
        "sest",      "sedm",      ""};
    EXPECT_EQ(keys, expected);
}

TEST(SettingsFile, LongValuesAreReadUpTo2047Characters) {
    TempProgramDir dir;
    const auto s = readFrom(dir, "[setup]\nspecznak=" + QByteArray(3000, 'x') + "\n");
    EXPECT_EQ(s.specznak.size(), 2047);
}

} // namespace
