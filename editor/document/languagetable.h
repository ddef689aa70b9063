#pragma once

#include "document/commandlist.h"
#include "kn4/labelfile.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::editor {

// The editor's display texts from the language file "kn4edit.ini": line k
// of the file is text k. Texts stay Windows-1252 bytes.
class LanguageTable
{
public:
    static constexpr int kMaxLines = 201;
    static constexpr const char *kFileName = "kn4edit.ini";
    static constexpr const char *kErrorMessage = "file ini non trovato";

    // Lines with a fixed use (the others are numbered ranges, see below).
    enum Line {
        InserisciRiga = 0, EliminaRiga = 1, Salva = 2, Esci = 3, Informazioni = 4,
        Tipo = 5, Taglia = 6, Parte = 7, Frontura = 8, IngombroPettini = 9, Densita = 10,
        Costina = 11, LatoDestro = 12, LatoSinistro = 13, Scollo = 14, AltezzaBordo = 15,
        AghiCm = 16, RanghiCm = 17, Predisposizione = 18, Uscita = 19, Note = 20,
        Aghi = 21, Ranghi = 22, VisualizzaDatiFinali = 23, Ripristina = 24,
        // last built-in caption; 25-36 are texts of the knit drawing
        LastCaption = 24, FirstDrawingText = 25, LastDrawingText = 36,
        // 37-44 row messages of the running totals; 38-40 the carriage checks
        FirstRowMessage = 37, LastRowMessage = 44,
        KindLato = 45, KindAltro = 46, KindScollo = 47, KindRigatura = 48,
        KindProfiloOneSided = 49, KindProfiloTwoSided = 50,
        ChiudiReport = 51, CarriageCheck1 = 52, CarriageCheck2 = 53, CarriageCheck3 = 54,
        NoErrors = 55, ReportCaption = 56, HeaderToolTip = 57, RowToolTip = 58,
        ExitQuestion = 59,
        // The three buttons of the expert help. Files written before these
        // lines existed end at line 59: the buttons then keep their
        // built-in Italian captions.
        EspandiAiuto = 60, RiduciAiuto = 61, NascondiAiuto = 62,
        // The row message of the running totals where the piece's edges
        // cross (a course narrower than one needle, a neckline past its
        // outer edge).
        BordiIncrociati = 63,
        // The Edit menu: its title and entries, the tip of a refused typed
        // value, the report window's detail box, the word before a row's
        // line number in the status bar and the drawing's read-out.
        MenuModifica = 64, Annulla = 65, Ripeti = 66, ScriviValore = 67, AiutoEsperto = 68,
        ValoriAmmessi = 69, ResocontoCompleto = 70, Riga = 71,
        // The row messages in words, with what to do, for the status bar:
        // one per message 37-44, then the crossing edges; then the words
        // before a compile error of the row.
        FirstMessageHint = 72, LastMessageHint = 79, BordiIncrociatiHint = 80,
        ErroreCompilazione = 81,
        LastLine = ErroreCompilazione,
    };

    // The status-bar hint of a row message line (37-44 or BordiIncrociati);
    // -1 for any other line.
    static int hintOf(int messageLine);

    // CaricoLingua: reads folder + "kn4edit.ini" (found ignoring case; an
    // empty folder is the working directory). A missing file or one of more
    // than 201 lines leaves the table empty and loaded() false: the window
    // then shows kErrorMessage and keeps its built-in captions.
    static LanguageTable CaricoLingua(const std::filesystem::path &folder);
    static LanguageTable fromText(std::string_view text);

    bool loaded() const { return m_loaded; }
    // Why the file could not be read ("PATH: reason"); empty otherwise.
    const std::string &reason() const { return m_reason; }
    int lineCount() const { return int(m_texts.size()); }
    // Text of a line; the empty text for a line the file does not have.
    std::string text(int line) const;

private:
    static LanguageTable fromLabels(const kn4::LabelFile &labels);

    bool m_loaded = false;
    std::string m_reason;
    std::vector<std::string> m_texts;
};

// ModificaLabel for one row label: the caption shown for a row text.
//  1. A definition row (caption holding "defin") shows its kind words
//     ALTRO, LATO, SCOLLO, RIGATURA, PROFILO by their language texts
//     (PROFILO by line 50 when the left-side labels are shown, else 49),
//     each written with blanks over 18 columns from where the word stood.
//  2. A command with an alias shows the alias in place of its name, over
//     as many columns as the longer of the two; the first entry whose name
//     the caption holds (followed by a blank) decides.
// The row text itself is not changed. A kind word whose language text is
// empty (no language file) stays as it is.
std::string ModificaLabel(std::string caption, const LanguageTable &language,
                          const CommandList &commands, bool leftSideLabelsShown);

} // namespace kn4::editor
