#include "simulator/simsettings.h"

#include "kn4/atomicfile.h"
#include "kn4/filereader.h"
#include "kn4/number.h"

#include <cmath>
#include <limits>
#include <optional>
#include <type_traits>
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
    const FileContent content = FileReader::read(path, FileReader::kTextFileLimit);
    if (!content) {
        Result result{content.missing() ? Status::Missing : Status::Unreadable, SimSettings(), {}, {}};
        result.reason = content.message(path);
        return result;
    }
    Result result = fromText(content.bytes);
    if (result.status == Status::Unreadable)
        result.reason = path.string() + ": " + result.reason;
    return result;
}

SimSettingsFile::Result SimSettingsFile::fromText(std::string_view bytes)
{
    const std::vector<Token> tokens = tokensOf(bytes);
    Result result{Status::Loaded, SimSettings(), {}, {}};
    SimSettings &s = result.settings;
    std::size_t t = 0;
    int used = 0;
    // Each value is read on its own: one that is missing or out of its
    // field's range keeps its default and is named, the others stand.
    // A file cut short: its first missing value is named once.
    const auto missing = [&](std::size_t at, const std::string &name) {
        if (at == tokens.size())
            result.ignored.push_back("valori mancanti da " + name + " in poi");
        return at >= tokens.size();
    };
    const auto take = [&](const std::string &name, std::int64_t low, std::int64_t high, auto &field) {
        const std::size_t at = t++;
        if (missing(at, name))
            return;
        const auto value = integerIn(tokens[at], low, high);
        if (!value) {
            result.ignored.push_back(name + " = " + withoutQuotes(tokens[at].text));
            return;
        }
        field = static_cast<std::remove_reference_t<decltype(field)>>(*value);
        ++used;
    };
    const auto takeText = [&](const std::string &name, std::string &field) {
        const std::size_t at = t++;
        if (!missing(at, name))
            field = tokens[at].text;
    };
    constexpr std::int64_t kMaxColour = 0xFFFFFF;
    take("colore di fondo", 0, kMaxColour, s.background);
    for (int i = 0; i < SimSettings::kCarriers; ++i)
        take("colore " + std::to_string(i + 1), 0, kMaxColour, s.colours[std::size_t(i)]);
    for (int i = 0; i < SimSettings::kCarriers; ++i)
        take("guidafilo " + std::to_string(i + 1), 0, 255, s.carrierSides[std::size_t(i)]);
    take("inizio conteggio", 0, 255, s.countStart);
    take("scala", std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max(), s.scale);
    take("modo rigato", 0, 255, s.stripeMode);
    takeText("pannello di riferimento", s.referencePath);
    take("punti di riferimento", std::numeric_limits<std::int32_t>::min(),
         std::numeric_limits<std::int32_t>::max(), s.referenceStitches);
    take("peso di riferimento", std::numeric_limits<std::int16_t>::min(),
         std::numeric_limits<std::int16_t>::max(), s.referenceWeight);
    takeText("risoluzione", s.resolution);
    s.savedScale = s.scale;
    s.savedResolution = s.resolution;
    s.raiseScale();
    if (used == 0) {
        Result none{Status::Unreadable, SimSettings(), {}, "nessun valore valido"};
        return none;
    }
    if (!result.ignored.empty())
        result.status = Status::Partial;
    return result;
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
