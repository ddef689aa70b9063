#include "simulator/simsettings.h"

#include <gtest/gtest.h>

using namespace kn4;

TEST(SimSettingsFile, RoundTrip)
{
    SimSettings s;
    s.referencePath = "archivi/DEMO/DAVANTI.KN4";
    s.referenceStitches = 123456;
    s.referenceWeight = 300;
    const auto read = SimSettingsFile::fromText(SimSettingsFile::toText(s));
    ASSERT_EQ(read.status, SimSettingsFile::Status::Loaded);
    EXPECT_EQ(SimSettingsFile::toText(read.settings), SimSettingsFile::toText(s));
}
