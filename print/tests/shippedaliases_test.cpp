// The aliases of the three shipped keyword files, laid over rows whose
// parameter columns (as the library places them) are full: every alias
// shows whole and no parameter or comma is covered.

#include "aliastable.h"
#include "listingbuilder.h"

#include "kn4/labelfile.h"
#include "kn4/libraryclient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace {

namespace fs = std::filesystem;

TEST(ShippedAliases, NoAliasCoversAParameterColumn)
{
    kn4::LibraryClient library;
    ASSERT_TRUE(library.load(KN4_PROGRAM_DIR)) << library.errorMessage();
    const kn4::LabelFile labels;
    int checked = 0;
    for (const char *folder : {"italiano", "inglese", "spagnolo"}) {
        const auto aliases = kn4::AliasTable::load(fs::path(KN4_SOURCE_DIR) / "data" / folder / "VUZUDO.KEY");
        ASSERT_TRUE(aliases) << folder;
        const kn4::ListingBuilder builder(*aliases, labels, 1);
        for (const kn4::AliasTable::Entry &entry : aliases->entries()) {
            const auto command = library.CercaFunzione(entry.keyword);
            if (entry.alias.empty() || command.index < 0)
                continue;
            // The command word in lower case, every parameter column filled,
            // the comma, the interval and the repetition.
            std::string row = entry.keyword;
            std::transform(row.begin(), row.end(), row.begin(), [](unsigned char c) { return char(std::tolower(c)); });
            row.resize(15, ' ');
            row += ",  4  , 3";
            std::size_t firstParameter = 15;
            const auto at = library.GetPosizioneParametri(command.index);
            for (const auto &[first, last] : {std::pair{at.p1First, at.p1Last}, std::pair{at.p2First, at.p2Last}}) {
                for (std::int32_t c = first; c >= 0 && c <= last && c < 15; ++c)
                    row[std::size_t(c)] = '9';
                if (first >= 0)
                    firstParameter = std::min(firstParameter, std::size_t(first));
            }
            const std::string shown = builder.withAlias(row);
            EXPECT_EQ(shown.substr(firstParameter), row.substr(firstParameter)) << folder << " " << entry.keyword;
            EXPECT_EQ(shown.substr(0, entry.alias.size()), entry.alias) << folder << " " << entry.keyword << ": cut";
            ++checked;
        }
    }
    EXPECT_GT(checked, 60);
}

} // namespace
