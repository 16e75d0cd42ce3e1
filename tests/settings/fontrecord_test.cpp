#include "settings/fontrecord.h"

#include <gtest/gtest.h>

using settings::decodeFontRecord;
using settings::encodeFontRecord;
using settings::FontDescription;

TEST(FontRecord, EncodesEveryFieldAtItsOffset) {
    FontDescription font;
    font.face = "Arial CE Ž";
    font.height = -13;
    font.style = settings::Bold | settings::Underline;
    font.colour = 0x0000FF;

    QByteArray expected(268, '\0');
    expected[0] = 5;
    expected.replace(4, 4, QByteArray("\xf3\xff\xff\xff", 4));
    expected[8] = 10;
    expected.replace(9, 10, QByteArray("Arial CE \x8e"));
    expected.replace(264, 4, QByteArray("\xff\x00\x00\x00", 4));
    EXPECT_EQ(encodeFontRecord(font), expected);
}

TEST(FontRecord, DecodesOntoTheSlotFont) {
    QByteArray record(268, '\x55'); // reserved and unused name bytes carry no meaning
    record[0] = char(0xF2);         // high style bits have no effect
    record.replace(4, 4, QByteArray("\x10\x00\x00\x00", 4));
    record[8] = 40;
    record.replace(9, 40, QByteArray(40, 'N'));
    record.replace(264, 4, QByteArray("\x08\x00\x00\xff", 4));

    FontDescription font;
    decodeFontRecord(record, font);
    EXPECT_EQ(font.style, settings::Italic);
    EXPECT_EQ(font.height, 16);
    EXPECT_EQ(font.face, QString(31, 'N'));
    EXPECT_EQ(font.colour, -16777208);

    // Name length 0 keeps the face; the rest still changes.
    record[8] = 0;
    record[0] = settings::StrikeOut;
    font.face = "Kept";
    decodeFontRecord(record, font);
    EXPECT_EQ(font.face, "Kept");
    EXPECT_EQ(font.style, settings::StrikeOut);
    EXPECT_EQ(font.height, 16);
}

TEST(FontRecord, RoundTrip) {
    for (const FontDescription& font :
         {FontDescription{}, FontDescription{"Příliš žluťoučký kůň", 20, 15, 16777215},
          FontDescription{"X", 0, 0, -1}}) {
        FontDescription back;
        back.face = "other";
        decodeFontRecord(encodeFontRecord(font), back);
        EXPECT_EQ(back, font) << font.face.toStdString();
    }
}
