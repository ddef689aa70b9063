#include "compilereportview.h"

#include "kn4/cp1252.h"
#include "kn4edit2.h"

namespace kn4::editor {

namespace {

// The compact view's texts of the carriage warnings: language lines 52-54
// for -1, -2, -3.
int carriageLine(std::int32_t result)
{
    switch (result) {
    case OuterBeyondNeedleBed: return LanguageTable::CarriageCheck1;
    case InnerAtZero: return LanguageTable::CarriageCheck2;
    case OuterAgainstInner: return LanguageTable::CarriageCheck3;
    default: return -1;
    }
}

// A language text, or nothing when the file lacks its line (the built-in
// caption stays, as in the main window).
std::optional<std::string> languageText(const LanguageTable &language, int line)
{
    if (!language.loaded() || line >= language.lineCount())
        return std::nullopt;
    return cp1252ToUtf8(language.text(line));
}

} // namespace

std::string CompileReportView::carriageWarning(std::int32_t result, const LanguageTable &language)
{
    switch (result) {
    case OuterBeyondNeedleBed:
        return cp1252ToUtf8(language.textOr(LanguageTable::AttenzioneCarroEsterno,
                                            "ATTENZIONE: carro esterno oltre la frontura."));
    case InnerAtZero:
        return cp1252ToUtf8(
            language.textOr(LanguageTable::AttenzioneCarroInterno, "ATTENZIONE: carro interno arrivato a 0."));
    case OuterAgainstInner:
        return cp1252ToUtf8(language.textOr(LanguageTable::AttenzioneCarri,
                                            "ATTENZIONE: carro esterno contro il carro interno."));
    default: return {};
    }
}

CompileReportView::Opening CompileReportView::opening(std::int32_t result, std::string_view report,
                                                      const LanguageTable &language)
{
    // The report is the library's, as it wrote it; the editor's own texts
    // around it speak the language of the folder.
    auto status = [&language](int line, const char *builtIn) {
        return cp1252ToUtf8(language.textOr(line, builtIn));
    };
    Opening view;
    view.report = cp1252ToUtf8(report);
    if (result == 0) {
        view.indicator = kGreen;
        view.status = status(LanguageTable::StatoNessunErrore, "Il pannello non contiene errori");
        return view;
    }
    view.indicator = kRed;
    view.beep = true;
    if (result > 4) {
        view.status = status(LanguageTable::StatoErroriGravi, "Il pannello contiene alcuni errori gravi");
    } else if (result == KN4_NOT_A_SOURCE) {
        view.status = language.text(LanguageTable::StatoNonCompilato).empty()
                          ? std::string(kNotCompiledStatus)
                          : cp1252ToUtf8(language.text(LanguageTable::StatoNonCompilato));
    } else if (result >= OuterAgainstInner && result <= OuterBeyondNeedleBed) {
        view.status = status(LanguageTable::StatoErroriPotenziali,
                             "Il pannello contiene alcuni errori potenzialmente gravi");
        view.report += carriageWarning(result, language);
    }
    return view;
}

CompileReportView::Layout CompileReportView::ResocontoCompilazione(std::int16_t a, std::int32_t result,
                                                                   const LanguageTable &language)
{
    Layout layout;
    if (a == kDetailed) {
        layout.viewMode = kDetailed;
        layout.widthTwips = 9585;
        layout.heightTwips = 7095;
        layout.label1Visible = false;
        layout.reportVisible = true;
        return layout;
    }
    layout.viewMode = kCompact;
    layout.widthTwips = 6000;
    layout.heightTwips = 1400;
    layout.label1Visible = true;
    layout.reportVisible = false;
    layout.caption = languageText(language, LanguageTable::ReportCaption);
    layout.closeCaption = languageText(language, LanguageTable::ChiudiReport);
    if (const int line = carriageLine(result); line >= 0) {
        layout.label1Text =
            cp1252ToUtf8(language.textOr(LanguageTable::ParolaErrore, "ERRORE !")) + " : " + cp1252ToUtf8(language.text(line));
        layout.label1Colour = kRed;
    } else if (result == 0) {
        layout.label1Text = cp1252ToUtf8(language.text(LanguageTable::NoErrors));
        layout.label1Colour = kBlack;
    } else {
        // Every other result shows its status text, never the control's
        // built-in "Label1".
        layout.label1Text = opening(result, {}, language).status;
        layout.label1Colour = kRed;
    }
    return layout;
}

} // namespace kn4::editor
