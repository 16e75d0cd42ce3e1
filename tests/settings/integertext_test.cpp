#include "settings/integertext.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* text;
    bool isNumber;
    std::int32_t value;
};

class IntegerText : public ::testing::TestWithParam<Case> {};

TEST_P(IntegerText, ReadsLikeTheSpinFieldsAndTheIniFile) {
    const Case c = GetParam();
    const auto v = settings::parseInteger(QString::fromUtf8(c.text));
    ASSERT_EQ(v.has_value(), c.isNumber) << c.text;
    if (c.isNumber) {
        EXPECT_EQ(*v, c.value) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IntegerText,
    ::testing::Values(
        Case{"7", true, 7}, Case{"+7", true, 7}, Case{"  7", true, 7}, Case{"007", true, 7},
        Case{"-3", true, -3}, Case{"0x1F", true, 31}, Case{"0X1f", true, 31}, Case{"x1f", true, 31},
        Case{"X1F", true, 31}, Case{"$1F", true, 31}, Case{"$FFFFFFFF", true, -1},
        Case{"-$FFFFFFFF", true, 1}, Case{"0x80000000", true, INT32_MIN},
        Case{"2147483647", true, 2147483647}, Case{"-2147483648", true, INT32_MIN},
        Case{"2147483648", false, 0}, Case{"-2147483649", false, 0}, Case{"$100000000", false, 0},
        Case{"", false, 0}, Case{"   ", false, 0}, Case{"-", false, 0}, Case{"+", false, 0},
        Case{"$", false, 0}, Case{"0x", false, 0}, Case{"abc", false, 0}, Case{"1,5", false, 0},
        Case{"12 ", false, 0}, Case{"1.5", false, 0}, Case{"0x1G", false, 0}, Case{"- 5", false, 0},
        Case{"\t5", false, 0}, Case{"99999999999999999999", false, 0}));

} // namespace
