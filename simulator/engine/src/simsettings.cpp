#include "simulator/simsettings.h"

#include "kn4/atomicfile.h"
#include "kn4/number.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <vector>

namespace kn4 {

void SimSettings::raiseScale()
{
    if (scale < kMinScale)
        scale = kMinScale;
    if (savedScale < kMinScale)
        savedScale = kMinScale;
}

namespace {

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

struct Token
{
    std::string text;
    bool quoted = false;
};

// Splits the file into its values: separated by commas or line ends, a
// quoted value running to its closing quote (commas inside it included).
std::vector<Token> tokensOf(std::string_view bytes)
{
    std::vector<Token> tokens;
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    auto skipBlanks = [&] { while (i < n && isBlank(bytes[i])) ++i; };
    auto skipLineEnds = [&] { while (i < n && (isLineEnd(bytes[i]) || isBlank(bytes[i]))) ++i; };
    skipLineEnds();
    while (i < n) {
        Token token;
        if (bytes[i] == '"') {
            token.quoted = true;
            const std::size_t close = bytes.find('"', i + 1);
            const std::size_t end = close == std::string_view::npos ? n : close;
            token.text = std::string(bytes.substr(i + 1, end - i - 1));
            i = close == std::string_view::npos ? n : close + 1;
            while (i < n && bytes[i] != ',' && !isLineEnd(bytes[i]))
                ++i;
        } else {
            const std::size_t start = i;
            while (i < n && bytes[i] != ',' && !isLineEnd(bytes[i]))
                ++i;
            std::size_t end = i;
            while (end > start && isBlank(bytes[end - 1]))
                --end;
            token.text = std::string(bytes.substr(start, end - start));
        }
        tokens.push_back(std::move(token));
        skipBlanks();
        if (i < n && bytes[i] == ',') {
            ++i;
            skipBlanks();
        } else {
            skipLineEnds();
        }
    }
    return tokens;
}

// A whole number of a field, rounded as a stored double is turned into an
// integer; nothing when it lies outside [low, high].
std::optional<std::int64_t> integerIn(const Token &token, std::int64_t low, std::int64_t high)
{
    const double value = std::nearbyint(leadingNumber(token.text));
    if (!(value >= double(low) && value <= double(high)))
        return std::nullopt;
    return std::int64_t(value);
}

std::string withoutQuotes(const std::string &text)
{
    std::string out;
    for (const char c : text)
        if (c != '"' && c != '\r' && c != '\n')
            out += c;
    return out;
}

} // namespace

SimSettingsFile::Result SimSettingsFile::load(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Result{Status::Missing, SimSettings()};
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return Result{Status::Missing, SimSettings()};
    return fromText(bytes);
}

SimSettingsFile::Result SimSettingsFile::fromText(std::string_view bytes)
{
    constexpr std::size_t kValues = 9 + 9 + 6;
    const std::vector<Token> tokens = tokensOf(bytes);
    Result failed{Status::Unreadable, SimSettings()};
    if (tokens.size() < kValues)
        return failed;

    SimSettings s;
    std::size_t t = 0;
    constexpr std::int64_t kMaxColour = 0xFFFFFF;
    const auto background = integerIn(tokens[t++], 0, kMaxColour);
    if (!background)
        return failed;
    s.background = Colour(*background);
    for (auto &colour : s.colours) {
        const auto value = integerIn(tokens[t++], 0, kMaxColour);
        if (!value)
            return failed;
        colour = Colour(*value);
    }
    for (auto &side : s.carrierSides) {
        const auto value = integerIn(tokens[t++], 0, 255);
        if (!value)
            return failed;
        side = std::uint8_t(*value);
    }
    const auto countStart = integerIn(tokens[t++], 0, 255);
    const auto scale = integerIn(tokens[t++], std::numeric_limits<std::int16_t>::min(),
                                 std::numeric_limits<std::int16_t>::max());
    const auto stripeMode = integerIn(tokens[t++], 0, 255);
    const Token &reference = tokens[t++];
    const auto stitches = integerIn(tokens[t++], std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max());
    const auto weight = integerIn(tokens[t++], std::numeric_limits<std::int16_t>::min(),
                                  std::numeric_limits<std::int16_t>::max());
    const Token &resolution = tokens[t++];
    if (!countStart || !scale || !stripeMode || !stitches || !weight)
        return failed;
    s.countStart = std::uint8_t(*countStart);
    s.scale = std::int16_t(*scale);
    s.savedScale = s.scale;
    s.stripeMode = std::uint8_t(*stripeMode);
    s.referencePath = reference.text;
    s.referenceStitches = std::int32_t(*stitches);
    s.referenceWeight = std::int16_t(*weight);
    s.resolution = resolution.text;
    s.savedResolution = s.resolution;
    s.raiseScale();
    return Result{Status::Loaded, s};
}

std::string SimSettingsFile::toText(const SimSettings &s)
{
    std::string text;
    auto number = [&](std::int64_t value) {
        text += std::to_string(value);
        text += "\r\n";
    };
    auto quoted = [&](const std::string &value) {
        text += '"';
        text += withoutQuotes(value);
        text += "\"\r\n";
    };
    number(s.background);
    for (const Colour colour : s.colours)
        number(colour);
    for (const std::uint8_t side : s.carrierSides)
        number(side);
    number(s.countStart);
    number(s.scale);
    number(s.stripeMode);
    quoted(s.referencePath);
    number(s.referenceStitches);
    number(s.referenceWeight);
    // The print preview's resolution "3" is never stored: the file keeps the
    // resolution the preview returns to.
    quoted(s.resolution == "3" ? s.savedResolution : s.resolution);
    return text;
}

bool SimSettingsFile::save(const std::filesystem::path &path, const SimSettings &settings,
                           std::string *error)
{
    return writeFileAtomically(path, toText(settings), error);
}

} // namespace kn4
