// The panel's edits without a window: every entry point gives one step
// whose snapshots put the panel back byte for byte (as the file would be
// written) and forward again; an edit that changes nothing gives none; a
// held edit gathers its steps into one.

#include "window/core/paneldocument.h"

#include "document/editorstartup.h"
#include "document/librarybinding.h"
#include "document/palettecodec.h"
#include "document/panelwriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

namespace kn4::editor {
namespace {

namespace fs = std::filesystem;

class PanelDocumentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_library.load(KN4_PROGRAM_DIR)) << m_library.errorMessage();
        EditorStartup::Input input;
        input.arguments = (fs::path(KN4_PROGRAM_DIR) / "archivi" / "DEMO" / "DAVANTI.KN4").string() + "," +
                          KN4_PROGRAM_DIR + "/italiano/";
        m_startup = EditorStartup::run(input, &m_library, {}, paletteColourCodec());
        ASSERT_TRUE(m_startup.panelFromFile);
        m_rows = std::make_unique<RowStore>(m_library);
        m_totals = std::make_unique<RunningTotals>(m_library);
        m_document = std::make_unique<PanelDocument>(m_startup.panel, *m_rows, *m_totals, *m_startup.commands,
                                                     m_startup.commandLine);
        m_editor = std::make_unique<ParameterEditor>(*m_rows, m_library, *m_startup.commands);
        m_rows->load(m_startup.panel.rows);
        m_document->recompute();
    }

    // The panel file the document would be saved as.
    std::string bytes()
    {
        PanelModel panel = m_document->panel();
        panel.rows = m_rows->rows();
        return PanelWriter::sourceText(panel, paletteColourCodec());
    }

    RowCommand command(const char *name) const
    {
        const int entry = m_startup.commands->findByDisplayName(name);
        const CommandEntry &e = m_startup.commands->entry(entry);
        return {e.displayName, e.functionCode, entry};
    }

    LibraryBinding m_library;
    StartupResult m_startup;
    std::unique_ptr<RowStore> m_rows;
    std::unique_ptr<RunningTotals> m_totals;
    std::unique_ptr<PanelDocument> m_document;
    std::unique_ptr<ParameterEditor> m_editor;
};

TEST_F(PanelDocumentTest, EveryEditGivesAStepThatPutsThePanelBack)
{
    using Step = std::optional<PanelStep>;
    const struct
    {
        const char *name;
        EditKind kind;
        std::function<Step()> edit;
    } cases[] = {
        {"insert", EditKind::InsertRow, [&] { m_rows->selectRow(2); return m_document->insertCommand(command("CALATO")).step; }},
        {"delete", EditKind::DeleteRow, [&] { m_rows->selectRow(3); return m_document->deleteSelectedRow().step; }},
        {"typed", EditKind::TypedValue,
         [&] { m_rows->selectRow(6); return m_document->typeValue(*m_editor, ParameterEditor::kIntervalField, "90").step; }},
        {"header", EditKind::HeaderField, [&] { return m_document->setHeaderField(HeaderField::Parte, "DAVANTIAB"); }},
        {"note", EditKind::HeaderField, [&] { return m_document->setHeaderField(HeaderField::Note3, "altro"); }},
        {"set-up", EditKind::SetUp, [&] { return m_document->confirmSetup("2").step; }},
        {"colour", EditKind::Colour, [&] { return m_document->setColour(0, PanelModel::kDefaultColours[3]); }},
        {"reset", EditKind::ResetColours, [&] { return m_document->resetColours(); }},
        {"held click", EditKind::ParameterStep,
         [&] {
             m_rows->selectRow(6);
             m_document->beginEdit(EditKind::ParameterStep);
             m_editor->Riga_MouseDown(true, ParameterEditor::kLeftButton, 18 * ParameterEditor::kTwipsPerColumn + 50);
             m_editor->step();
             m_editor->step();
             m_document->recompute();
             return m_document->endEdit();
         }},
    };
    const std::string original = bytes();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Step step = c.edit();
        ASSERT_TRUE(step);
        EXPECT_EQ(step->kind, c.kind);
        const std::string edited = bytes();
        EXPECT_NE(edited, original);
        m_document->restore(step->before);
        EXPECT_EQ(bytes(), original);
        m_document->restore(step->after);
        EXPECT_EQ(bytes(), edited);
        m_document->restore(step->before);
    }
    EXPECT_EQ(m_totals->programSteps(), 282);

    // Nothing changed, no step: the same text, the same colour, a refused
    // insert before row 0, a value typed as it stands.
    EXPECT_FALSE(m_document->setHeaderField(HeaderField::Parte, m_startup.panel.header.parte));
    EXPECT_FALSE(m_document->setColour(1, m_startup.panel.colours[1]));
    m_rows->selectRow(0);
    EXPECT_EQ(m_document->insertCommand(command("CALATO")).result, RowStore::EditResult::Refused);
    m_rows->selectRow(6);
    EXPECT_FALSE(m_document->typeValue(*m_editor, ParameterEditor::kIntervalField, "96").step);
    EXPECT_EQ(bytes(), original);
}

} // namespace
} // namespace kn4::editor
