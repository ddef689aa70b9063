#pragma once

#include "document/commandline.h"
#include "document/commandlist.h"
#include "document/panelmodel.h"
#include "window/core/headerfields.h"
#include "window/core/parametereditor.h"
#include "window/core/rowstore.h"
#include "window/core/runningtotals.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kn4::editor {

// The panel as one edit leaves it: the panel model (header, colours, rows
// with their computed columns, set-up mode), which left-side header fields
// are on show, and where the row list stood, so that undoing an edit also
// brings the user back to the row it touched.
struct PanelSnapshot
{
    PanelHeader header;
    std::array<Colour, PanelModel::kColourBoxes> colours{};
    std::vector<std::string> rows;
    std::int16_t setupMode = 0;
    bool leftRibShown = false;
    bool leftNecklineShown = false;
    int selectedRow = -1;
    int topRow = 0;

    // The same panel, whatever the row list's view.
    bool samePanel(const PanelSnapshot &other) const;
};

// The kinds of edit that change the panel.
enum class EditKind {
    InsertRow,
    DeleteRow,
    ParameterStep,  // clicks on a field of a row, a held button's repeats included
    TypedValue,
    HeaderField,    // a header field's text: type, size, notes, widths...
    SetUp,          // the set-up value and the left-side fields it shows
    Colour,
    ResetColours,
};

// One edit: the panel before and after it. Consecutive steps with the same
// merge key (the typing into one header field) make one undo step.
struct PanelStep
{
    EditKind kind = EditKind::ParameterStep;
    int mergeKey = -1;
    PanelSnapshot before;
    PanelSnapshot after;
};

// The edits of the panel, free of any widget: one entry point per kind of
// edit, each changing the panel model (and the row store) the way the
// window's controls do and returning the step it made, or nothing when the
// panel did not change. The window pushes the steps on its undo stack and
// restores a snapshot to undo or redo one.
//
// An edit may be held open over several events (a held mouse button on a
// row's field repeats its step): beginEdit takes the panel as it is,
// endEdit gives one step for all that changed meanwhile, and the entry
// points called in between add to it.
class PanelDocument
{
public:
    // Merge keys of the header fields: kHeaderMergeKey + the field.
    static constexpr int kHeaderMergeKey = 1000;

    PanelDocument(PanelModel &panel, RowStore &rows, RunningTotals &totals, const CommandList &commands,
                  const CommandLine &commandLine);

    PanelModel &panel() { return m_panel; }
    const PanelModel &panel() const { return m_panel; }

    // What the row store and the replay read from the panel and the command
    // line.
    RowSettings rowSettings() const;
    TotalsSettings totalsSettings() const;
    // Replays the running totals over the rows with the header as it is.
    void recompute();

    PanelSnapshot snapshot() const;
    // Puts a snapshot back and replays the totals.
    void restore(const PanelSnapshot &snapshot);

    void beginEdit(EditKind kind, int mergeKey = -1);
    std::optional<PanelStep> endEdit();
    bool editOpen() const { return m_open.has_value(); }

    // Row list: insert the command at the selected row (or append it),
    // delete the selected row; the totals follow.
    struct RowEdit
    {
        RowStore::EditResult result = RowStore::EditResult::Done;
        std::optional<PanelStep> step;
    };
    RowEdit insertCommand(const RowCommand &command);
    RowEdit deleteSelectedRow();

    // A value typed into a field of the selected row (see
    // ParameterEditor::typeValue); the totals follow an accepted one.
    struct TypedEdit
    {
        ParameterEditor::TypedOutcome outcome;
        std::optional<PanelStep> step;
    };
    TypedEdit typeValue(ParameterEditor &editor, int field, std::string_view typed);

    // A header field's new text (typed, stepped by a spinner, or its
    // default on leaving). The replay is the caller's: the fields replay at
    // their own moments.
    std::optional<PanelStep> setHeaderField(HeaderField field, std::string text);
    // The set-up mode taken from the typed set-up value; the totals follow.
    std::optional<PanelStep> setSetupMode(int mode);
    // Predisposizione_2: confirms the typed set-up value (refused while a
    // row speaks of the left side and the value has none); the left-side
    // fields follow and the totals are replayed.
    struct SetupEdit
    {
        HeaderFields::SetupConfirmation confirmation;
        std::optional<PanelStep> step;
    };
    SetupEdit confirmSetup(const std::string &fieldText);

    std::optional<PanelStep> setColour(int box, Colour colour);
    std::optional<PanelStep> resetColours();

    bool leftRibShown() const { return m_leftRibShown; }
    bool leftNecklineShown() const { return m_leftNecklineShown; }

    // The text of a header field in the model; nullptr for the set-up
    // button, which holds none.
    static std::string *headerText(PanelHeader &header, HeaderField field);

private:
    // An entry point's own edit, unless one is held open already.
    class Scope;

    PanelModel &m_panel;
    RowStore &m_rows;
    RunningTotals &m_totals;
    const CommandList &m_commands;
    const CommandLine &m_commandLine;
    bool m_leftRibShown = false;
    bool m_leftNecklineShown = false;

    struct Open
    {
        EditKind kind;
        int mergeKey;
        PanelSnapshot before;
    };
    std::optional<Open> m_open;
};

} // namespace kn4::editor
