#pragma once

#include "window/core/paneldocument.h"

#include <QUndoCommand>

#include <functional>

namespace kn4::editor {

// One edit of the panel on the window's undo stack: the snapshots the
// panel's core took before and after it. Undo puts the first back, redo the
// second; the edit itself is made before the command is pushed, so the
// push does not make it again. Steps with the same merge key (the typing
// into one header field) merge into one command, and a command that ends
// where it began leaves the stack.
class PanelUndoCommand : public QUndoCommand
{
public:
    using Apply = std::function<void(const PanelSnapshot &)>;

    PanelUndoCommand(PanelStep step, Apply apply);

    int id() const override { return m_step.mergeKey; }
    bool mergeWith(const QUndoCommand *other) override;
    void undo() override;
    void redo() override;

    const PanelStep &step() const { return m_step; }

private:
    PanelStep m_step;
    Apply m_apply;
    bool m_made = true;  // the panel already shows the step
};

} // namespace kn4::editor
