// The line a program sends the archive manager to have a panel edited at a
// row, and the name of the manager's socket.
#include "kn4/editrequest.h"

#include <gtest/gtest.h>

namespace kn4 {
namespace {

TEST(EditRequest, LinesReadBackAndMalformedOnesAreRefused)
{
    const EditRequest request{"/home/t/kn4/archivi/DEMO/DAVANTI row 2.KN4", 19};
    const std::optional<EditRequest> back = EditRequest::parse(request.toLine());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->panel, request.panel);
    EXPECT_EQ(back->row, 19);
    EXPECT_EQ(EditRequest::parse("edit /a/B.KN4 row 0\r\n")->row, 0);

    for (const std::string_view bad : {"", "edit  row 3", "edit /a/B.KN4", "edit /a/B.KN4 row", "edit /a/B.KN4 row -1",
                                       "edit /a/B.KN4 row 100000", "edit /a/B.KN4 row 12x", "open /a/B.KN4 row 1",
                                       "edit /a/\nB.KN4 row 1"})
        EXPECT_FALSE(EditRequest::parse(bad)) << bad;
    EXPECT_FALSE(EditRequest::parse("edit /" + std::string(EditRequest::kMaxLine, 'a') + " row 1"));
}

TEST(EditRequest, OneServerNamePerProgramDirectory)
{
    const std::string name = EditRequest::serverName("/opt/kn4/bin");
    EXPECT_EQ(name, EditRequest::serverName("/opt/kn4/bin/"));
    EXPECT_EQ(name, EditRequest::serverName("/opt/kn4/lib/../bin"));
    EXPECT_NE(name, EditRequest::serverName("/opt/kn4/bin2"));
    EXPECT_EQ(name.find('/'), std::string::npos);
    EXPECT_LT(name.size(), 64u);  // a socket's path under /tmp stays short
}

} // namespace
} // namespace kn4
