#include "core/editingwatch.h"

#include "core/panelfiles.h"

#include <kn4/filelookup.h>

#include <algorithm>

namespace kn4::manager {

namespace fs = std::filesystem;

namespace {

fs::path comparable(const fs::path &path)
{
    std::error_code ec;
    fs::path result = fs::weakly_canonical(path, ec);
    return ec ? path.lexically_normal() : result;
}

} // namespace

EditingWatch::EditingWatch(fs::path programDirectory)
    : m_programDirectory(std::move(programDirectory))
{
}

fs::path EditingWatch::freeWorkingCopyName(const fs::path &panel) const
{
    // The working copy keeps the panel's name, which the editor shows in
    // its caption; a file of that name already in the program directory
    // (another edit's copy, or one left from an edit that failed) is never
    // overwritten: a number is added instead.
    const std::string stem = panel.stem().string();
    const std::string extension = panel.extension().string();
    for (int n = 1;; ++n) {
        const std::string name = n == 1 ? stem + extension : stem + "_" + std::to_string(n) + extension;
        if (!findFileIgnoringCase(m_programDirectory, name))
            return m_programDirectory / name;
    }
}

EditingWatch::BeginResult EditingWatch::begin(const fs::path &panel)
{
    BeginResult result;
    if (isBeingEdited(panel)) {
        result.outcome = BeginResult::Outcome::AlreadyEditing;
        return result;
    }
    Edit edit;
    edit.panel = panel;
    if (!readFileBytes(panel, edit.original, result.error))
        return result;
    edit.workingCopy = freeWorkingCopyName(panel);
    if (!writeFileVerified(edit.workingCopy, edit.original, result.error))
        return result;
    edit.id = m_nextId++;
    result.outcome = BeginResult::Outcome::Started;
    result.id = edit.id;
    result.workingCopy = edit.workingCopy;
    m_edits.push_back(std::move(edit));
    return result;
}

void EditingWatch::editorStarted(int id)
{
    if (Edit *edit = findEdit(id); edit != nullptr && edit->state == State::WorkingCopyMade)
        edit->state = State::EditorRunning;
}

void EditingWatch::editorFailedToStart(int id)
{
    const auto it = std::find_if(m_edits.begin(), m_edits.end(), [id](const Edit &e) { return e.id == id; });
    if (it == m_edits.end())
        return;
    std::error_code ec;
    fs::remove(it->workingCopy, ec);
    m_edits.erase(it);
}

EditingWatch::EndResult EditingWatch::editorEnded(int id)
{
    EndResult result;
    Edit *edit = findEdit(id);
    if (edit == nullptr || (edit->state != State::EditorRunning && edit->state != State::WorkingCopyMade))
        return result;
    result.panel = edit->panel;
    result.workingCopy = edit->workingCopy;

    std::string edited;
    if (!readFileBytes(edit->workingCopy, edited, result.error)) {
        edit->state = State::CopyBackFailed;
        result.outcome = EndResult::Outcome::Failed;
        return result;
    }
    if (edited == edit->original) {
        result.outcome = EndResult::Outcome::Unchanged;
    } else if (writeFileVerified(edit->panel, edited, result.error)) {
        result.outcome = EndResult::Outcome::CopiedBack;
    } else {
        edit->state = State::CopyBackFailed;
        result.outcome = EndResult::Outcome::Failed;
        return result;
    }
    edit->state = State::CopiedBack;
    std::error_code ec;
    fs::remove(edit->workingCopy, ec);
    return result;
}

void EditingWatch::listsRefreshed(int id)
{
    m_edits.erase(std::remove_if(m_edits.begin(), m_edits.end(),
                                 [id](const Edit &e) {
                                     return e.id == id && (e.state == State::CopiedBack ||
                                                           e.state == State::CopyBackFailed);
                                 }),
                  m_edits.end());
}

bool EditingWatch::isBeingEdited(const fs::path &panel) const
{
    const fs::path wanted = comparable(panel);
    return std::any_of(m_edits.begin(), m_edits.end(), [&](const Edit &e) {
        return (e.state == State::WorkingCopyMade || e.state == State::EditorRunning) &&
               comparable(e.panel) == wanted;
    });
}

bool EditingWatch::hasRunningEdits() const
{
    return std::any_of(m_edits.begin(), m_edits.end(), [](const Edit &e) {
        return e.state == State::WorkingCopyMade || e.state == State::EditorRunning;
    });
}

const EditingWatch::Edit *EditingWatch::find(int id) const
{
    const auto it = std::find_if(m_edits.begin(), m_edits.end(), [id](const Edit &e) { return e.id == id; });
    return it == m_edits.end() ? nullptr : &*it;
}

EditingWatch::Edit *EditingWatch::findEdit(int id)
{
    return const_cast<Edit *>(static_cast<const EditingWatch *>(this)->find(id));
}

} // namespace kn4::manager
