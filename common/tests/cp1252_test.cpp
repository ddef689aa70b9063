#include "kn4/cp1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1252, ConvertsTheItalianLettersAndTheEuroSign)
{
    EXPECT_EQ(kn4::cp1252ToUtf8("densit\xE0"), "densit\u00E0");
    EXPECT_EQ(kn4::cp1252ToUtf8("\x80 \x92"), "\u20AC \u2019");
    EXPECT_EQ(kn4::utf8ToCp1252("non \u00E8 un pannello"), "non \xE8 un pannello");
    EXPECT_EQ(kn4::utf8ToCp1252("\u20AC"), "\x80");
}

TEST(Cp1252, EveryByteSurvivesARoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    EXPECT_EQ(kn4::utf8ToCp1252(kn4::cp1252ToUtf8(all)), all);
}

TEST(Cp1252, UnmappableAndMalformedInputBecomesTheReplacement)
{
    EXPECT_EQ(kn4::utf8ToCp1252("\u4E2D"), "?");
    EXPECT_EQ(kn4::utf8ToCp1252("a\xC3"), "a?");            // truncated sequence
    EXPECT_EQ(kn4::utf8ToCp1252("\xFF\xFEz", '_'), "__z");  // bytes that never start UTF-8
    EXPECT_EQ(kn4::utf8ToCp1252("\xE2\x28\xA1"), "?(?");     // broken continuation
}

} // namespace
