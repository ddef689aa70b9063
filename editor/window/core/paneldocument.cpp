#include "window/core/paneldocument.h"

namespace kn4::editor {

bool PanelSnapshot::samePanel(const PanelSnapshot &other) const
{
    return header == other.header && colours == other.colours && rows == other.rows &&
           setupMode == other.setupMode && leftRibShown == other.leftRibShown &&
           leftNecklineShown == other.leftNecklineShown;
}

class PanelDocument::Scope
{
public:
    Scope(PanelDocument &document, EditKind kind, int mergeKey = -1)
        : m_document(document), m_own(!document.editOpen())
    {
        if (m_own)
            m_document.beginEdit(kind, mergeKey);
    }
    std::optional<PanelStep> finish() { return m_own ? m_document.endEdit() : std::nullopt; }

private:
    PanelDocument &m_document;
    bool m_own;
};

PanelDocument::PanelDocument(PanelModel &panel, RowStore &rows, RunningTotals &totals,
                             const CommandList &commands, const CommandLine &commandLine)
    : m_panel(panel), m_rows(rows), m_totals(totals), m_commands(commands), m_commandLine(commandLine),
      m_leftRibShown(panel.isTwoSided()), m_leftNecklineShown(panel.isTwoSided())
{
}

RowSettings PanelDocument::rowSettings() const
{
    RowSettings settings;
    settings.setupOptions = m_commandLine.setupOptions;
    settings.setupMode = m_panel.predisposizioneValue;
    settings.intervalMarkerDash = m_commandLine.intervalMarkerDash();
    if (m_commands.count() > 0)
        settings.definitionName = toLowerAscii(m_commands.entry(RowText::kDefinitionEntry).displayName);
    return settings;
}

TotalsSettings PanelDocument::totalsSettings() const
{
    TotalsSettings settings = TotalsSettings::fromHeader(m_panel.header, m_commandLine.setupOptions);
    settings.setupMode = m_panel.predisposizioneValue;
    return settings;
}

void PanelDocument::recompute()
{
    m_rows.setSettings(rowSettings());
    m_totals.recompute(m_rows, totalsSettings());
}

PanelSnapshot PanelDocument::snapshot() const
{
    PanelSnapshot s;
    s.header = m_panel.header;
    s.colours = m_panel.colours;
    s.rows = m_rows.rows();
    s.setupMode = m_panel.predisposizioneValue;
    s.leftRibShown = m_leftRibShown;
    s.leftNecklineShown = m_leftNecklineShown;
    s.selectedRow = m_rows.selectedRow();
    s.topRow = m_rows.topRow();
    return s;
}

void PanelDocument::restore(const PanelSnapshot &snapshot)
{
    m_panel.header = snapshot.header;
    m_panel.colours = snapshot.colours;
    m_panel.predisposizioneValue = snapshot.setupMode;
    m_leftRibShown = snapshot.leftRibShown;
    m_leftNecklineShown = snapshot.leftNecklineShown;
    m_rows.setSettings(rowSettings());
    m_rows.load(snapshot.rows);
    m_rows.scrollTo(snapshot.topRow);
    m_rows.selectRow(snapshot.selectedRow);
    recompute();
}

void PanelDocument::beginEdit(EditKind kind, int mergeKey)
{
    m_open = Open{kind, mergeKey, snapshot()};
}

std::optional<PanelStep> PanelDocument::endEdit()
{
    if (!m_open)
        return std::nullopt;
    Open open = std::move(*m_open);
    m_open.reset();
    PanelSnapshot after = snapshot();
    if (open.before.samePanel(after))
        return std::nullopt;
    return PanelStep{open.kind, open.mergeKey, std::move(open.before), std::move(after)};
}

PanelDocument::RowEdit PanelDocument::insertCommand(const RowCommand &command)
{
    Scope scope(*this, EditKind::InsertRow);
    m_rows.setSettings(rowSettings());
    RowEdit edit;
    edit.result = m_rows.insertCommand(command);
    if (edit.result == RowStore::EditResult::Done)
        recompute();
    edit.step = scope.finish();
    return edit;
}

PanelDocument::RowEdit PanelDocument::deleteSelectedRow()
{
    Scope scope(*this, EditKind::DeleteRow);
    m_rows.setSettings(rowSettings());
    RowEdit edit;
    edit.result = m_rows.deleteSelectedRow();
    if (edit.result == RowStore::EditResult::Done)
        recompute();
    edit.step = scope.finish();
    return edit;
}

PanelDocument::TypedEdit PanelDocument::typeValue(ParameterEditor &editor, int field, std::string_view typed)
{
    Scope scope(*this, EditKind::TypedValue);
    m_rows.setSettings(rowSettings());
    TypedEdit edit;
    edit.outcome = editor.typeValue(field, typed);
    if (edit.outcome.changed)
        recompute();
    edit.step = scope.finish();
    return edit;
}

std::optional<PanelStep> PanelDocument::setHeaderField(HeaderField field, std::string text)
{
    std::string *value = headerText(m_panel.header, field);
    if (value == nullptr || *value == text)
        return std::nullopt;
    Scope scope(*this, EditKind::HeaderField, kHeaderMergeKey + int(field));
    *value = std::move(text);
    return scope.finish();
}

std::optional<PanelStep> PanelDocument::setSetupMode(int mode)
{
    Scope scope(*this, EditKind::SetUp, kHeaderMergeKey + int(HeaderField::Predisposizione));
    m_panel.predisposizioneValue = std::int16_t(mode);
    recompute();
    return scope.finish();
}

PanelDocument::SetupEdit PanelDocument::confirmSetup(const std::string &fieldText)
{
    Scope scope(*this, EditKind::SetUp, kHeaderMergeKey + int(HeaderField::Predisposizione));
    SetupEdit edit;
    edit.confirmation = HeaderFields::confirmSetup(fieldText, m_panel.predisposizioneValue, m_rows.rows(),
                                                   m_commandLine.setupOptions);
    const HeaderFields::SetupConfirmation &c = edit.confirmation;
    m_panel.header.predisposizione = c.fieldText;
    if (c.leftRibVisible)
        m_leftRibShown = *c.leftRibVisible;
    if (c.leftNecklineVisible)
        m_leftNecklineShown = *c.leftNecklineVisible;
    m_panel.predisposizioneValue = std::int16_t(c.mode);
    recompute();
    edit.step = scope.finish();
    return edit;
}

std::optional<PanelStep> PanelDocument::setColour(int box, Colour colour)
{
    if (box < 0 || box >= PanelModel::kColourBoxes || m_panel.colours[std::size_t(box)] == colour)
        return std::nullopt;
    Scope scope(*this, EditKind::Colour);
    m_panel.colours[std::size_t(box)] = colour;
    return scope.finish();
}

std::optional<PanelStep> PanelDocument::resetColours()
{
    Scope scope(*this, EditKind::ResetColours);
    m_panel.resetColours();
    return scope.finish();
}

std::string *PanelDocument::headerText(PanelHeader &header, HeaderField field)
{
    switch (field) {
    case HeaderField::Tipo: return &header.tipo;
    case HeaderField::Taglia: return &header.taglia;
    case HeaderField::Parte: return &header.parte;
    case HeaderField::IngombroPettini: return &header.ingombroPettini;
    case HeaderField::Densita: return &header.densita;
    case HeaderField::CostinaDx: return &header.costinaDx;
    case HeaderField::CostinaSx: return &header.costinaSx;
    case HeaderField::ScolloDx: return &header.scolloDx;
    case HeaderField::ScolloSx: return &header.scolloSx;
    case HeaderField::AltezzaBordo: return &header.altezzaBordo;
    case HeaderField::AghiCm: return &header.aghiCm;
    case HeaderField::RanghiCm: return &header.ranghiCm;
    case HeaderField::Predisposizione: return &header.predisposizione;
    case HeaderField::Note1: return &header.note[0];
    case HeaderField::Note2: return &header.note[1];
    case HeaderField::Note3: return &header.note[2];
    case HeaderField::Frontura: return &header.frontura;
    case HeaderField::Uscita: return &header.uscita;
    case HeaderField::Predisposizione_2: return nullptr;
    }
    return nullptr;
}

} // namespace kn4::editor
