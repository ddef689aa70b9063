#pragma once

#include "document/languagetable.h"
#include "document/carriagewarning.h"
#include "document/panelmodel.h"
#include "kn4/twips.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kn4::editor {

// What the compile report window shows for a compile result, without the
// window: the indicator, the status line, the report text and the two views
// (compact: a short result text; detailed: the whole report). Texts come
// out as UTF-8; the report and the language texts go in as Windows-1252.
//
// Compile results: 0 no errors; above 4 errors (5 grave ones, 6 only
// non-grave ones, both shown as grave); -1/-2/-3 a carriage warning of the
// running totals (the panel was not compiled); 3 the panel was not
// compiled and is unchanged (no source marker, or the compiled panel could
// not be written); anything else gets the red indicator without a status
// text.
class CompileReportView
{
public:
    static constexpr Colour kGreen = rgb(0, 255, 0);
    static constexpr Colour kRed = rgb(255, 0, 0);
    static constexpr Colour kBlack = rgb(0, 0, 0);

    // Built-in texts of the window, kept when the language file lacks the
    // line that replaces them.
    static constexpr const char *kCaption = "Risultato salvataggio";
    static constexpr const char *kCloseCaption = "Chiudi";
    static constexpr const char *kLabel1 = "Label1";
    // Status of result 3: nothing was compiled, the panel file is as before.
    static constexpr const char *kNotCompiledStatus = "Il pannello non \xC3\xA8 stato compilato";

    static constexpr std::int16_t kCompact = 0;
    static constexpr std::int16_t kDetailed = 1;

    // What the window shows when it opens.
    struct Opening
    {
        Colour indicator = kRed;
        std::string status;  // lblStatus
        // txtCompilazione: the report, followed directly by the carriage
        // warning for -1, -2 and -3.
        std::string report;
        bool beep = false;   // anything but a clean compilation
    };
    // The status line and the carriage warning come from the language file
    // (lines 86-93), in Italian where it has none.
    static Opening opening(std::int32_t result, std::string_view report,
                           const LanguageTable &language = LanguageTable());

    // The sentence added to the report for a carriage warning (UTF-8);
    // empty for any other result.
    static std::string carriageWarning(std::int32_t result, const LanguageTable &language = LanguageTable());

    // The window after ResocontoCompilazione(a). What is nothing is left as
    // it was. The compact view's Label1 shows, for a result that is neither
    // 0 nor a carriage warning, the status text of the result (red).
    struct Layout
    {
        std::int16_t viewMode = kCompact;
        int widthTwips = 0;
        int heightTwips = 0;
        int widthPixels() const { return twipsToPixels(widthTwips); }
        int heightPixels() const { return twipsToPixels(heightTwips); }
        bool label1Visible = true;
        bool reportVisible = false;
        std::optional<std::string> caption;       // the window's
        std::optional<std::string> closeCaption;  // cmdChiudi's
        std::optional<std::string> label1Text;
        std::optional<Colour> label1Colour;
    };
    // a = 1 the detailed view, any other value the compact one.
    static Layout ResocontoCompilazione(std::int16_t a, std::int32_t result,
                                        const LanguageTable &language);
};

} // namespace kn4::editor
