#include "kn4/number.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct IntegerCase
{
    const char *text;
    std::int32_t value;
    bool hasNumber;
};

TEST(LeadingInteger, ReadsTheLeadingNumberLeniently)
{
    const IntegerCase cases[] = {
        {" 1", 1, true},        {"-4", -4, true},     {"2S", 2, true},      {"", 0, false},
        {"   ", 0, false},      {"abc", 0, false},    {"+7x", 7, true},     {"-", 0, false},
        {"  -12D", -12, true},  {"007", 7, true},     {"3.9", 3, true},     {"- 3", 0, false},
        {"\t5", 0, false},      {"1999", 1999, true},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(kn4::leadingInteger(c.text), c.value) << '"' << c.text << '"';
        EXPECT_EQ(kn4::hasLeadingInteger(c.text), c.hasNumber) << '"' << c.text << '"';
    }
}

TEST(LeadingInteger, SaturatesInsteadOfWrapping)
{
    EXPECT_EQ(kn4::leadingInteger("2147483647"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(kn4::leadingInteger("2147483648"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(kn4::leadingInteger("99999999999999999999999"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(kn4::leadingInteger("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(kn4::leadingInteger("-99999999999999999999"), std::numeric_limits<std::int32_t>::min());
}

TEST(LeadingNumber, ReadsAFraction)
{
    EXPECT_DOUBLE_EQ(kn4::leadingNumber("3.5cm"), 3.5);
    EXPECT_DOUBLE_EQ(kn4::leadingNumber(" -0.25"), -0.25);
    EXPECT_DOUBLE_EQ(kn4::leadingNumber("7."), 7.0);
    EXPECT_DOUBLE_EQ(kn4::leadingNumber(".5"), 0.5);
    EXPECT_DOUBLE_EQ(kn4::leadingNumber("x"), 0.0);
}

} // namespace
