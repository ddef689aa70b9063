#include "window/core/experthelp.h"

#include <array>
#include <utility>

namespace kn4::editor {

namespace {

struct ControlKey
{
    std::string_view control;
    std::string_view key;
};

// The hint key of every control that has one.
constexpr std::array<ControlKey, 35> kControlKeys{{
    {"Tipo", "Tipo"},
    {"Taglia", "Taglia"},
    {"Parte", "Parte"},
    {"Densita", "Densita"},
    {"Frontura", "Frontura"},
    {"Uscita", "Uscita"},
    {"Predisposizione", "Predisposizione"},
    {"Predisposizione_2", "Predisposizione"},
    {"CostinaDx", "Costina_DX"},
    {"CostinaSx", "Costina_SX"},
    {"ScolloDx", "Scollo_DX"},
    {"ScolloSx", "Scollo_SX"},
    {"CDx", "CostinaDx_Label"},
    {"Label6", "CostinaDx_Label"},
    {"CSx", "CostinaSx_Label"},
    {"SDx", "ScolloDx_Label"},
    {"Label7", "ScolloDx_Label"},
    {"SSx", "ScolloSx_Label"},
    {"Label8", "IngombroPettini_Label"},
    {"IngombroPettini", "Ingombro_Pettini"},
    {"AltezzaBordo", "Altezza_Bordo"},
    {"AghiCm", "Aghi_cm"},
    {"RanghiCm", "Ranghi_cm"},
    {"Note1", "Note"},
    {"Note2", "Note"},
    {"Note3", "Note"},
    {"ListaComandi", "Elenco_Funzioni"},
    {"Picture1", "Disegno_Maglia"},
    {"lblAghi", "Aghi_Disegno"},
    {"lblRanghi", "Ranghi_Disegno"},
    {"Colore", "Cambio_Colore"},
    {"Reset", "Ripristina_Colori"},
    {"ValoriFinali", "Visualizza_Dati_Finali"},
    {"Label18", "Visualizza_Dati_Finali"},
    {"Image1", "Azienda_Produttrice"},
}};

// Label9, the caption under the maker's logo, shares the logo's key.
constexpr ControlKey kLogoCaption{"Label9", "Azienda_Produttrice"};

} // namespace

ExpertHelp::ExpertHelp(HelpTable table, bool helpLoaded, WindowTimer::Clock clock)
    : m_table(std::move(table)), m_loaded(helpLoaded),
      m_timer(m_table.expertDelay(), std::move(clock))
{
    EspertoModo2();
}

bool ExpertHelp::reload()
{
    HelpTable table;
    m_loaded = table.load(m_folder) == 0;
    m_table = std::move(table);
    // The delays may have changed: the timer keeps counting the kind of
    // time it counted.
    m_timer.setInterval(m_errorShowing ? m_table.errorDelay() : m_table.expertDelay());
    return m_loaded;
}

void ExpertHelp::Esperto123(std::string_view key)
{
    if (key == m_pendingKey)
        return;
    m_pendingKey = std::string(key);
    if (!m_errorShowing) {
        m_timer.stop();
        m_timer.setInterval(m_table.expertDelay());
        m_timer.start();
    }
}

void ExpertHelp::Timer2_Timer()
{
    m_timer.stop();
    if (!m_errorShowing) {
        m_currentKey = m_pendingKey;
        hideBoxesInHiddenMode();
        RicercaEsperto(false);
    } else {
        // The error time is over; its text stays until the next hint.
        m_errorShowing = false;
        m_timer.setInterval(m_table.expertDelay());
    }
}

void ExpertHelp::Esperto123Immediato(std::string_view key)
{
    if (key == m_currentKey)
        return;
    m_currentKey = std::string(key);
    RicercaEsperto(false);
}

void ExpertHelp::Esperto123Errore(std::string_view key)
{
    m_timer.stop();
    m_errorShowing = true;
    m_timer.setInterval(m_table.errorDelay());
    m_currentKey = std::string(key);
    RicercaEsperto(true);
    if (m_mode == Mode::Hidden) {
        m_view.largeVisible = false;
        m_view.smallVisible = true;
    }
    m_timer.start();
}

void ExpertHelp::Esperto123CancellaErrore()
{
    m_timer.stop();
    if (!m_errorShowing && m_view.lamp != HelpTable::kRed)
        return;
    m_errorShowing = false;
    m_timer.setInterval(m_table.expertDelay());
    m_currentKey = kErrorClearedKey;
    hideBoxesInHiddenMode();
    RicercaEsperto(false);
}

void ExpertHelp::Esperto123Off(std::string_view)
{
    if (m_pendingKey.empty())
        return;
    m_pendingKey.clear();
    if (!m_errorShowing)
        m_timer.stop();
}

void ExpertHelp::RicercaEsperto(bool beepIfError)
{
    if (!m_loaded) {
        m_view.largeText = m_view.smallText = kUnavailableText;
        m_view.lamp = HelpTable::kLightGrey;
        return;
    }
    if (m_currentKey.empty())
        return;

    const HelpEntry *found = nullptr;
    for (const HelpEntry &entry : m_table.entries()) {
        if (entry.key == m_currentKey && !entry.shortText.empty()) {
            found = &entry;
            break;
        }
    }
    if (found) {
        m_view.lamp = found->colour == 0 ? HelpTable::kLightGrey : found->colour;
        m_view.largeText = found->longText.empty() ? found->shortText : found->longText;
        m_view.smallText = found->shortText;
    } else {
        m_view.largeText = "ATTENZIONE: <" + m_currentKey +
                           "> mancante. Consultare l'assistenza tecnica.";
        m_view.smallText = m_view.largeText;
        m_view.lamp = HelpTable::kLightGrey;
    }
    if (beepIfError && m_view.lamp == HelpTable::kRed)
        ++m_beeps;
}

void ExpertHelp::helpButtonReleased(int button, bool shift)
{
    if (shift) {
        reload();
    } else {
        switch (button) {
        case 1: EspertoModo1(); break;
        case 2: EspertoModo2(); break;
        case 3: EspertoModo3(); break;
        default: return;
        }
    }
    RicercaEsperto(false);
}

std::string ExpertHelp::situationKey(bool commandSelected, bool rowSelected)
{
    return std::string(1, char('0' + (commandSelected ? 1 : 0) + (rowSelected ? 2 : 0)));
}

void ExpertHelp::Esperto_Click(bool commandSelected, bool rowSelected)
{
    if (m_view.lamp != HelpTable::kRed)
        Esperto123Immediato(situationKey(commandSelected, rowSelected));
}

void ExpertHelp::Esperto_2_MouseMove(bool commandSelected, bool rowSelected)
{
    if (m_view.lamp != HelpTable::kRed)
        Esperto123(situationKey(commandSelected, rowSelected));
}

std::string ExpertHelp::controlKey(std::string_view controlName)
{
    for (const ControlKey &entry : kControlKeys)
        if (entry.control == controlName)
            return std::string(entry.key);
    if (controlName == kLogoCaption.control)
        return std::string(kLogoCaption.key);
    return {};
}

std::string ExpertHelp::rowKey(std::string_view rowText, int column,
                               const ParameterPositions &positions)
{
    if (trimBlanks(RowText::columns(rowText, 0, RowText::kVisibleLength - 1)).empty())
        return "Lista_Pannello";
    if (column < 0)
        return {};
    if (positions.hasP1() && column >= positions.p1First && column <= positions.p1Last)
        return "Parametro1";
    if (positions.hasP2() && column >= positions.p2First && column <= positions.p2Last)
        return "Parametro2";
    if (column <= FieldTable::field(0).last) {
        const int nameEnd = RowText::nameEnd(rowText);
        if (column >= nameEnd)
            return {};
        return "Funzione:" +
               toUpperAscii(trimBlanks(RowText::columns(rowText, 0, nameEnd - 1)));
    }
    static constexpr std::array<std::string_view, 8> kFieldKeys{
        "", "Intervallo", "Ripetizione", "Ciclo_di_Cicli", "Totale_Ranghi",
        "Carro_Esterno", "Carro_Interno", "Messaggio"};
    // The shaping and flag marks lie inside the message area and share its key.
    for (int f = 1; f <= 7; ++f) {
        const FieldSpan span = FieldTable::field(f);
        if (column >= span.first && column <= span.last)
            return std::string(kFieldKeys[std::size_t(f)]);
    }
    return {};
}

void ExpertHelp::setMode(Mode mode)
{
    m_mode = mode;
    m_view.largeVisible = mode == Mode::Expanded;
    m_view.smallVisible = mode == Mode::Reduced;
}

void ExpertHelp::hideBoxesInHiddenMode()
{
    if (m_mode == Mode::Hidden)
        m_view.largeVisible = m_view.smallVisible = false;
}

} // namespace kn4::editor
