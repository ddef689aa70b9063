#include "window/panelundocommand.h"

namespace kn4::editor {

PanelUndoCommand::PanelUndoCommand(PanelStep step, Apply apply)
    : m_step(std::move(step)), m_apply(std::move(apply))
{
}

bool PanelUndoCommand::mergeWith(const QUndoCommand *other)
{
    const auto *next = dynamic_cast<const PanelUndoCommand *>(other);
    if (next == nullptr || next->id() != id() || id() < 0)
        return false;
    m_step.after = next->m_step.after;
    setObsolete(m_step.before.samePanel(m_step.after));
    return true;
}

void PanelUndoCommand::undo()
{
    m_apply(m_step.before);
}

void PanelUndoCommand::redo()
{
    if (std::exchange(m_made, false))
        return;
    m_apply(m_step.after);
}

} // namespace kn4::editor
