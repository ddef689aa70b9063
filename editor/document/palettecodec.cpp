#include "document/palettecodec.h"

#include "kn4/colourpalette.h"

#include <string>

namespace kn4::editor {

namespace {

ColourCodec makePaletteCodec()
{
    ColourCodec codec;
    codec.toCode = [](Colour colour, char &code) {
        std::string text;
        if (!ColourPalette::TestColore(ColourPalette::kModeColourToCode, colour, text) || text.empty())
            return false;
        code = text.front();
        return true;
    };
    codec.toColour = [](char code, Colour &colour) {
        std::string text(1, code);
        return ColourPalette::TestColore(ColourPalette::kModeCodeToColour, colour, text);
    };
    return codec;
}

} // namespace

const ColourCodec &paletteColourCodec()
{
    static const ColourCodec codec = makePaletteCodec();
    return codec;
}

} // namespace kn4::editor
