#include "compilerarguments.h"

#include <gtest/gtest.h>

using kn4::CompilerArguments;

namespace {

struct ArgumentCase
{
    std::vector<std::string> args;
    bool help;
    bool check;
    std::string keywordDir;
    std::vector<std::string> panels;
    bool error;
};

class CompilerArgumentsTest : public testing::TestWithParam<ArgumentCase>
{
};

TEST_P(CompilerArgumentsTest, Parses)
{
    const ArgumentCase &c = GetParam();
    const CompilerArguments a = CompilerArguments::parse(c.args);
    EXPECT_EQ(a.help, c.help);
    EXPECT_EQ(!a.error.empty(), c.error) << a.error;
    if (!c.error) {
        EXPECT_EQ(a.check, c.check);
        EXPECT_EQ(a.keywordDir, c.keywordDir);
        EXPECT_EQ(a.panels, c.panels);
    }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, CompilerArgumentsTest,
    testing::Values(
        ArgumentCase{{"A.KN4"}, false, false, "", {"A.KN4"}, false},
        ArgumentCase{{"--check", "--keywords", "it", "A.KN4", "B.KN4"}, false, true, "it", {"A.KN4", "B.KN4"}, false},
        ArgumentCase{{"A.KN4", "--check"}, false, true, "", {"A.KN4"}, false},
        ArgumentCase{{"--keywords=/x/italiano", "A.KN4"}, false, false, "/x/italiano", {"A.KN4"}, false},
        // after "--" everything is a panel, and a lone "-" is a name
        ArgumentCase{{"--", "--check", "-"}, false, false, "", {"--check", "-"}, false},
        ArgumentCase{{"-"}, false, false, "", {"-"}, false},
        // --help needs no panel
        ArgumentCase{{"--help"}, true, false, "", {}, false},
        ArgumentCase{{"-h", "A.KN4"}, true, false, "", {"A.KN4"}, false},
        // usage errors
        ArgumentCase{{}, false, false, "", {}, true},
        ArgumentCase{{"--check"}, false, false, "", {}, true},
        ArgumentCase{{"--keywords"}, false, false, "", {}, true},
        ArgumentCase{{"--keywords="}, false, false, "", {}, true},
        ArgumentCase{{"A.KN4", "--keywords"}, false, false, "", {}, true},
        ArgumentCase{{"--keywords", "a", "--keywords", "b", "A.KN4"}, false, false, "", {}, true},
        ArgumentCase{{"--chek", "A.KN4"}, false, false, "", {}, true},
        ArgumentCase{{"-x", "A.KN4"}, false, false, "", {}, true}));

TEST(CompilerArguments, KeywordsTakesTheNextArgumentEvenWhenItLooksLikeAnOption)
{
    const CompilerArguments a = CompilerArguments::parse({"--keywords", "--check", "A.KN4"});
    EXPECT_TRUE(a.error.empty());
    EXPECT_EQ(a.keywordDir, "--check");
    EXPECT_FALSE(a.check);
}

} // namespace
