#include "window/core/headerfields.h"

#include "document/rowtext.h"
#include "kn4/number.h"
#include "window/core/measures.h"

#include <array>

namespace kn4::editor {

namespace {

struct FieldInfo
{
    std::string_view control;
    std::string_view hint;
};

constexpr std::array<FieldInfo, 19> kFields{{
    {"Tipo", "Tipo"},
    {"Taglia", "Taglia"},
    {"Parte", "Parte"},
    {"IngombroPettini", "Ingombro_Pettini"},
    {"Densita", "Densita"},
    {"CostinaDx", "Costina_DX"},
    {"CostinaSx", "Costina_SX"},
    {"ScolloDx", "Scollo_DX"},
    {"ScolloSx", "Scollo_SX"},
    {"AltezzaBordo", "Altezza_Bordo"},
    {"AghiCm", "Aghi_cm"},
    {"RanghiCm", "Ranghi_cm"},
    {"Predisposizione", "Predisposizione"},
    {"Predisposizione_2", "Predisposizione"},
    {"Note1", "Note"},
    {"Note2", "Note"},
    {"Note3", "Note"},
    {"Frontura", "Frontura"},
    {"Uscita", "Uscita"},
}};

bool isDigit(char key)
{
    return key >= '0' && key <= '9';
}

bool isBlank(std::string_view text)
{
    return trimBlanks(text).empty();
}

bool isTextField(HeaderField field)
{
    return field == HeaderField::Tipo || field == HeaderField::Taglia ||
           field == HeaderField::Parte || field == HeaderField::Densita;
}

bool isIntegerField(HeaderField field)
{
    return field == HeaderField::CostinaDx || field == HeaderField::CostinaSx ||
           field == HeaderField::ScolloDx || field == HeaderField::ScolloSx;
}

bool isDecimalField(HeaderField field)
{
    return field == HeaderField::AltezzaBordo || field == HeaderField::AghiCm ||
           field == HeaderField::RanghiCm;
}

// The set-up mode a field text stands for: 1, 2 or 3, else nothing.
std::optional<int> setupModeOf(std::string_view text)
{
    const std::string_view trimmed = trimBlanks(text);
    if (!hasLeadingInteger(trimmed))
        return std::nullopt;
    const std::int32_t mode = leadingInteger(trimmed);
    if (mode < 1 || mode > 3)
        return std::nullopt;
    return int(mode);
}

} // namespace

std::string_view HeaderFields::controlName(HeaderField field)
{
    return kFields[std::size_t(field)].control;
}

std::string_view HeaderFields::hintKey(HeaderField field)
{
    return kFields[std::size_t(field)].hint;
}

bool HeaderFields::integerKey(char key)
{
    return isDigit(key) || key == kEnter || key == kBackspace;
}

bool HeaderFields::decimalKey(char key, std::string_view text)
{
    if (isDigit(key) || key == kEnter || key == kBackspace)
        return true;
    if (key == ',' || key == '.')
        return !text.empty() && text.find_first_of(",.") == std::string_view::npos;
    if (key == '-')
        return text.empty();
    return false;
}

HeaderFields::KeyVerdict HeaderFields::filterKey(HeaderField field, char key, std::string_view text,
                                                 const HeaderSettings &settings)
{
    KeyVerdict verdict;
    verdict.key = key;
    auto refuse = [&] {
        verdict.action = KeyAction::Refuse;
        return verdict;
    };

    switch (field) {
    case HeaderField::Frontura:
    case HeaderField::Uscita:
        verdict.action = KeyAction::Discard;
        return verdict;
    case HeaderField::IngombroPettini:
        if (!settings.combEditable || !integerKey(key))
            return refuse();
        break;
    case HeaderField::Predisposizione:
        if (!(key == '1' || key == '2' || key == '3' || key == '.' || key == kBackspace ||
              key == kEnter))
            return refuse();
        break;
    case HeaderField::Predisposizione_2:
        if (key != kEnter)
            return refuse();
        break;
    default:
        if (isIntegerField(field) && !integerKey(key))
            return refuse();
        if (isDecimalField(field) && !decimalKey(key, text))
            return refuse();
        break;
    }

    if (key == kEnter) {
        verdict.action = KeyAction::MoveFocus;
        verdict.focus = nextField(field, settings);
        return verdict;
    }
    if (isTextField(field) && key == ' ')
        verdict.key = '-';
    verdict.action = KeyAction::Accept;
    return verdict;
}

HeaderField HeaderFields::nextField(HeaderField field, const HeaderSettings &settings)
{
    using F = HeaderField;
    switch (field) {
    case F::Tipo: return F::Taglia;
    case F::Taglia: return F::Parte;
    case F::Parte: return settings.combEditable ? F::IngombroPettini : F::Densita;
    case F::IngombroPettini: return F::Densita;
    case F::Densita: return F::CostinaDx;
    case F::CostinaDx: return settings.leftRibVisible ? F::CostinaSx : F::ScolloDx;
    case F::CostinaSx: return F::ScolloDx;
    case F::ScolloDx: return settings.leftNecklineVisible ? F::ScolloSx : F::AltezzaBordo;
    case F::ScolloSx: return F::AltezzaBordo;
    case F::AltezzaBordo: return F::AghiCm;
    case F::AghiCm: return F::RanghiCm;
    case F::RanghiCm: return F::Predisposizione;
    case F::Predisposizione:
    case F::Predisposizione_2: return F::Note1;
    case F::Note1: return F::Note2;
    case F::Note2: return F::Note3;
    case F::Note3: return F::Tipo;
    case F::Frontura:
    case F::Uscita: return field;
    }
    return field;
}

std::optional<std::string> HeaderFields::textOnLeaving(HeaderField field, std::string_view text,
                                                       const HeaderSettings &settings)
{
    if (!isBlank(text))
        return std::nullopt;
    switch (field) {
    case HeaderField::CostinaDx:
    case HeaderField::CostinaSx: return std::string(kRibDefault);
    case HeaderField::ScolloDx:
    case HeaderField::ScolloSx: return std::string(kNecklineDefault);
    case HeaderField::IngombroPettini:
        if (settings.combEditable)
            return std::to_string(settings.combDefault);
        return std::nullopt;
    default: return std::nullopt;
    }
}

bool HeaderFields::replaysOnLeaving(HeaderField field)
{
    return isIntegerField(field) || isDecimalField(field) || field == HeaderField::IngombroPettini;
}

bool HeaderFields::replaysOnKeyRelease(HeaderField field, const HeaderSettings &settings)
{
    return isDecimalField(field) || (field == HeaderField::IngombroPettini && settings.combEditable);
}

std::optional<Colour> HeaderFields::combClearanceColour(std::string_view text,
                                                        const HeaderSettings &settings)
{
    if (text.empty())
        return std::nullopt;
    return leadingInteger(text) != settings.combDefault ? rgb(255, 0, 0) : rgb(0, 0, 0);
}

std::string HeaderFields::toolTip(HeaderField field, std::string_view text,
                                  std::string_view needlesPerCm, char separator)
{
    if (!isIntegerField(field) && field != HeaderField::Frontura)
        return {};
    if (!(Measures::ParseMeasure(needlesPerCm) > 0.0))
        return {};
    return Measures::needlesToCm(Measures::ParseMeasure(text), needlesPerCm, separator) + " cm";
}

std::optional<int> HeaderFields::setupModeOnKeyRelease(char key, std::string_view text)
{
    if (!(key == '1' || key == '2' || key == '3' || key == '.' || key == kBackspace))
        return std::nullopt;
    if (text.empty())
        return std::nullopt;
    return setupModeOf(text);
}

HeaderFields::SetupConfirmation HeaderFields::confirmSetup(std::string_view fieldText,
                                                           int currentMode,
                                                           const std::vector<std::string> &rows,
                                                           int setupOptions)
{
    SetupConfirmation result;
    result.fieldText = std::string(trimBlanks(fieldText));
    if (result.fieldText == "3" || result.fieldText == "1") {
        for (const std::string &row : rows) {
            if (toLowerAscii(row).find("sin") != std::string::npos) {
                result.refused = true;
                result.fieldText = std::to_string(currentMode);
                break;
            }
        }
    }
    result.clearError = !result.refused;

    // Only 1, 2 and 3 are set-up modes; anything else gives the field its
    // mode back.
    const std::optional<int> mode = setupModeOf(result.fieldText);
    result.mode = mode.value_or(currentMode);
    if (!mode)
        result.fieldText = std::to_string(currentMode);

    if (result.fieldText == "1" || result.fieldText == "3") {
        result.leftRibVisible = false;
        result.leftNecklineVisible = false;
    } else if (result.fieldText == "2") {
        if ((setupOptions & 2) == 0)
            result.leftRibVisible = true;
        if ((setupOptions & 1) == 0)
            result.leftNecklineVisible = true;
    }
    return result;
}

} // namespace kn4::editor
