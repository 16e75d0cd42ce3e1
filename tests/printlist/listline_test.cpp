#include "printlist/listline.h"

#include <gtest/gtest.h>

using printlist::countOccurrences;
using printlist::LineValues;
using printlist::parsestring;

TEST(ListLine, CountOccurrencesCountsEveryOccurrence) {
    EXPECT_EQ(countOccurrences("", ';'), 0);
    EXPECT_EQ(countOccurrences("abc", ';'), 0);
    EXPECT_EQ(countOccurrences(";;a;", ';'), 3);
    EXPECT_EQ(countOccurrences("a;b;c;d;e;f;g", ';'), 6);
}

TEST(ListLine, ParsestringSplitsTrimsLineEndsAndCutsValues) {
    const QString long300(300, 'x');
    struct Case {
        QString line;
        LineValues values;
    } cases[] = {
        {"a;b", {"a", "b"}},
        {"abc", {""}}, // no separator: the line's text is not kept
        {"", {""}},
        {";", {"", ""}},
        {";x;;", {"", "x", "", ""}},
        // Only the line's ends lose blanks and controls; inner blanks stay for the caller.
        {" \t a ; b \x01", {"a ", " b"}},
        {"a;" + long300, {"a", QString(255, 'x')}},
        // The cut comes before any trimming of an inner value.
        {"a;   " + QString(255, 'y') + ";b", {"a", "   " + QString(252, 'y'), "b"}},
        {"Žluťoučký;kůň", {"Žluťoučký", "kůň"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parsestring(';', c.line), c.values) << c.line.left(40).toStdString();
    }
}

TEST(ListLine, TrimControlRemovesCodesUpTo32Only) {
    EXPECT_EQ(printlist::trimControl(QString("\x1f\x20\x01") + "abc" + "\r\n\x20"), "abc");
    // A no-break space (160) is not a blank here.
    EXPECT_EQ(printlist::trimControl(QString(QChar(160)) + "a "), QString(QChar(160)) + "a");
    EXPECT_EQ(printlist::trimControl("   "), "");
}
