#pragma once

#include "document/panelmodel.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::editor {

// The text boxes of the panel header above the row list.
enum class HeaderField {
    Tipo, Taglia, Parte, IngombroPettini, Densita,
    CostinaDx, CostinaSx, ScolloDx, ScolloSx,
    AltezzaBordo, AghiCm, RanghiCm,
    Predisposizione, Predisposizione_2,
    Note1, Note2, Note3,
    Frontura, Uscita,
};

// What the header fields depend on: the comb settings of the command line,
// its set-up options, and which left-side fields the set-up shows.
struct HeaderSettings
{
    bool combEditable = false;     // command line: comb width editable = 1
    std::int32_t combDefault = 0;  // command line: comb width
    int setupOptions = 3;          // bit values 1 (left neckline) and 2 (left rib)
    bool leftRibVisible = false;       // CostinaSx and its spinners
    bool leftNecklineVisible = false;  // ScolloSx and its spinners
};

// The rules of the header fields, free of any widget: which keys each field
// takes, where Enter moves the focus, what an emptied field falls back to,
// the comb-clearance colour, the centimetre tooltips and the set-up value.
// The window asks before it lets a key through and acts on the answer.
class HeaderFields
{
public:
    static constexpr char kEnter = '\r';
    static constexpr char kBackspace = '\b';
    static constexpr const char *kSetupErrorKey = "Errore_Predisposizione";
    static constexpr const char *kRibDefault = "100";
    static constexpr const char *kNecklineDefault = "1";

    enum class KeyAction {
        Accept,     // the key goes into the field (as `key`, a blank may become "-")
        Refuse,     // beep, key discarded
        Discard,    // key discarded without a sound
        MoveFocus,  // Enter: the focus goes to `focus`
    };
    struct KeyVerdict
    {
        KeyAction action = KeyAction::Accept;
        char key = 0;
        HeaderField focus = HeaderField::Tipo;
    };

    static std::string_view controlName(HeaderField field);
    static std::string_view hintKey(HeaderField field);

    // A key typed into a field holding `text`.
    static KeyVerdict filterKey(HeaderField field, char key, std::string_view text,
                                const HeaderSettings &settings);
    // Integer fields: digits, Enter and Backspace.
    static bool integerKey(char key);
    // Decimal fields: digits, Enter and Backspace; one "," or "." after a
    // digit; "-" only into an empty field.
    static bool decimalKey(char key, std::string_view text);

    // Where Enter goes from a field; Frontura and Uscita take no keys and
    // keep the focus.
    static HeaderField nextField(HeaderField field, const HeaderSettings &settings);

    // LostFocus: the text an emptied field falls back to (rib "100",
    // neckline "1", an editable comb clearance its default), or nothing.
    static std::optional<std::string> textOnLeaving(HeaderField field, std::string_view text,
                                                    const HeaderSettings &settings);
    // Fields whose leaving or key release runs the replay of the totals.
    static bool replaysOnLeaving(HeaderField field);
    static bool replaysOnKeyRelease(HeaderField field, const HeaderSettings &settings);

    // The comb clearance's text colour after a key release: red when the
    // value differs from the default, black otherwise; nothing for an empty
    // field (the colour stays).
    static std::optional<Colour> combClearanceColour(std::string_view text,
                                                     const HeaderSettings &settings);

    // The tooltip of the rib, neckline and needle-bed fields: the needles in
    // cm and " cm", or "" when the needles per cm are not above 0 (and for
    // every other field).
    static std::string toolTip(HeaderField field, std::string_view text,
                               std::string_view needlesPerCm, char separator);

    // Predisposizione key release: the new set-up mode, when the key is one
    // of "1", "2", "3", Backspace, "." and the field reads 1, 2 or 3.
    static std::optional<int> setupModeOnKeyRelease(char key, std::string_view text);

    // Predisposizione_2_Click: confirming the set-up value typed.
    struct SetupConfirmation
    {
        std::string fieldText;  // what Predisposizione shows afterwards
        int mode = 1;           // the set-up mode afterwards
        bool refused = false;   // show kSetupErrorKey (Esperto123Errore)
        bool clearError = false;  // Esperto123CancellaErrore
        std::optional<bool> leftRibVisible;       // CostinaSx, CDx, CSx
        std::optional<bool> leftNecklineVisible;  // ScolloSx, SDx, SSx
    };
    // A set-up without left side (1 or 3) is refused while a row speaks of
    // the left side ("sin"): the previous mode goes back into the field.
    static SetupConfirmation confirmSetup(std::string_view fieldText, int currentMode,
                                          const std::vector<std::string> &rows, int setupOptions);
};

} // namespace kn4::editor
