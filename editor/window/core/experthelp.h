#pragma once

#include "document/helptable.h"
#include "document/rowtext.h"
#include "window/core/windowtimer.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

namespace kn4::editor {

// The expert help of the editor window: the help texts shown for the
// control under the pointer after the hint delay, errors shown at once in
// red for the error display time, the lamp that classifies the text, and
// the three sizes of the help box. The window forwards its events here,
// mirrors Timer2 on a real timer (calling Timer2_Timer when it fires) and
// shows what view() says; it beeps once for every beep takeBeeps() counts.
class ExpertHelp
{
public:
    enum class Mode { Expanded = 1, Reduced = 2, Hidden = 3 };

    // What the help controls show.
    struct View
    {
        std::string largeText;   // Esperto
        std::string smallText;   // Esperto_2
        bool largeVisible = false;
        bool smallVisible = true;
        Colour lamp = HelpTable::kLightGrey;  // LedEsperto
    };

    static constexpr const char *kUnavailableText = "Aiuto non disponibile.";
    static constexpr const char *kErrorClearedKey = "Errore_Cancellato";
    static constexpr const char *kLeftSideErrorKey = "Errore_Parametro1_Sx";
    static constexpr const char *kSetupErrorKey = "Errore_Predisposizione";
    // Row list heights in twips: 12 rows with the expanded help, else 18.
    static constexpr int kRowListHeightExpanded = 2925;
    static constexpr int kRowListHeightOther = 4395;

    // Starts in the reduced mode (EspertoModo2) with no key asked for. The
    // table is used as loaded; helpLoaded says whether the file was found.
    explicit ExpertHelp(HelpTable table, bool helpLoaded,
                        WindowTimer::Clock clock = WindowTimer::steadyClock());

    // The help file's folder, for the reload on Shift-release.
    void setHelpFolder(std::filesystem::path folder) { m_folder = std::move(folder); }
    // Reads the help file again (delays and texts); false when it is missing.
    bool reload();

    // Public operations of the window.
    void Esperto123(std::string_view key);
    void Esperto123Immediato(std::string_view key);
    void Esperto123Errore(std::string_view key);
    void Esperto123CancellaErrore();
    void Esperto123Off(std::string_view key = {});
    void EspertoModo1() { setMode(Mode::Expanded); }
    void EspertoModo2() { setMode(Mode::Reduced); }
    void EspertoModo3() { setMode(Mode::Hidden); }
    void RicercaEsperto(bool beepIfError);
    void Timer2_Timer();

    // Release of help button 1, 2 or 3 (Esperto1..3). Without Shift: switch
    // to that mode and show the current text in the new box. With Shift:
    // reload the help file and show the current text again, mode unchanged.
    void helpButtonReleased(int button, bool shift);

    // Situation help: the key "0".."3" of the editing situation.
    static std::string situationKey(bool commandSelected, bool rowSelected);
    // A click on Esperto: the situation shown at once, unless the lamp is red.
    void Esperto_Click(bool commandSelected, bool rowSelected);
    // The pointer over Esperto_2: the situation asked with the delay, unless
    // the lamp is red.
    void Esperto_2_MouseMove(bool commandSelected, bool rowSelected);

    // The hint key of a window control by its name (objectName); "" for a
    // control without one (the form, frames, the help boxes and buttons),
    // for which the window calls Esperto123Off.
    static std::string controlKey(std::string_view controlName);
    // The hint key over a row label at a column: "Lista_Pannello" over a
    // blank label, the parameter, command and field keys over the fields of
    // the row, "" elsewhere (Esperto123Off).
    static std::string rowKey(std::string_view rowText, int column,
                              const ParameterPositions &positions);

    Mode mode() const { return m_mode; }
    int visibleRows() const { return m_mode == Mode::Expanded ? 12 : 18; }
    int rowListHeight() const
    {
        return m_mode == Mode::Expanded ? kRowListHeightExpanded : kRowListHeightOther;
    }
    const View &view() const { return m_view; }
    const WindowTimer &timer() const { return m_timer; }
    // An error is showing: Timer2 counts the error display time.
    bool errorShowing() const { return m_errorShowing; }
    const std::string &pendingKey() const { return m_pendingKey; }
    const std::string &currentKey() const { return m_currentKey; }
    const HelpTable &table() const { return m_table; }
    bool helpLoaded() const { return m_loaded; }
    // Beeps asked for since the last call.
    int takeBeeps() { return std::exchange(m_beeps, 0); }

private:
    void setMode(Mode mode);
    void hideBoxesInHiddenMode();

    HelpTable m_table;
    bool m_loaded;
    std::filesystem::path m_folder;
    WindowTimer m_timer;
    bool m_errorShowing = false;
    Mode m_mode = Mode::Reduced;
    std::string m_pendingKey;
    std::string m_currentKey;
    View m_view;
    int m_beeps = 0;
};

} // namespace kn4::editor
