#include "ui/spinfield.h"

#include <QLineEdit>
#include <QLocale>
#include <QPalette>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(SpinField, UnboundedFieldReadsAndPutsAnyNumber) {
    SpinField f;
    const std::pair<const char*, int> reads[] = {{"abc", 0}, {"", 0},      {"-", 0},   {"1,5", 0},
                                                 {"12 ", 0}, {"250", 250}, {"-3", -3}, {"$1F", 31}};
    for (const auto& [text, value] : reads) {
        f.setText(QString::fromLatin1(text));
        EXPECT_EQ(f.value(), value) << text;
    }
    f.setValue(5000);
    EXPECT_EQ(f.text(), "5000");
    f.setValue(-7);
    EXPECT_EQ(f.text(), "-7");
}

TEST(SpinField, BoundedFieldLimitsPutValuesAndReadsNonNumbersAsItsLowerBound) {
    SpinField f;
    f.setBounds(1, 999);
    f.setValue(1500);
    EXPECT_EQ(f.text(), "999");
    f.setValue(0);
    EXPECT_EQ(f.text(), "1");
    f.setText("abc");
    EXPECT_EQ(f.value(), 1);
    f.setText("1500"); // typed text is not limited until the focus leaves
    EXPECT_EQ(f.value(), 1500);
}

TEST(SpinField, KeysStepTypingIsFilteredAndFocusLossClamps) {
    QWidget window;
    SpinField f(&window);
    f.setBounds(1, 999);
    window.show();
    f.setFocus();
    f.setText("998");
    QTest::keyClick(f.editor(), Qt::Key_Up);
    QTest::keyClick(f.editor(), Qt::Key_Up);
    EXPECT_EQ(f.text(), "999");
    f.setText("");
    QTest::keyClicks(f.editor(), "1a5x0");
    EXPECT_EQ(f.text(), "150");
    QTest::keyClicks(f.editor(), "0");
    EXPECT_EQ(f.text(), "1500");
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(f.editor(), &out);
    EXPECT_EQ(f.text(), "999");
    f.setText("abc");
    QCoreApplication::sendEvent(f.editor(), &out);
    EXPECT_EQ(f.text(), "abc");
    f.setText("0");
    QCoreApplication::sendEvent(f.editor(), &out);
    EXPECT_EQ(f.text(), "1");

    SpinField unbounded(&window);
    unbounded.setText("-1");
    unbounded.stepBy(-1);
    EXPECT_EQ(unbounded.text(), "-2");
    unbounded.setText("5000");
    QCoreApplication::sendEvent(unbounded.editor(), &out);
    EXPECT_EQ(unbounded.text(), "5000");
}

TEST(SpinField, ADroppedCharacterFlashesTheFieldRedForHalfASecond) {
    const QLocale previous;
    QLocale::setDefault(QLocale::c()); // the decimal separator is "."
    QWidget window;
    SpinField f(&window);
    window.show();
    f.setFocus();
    f.setText("");
    const QColor normal = f.editor()->palette().color(QPalette::Base);

    QTest::keyClicks(f.editor(), "29");
    EXPECT_FALSE(f.flashing());
    QTest::keyClicks(f.editor(), ",7");
    // The key rule stays: the comma is not taken, but the field says so.
    EXPECT_EQ(f.text(), "297");
    EXPECT_TRUE(f.flashing());
    EXPECT_EQ(f.editor()->palette().color(QPalette::Base), QColor(Qt::red));
    QTest::qWait(300);
    EXPECT_TRUE(f.flashing());
    QTest::qWait(400);
    EXPECT_FALSE(f.flashing());
    EXPECT_EQ(f.editor()->palette().color(QPalette::Base), normal);

    QTest::keyClicks(f.editor(), "-.5"); // all allowed: no flash
    EXPECT_EQ(f.text(), "297-.5");
    EXPECT_FALSE(f.flashing());
    QLocale::setDefault(previous);
}

} // namespace
