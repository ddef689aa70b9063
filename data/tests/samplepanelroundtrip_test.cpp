// The editor reads each sample panel and writes it back byte for byte: the
// samples are exactly what the editor saves, and the editor resolves every
// command they use through the keyword file and the library.

#include "datafiles.h"

#include "document/commandlist.h"
#include "document/librarybinding.h"
#include "document/panelreader.h"
#include "document/panelwriter.h"

#include <gtest/gtest.h>

namespace kn4::testing {
namespace {

using namespace kn4::editor;

// Palette codes kept as they are: box i holds its code's character value.
ColourCodec identityCodec()
{
    ColourCodec codec;
    codec.toCode = [](Colour colour, char &code) {
        code = char(colour);
        return true;
    };
    codec.toColour = [](char code, Colour &colour) {
        colour = Colour(static_cast<unsigned char>(code));
        return true;
    };
    return codec;
}

TEST(SamplePanelRoundTrip, TheEditorWritesBackTheSameBytes)
{
    LibraryBinding library;
    ASSERT_TRUE(library.load(KN4_PROGRAM_DIR)) << library.errorMessage();
    const CommandList::LoadResult commands = CommandList::load(kDataDir / "italiano", library);
    ASSERT_TRUE(commands.list) << commands.fatalMessage;
    const ColourCodec codec = identityCodec();
    const PanelReader reader(*commands.list, library, codec, 320, false);

    int panels = 0;
    for (const auto &entry : std::filesystem::directory_iterator(kArchiveDir)) {
        if (entry.path().extension() != ".KN4")
            continue;
        ++panels;
        const std::string text = readFile(entry.path());
        PanelModel panel;
        const PanelReader::Result result = reader.read(text, panel);
        EXPECT_EQ(result.outcome, PanelReader::Outcome::Read)
            << entry.path().filename() << ": " << result.reason << result.fatalMessage;
        EXPECT_EQ(PanelWriter::sourceText(panel, codec), text) << entry.path().filename();
    }
    EXPECT_GE(panels, 4);
}

} // namespace
} // namespace kn4::testing
