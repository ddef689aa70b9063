#include "kn4/labelfile.h"

#include <gtest/gtest.h>

using kn4::LabelFile;

TEST(LabelFileTest, LinesAreNumberedFromZeroAndKeepTheirBytes)
{
    const LabelFile file = LabelFile::fromText("Inserisci riga\r\n\r\nCitt\xE0  \r\nultima", 201);
    ASSERT_TRUE(file.loaded());
    ASSERT_EQ(file.lineCount(), 4u);
    EXPECT_EQ(file.text(0), "Inserisci riga");
    EXPECT_EQ(file.text(1), "");
    EXPECT_EQ(file.text(2), "Citt\xE0  ");
    EXPECT_EQ(file.text(3), "ultima");
    EXPECT_EQ(file.text(200), "");
}

TEST(LabelFileTest, LimitIsHeldAtAndPastTheEdge)
{
    std::string text;
    for (int i = 0; i < 3; ++i)
        text += "riga\r\n";
    EXPECT_EQ(LabelFile::fromText(text, 3).status(), LabelFile::Status::Loaded);
    const LabelFile tooLong = LabelFile::fromText(text + "in piu\r\n", 3);
    EXPECT_EQ(tooLong.status(), LabelFile::Status::TooManyLines);
    EXPECT_EQ(tooLong.lineCount(), 3u);
    EXPECT_EQ(LabelFile::fromText("", 3).lineCount(), 0u);
    EXPECT_EQ(LabelFile::load("/nonexistent/kn4edit.ini", 201).status(),
              LabelFile::Status::Missing);
}
