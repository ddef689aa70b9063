#include "core/editingwatch.h"

#include "core/panelfiles.h"

#include <kn4/atomicfile.h>
#include <kn4/filelookup.h>
#include <kn4/filereader.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>

namespace kn4::manager {

namespace fs = std::filesystem;

namespace {

// An edit record is a few lines.
constexpr std::size_t kMaxRecordBytes = 16384;

fs::path comparable(const fs::path &path)
{
    std::error_code ec;
    fs::path result = fs::weakly_canonical(path, ec);
    return ec ? path.lexically_normal() : result;
}

// The panel as it stands in its folder, found ignoring letter case.
fs::path existingPanel(const fs::path &panel)
{
    if (const auto found = findFileIgnoringCase(panel.parent_path(), panel.filename().string()))
        return *found;
    return panel;
}

fs::path recordOf(const fs::path &workingCopy)
{
    return workingCopy.string() + EditingWatch::kRecordSuffix;
}

std::string recordText(const fs::path &panel, const std::string &hash, const EditOwner &owner)
{
    return "panel=" + panel.string() + "\nhash=" + hash + "\n" + owner.text();
}

std::string recordValue(std::string_view text, std::string_view key)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == '=')
            return std::string(line.substr(key.size() + 1));
        start = end + 1;
    }
    return {};
}

// "DAVANTI_modificato.KN4" beside the panel, or "_modificato_2" and on
// while a name is taken (in any letter case).
fs::path keptName(const fs::path &panel)
{
    const fs::path folder = panel.parent_path();
    const std::string stem = panel.stem().string() + EditingWatch::kKeptSuffix;
    const std::string extension = panel.extension().string();
    for (int n = 1;; ++n) {
        const std::string name = n == 1 ? stem + extension : stem + "_" + std::to_string(n) + extension;
        if (!findFileIgnoringCase(folder, name) && !fs::exists(fs::symlink_status(folder / name)))
            return folder / name;
    }
}

void removeQuietly(const fs::path &path)
{
    std::error_code ec;
    fs::remove(path, ec);
}

} // namespace

EditingWatch::EditingWatch(fs::path programDirectory, const EditOwner &self)
    : m_programDirectory(std::move(programDirectory)), m_self(self)
{
}

EditingWatch::~EditingWatch()
{
    // A working copy that did not come back keeps its record, so the next
    // start offers it again; only the marks on the panels go.
    for (const Edit &edit : m_edits)
        EditLock::release(edit.panel, edit.owner);
}

std::string EditingWatch::hashOf(std::string_view bytes)
{
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

fs::path EditingWatch::freeWorkingCopyName(const fs::path &panel) const
{
    // The working copy keeps the panel's name, which the editor shows in
    // its caption; a file of that name already in the program directory
    // (another edit's copy, or one left from an edit that failed) is never
    // overwritten, nor its record: a number is added instead.
    const std::string stem = panel.stem().string();
    const std::string extension = panel.extension().string();
    for (int n = 1;; ++n) {
        const std::string name = n == 1 ? stem + extension : stem + "_" + std::to_string(n) + extension;
        if (!findFileIgnoringCase(m_programDirectory, name) &&
            !findFileIgnoringCase(m_programDirectory, name + kRecordSuffix))
            return m_programDirectory / name;
    }
}

bool EditingWatch::claim(const fs::path &panel, const std::optional<std::optional<EditOwner>> &breakLockOf,
                         Edit &edit, BeginResult &result)
{
    const fs::path wanted = comparable(panel);
    if (std::any_of(m_edits.begin(), m_edits.end(), [&](const Edit &e) {
            return (e.state == State::WorkingCopyMade || e.state == State::EditorRunning) &&
                   comparable(e.panel) == wanted;
        })) {
        result.outcome = BeginResult::Outcome::AlreadyEditing;
        return false;
    }
    if (breakLockOf && !EditLock::breakLock(panel, *breakLockOf, &result.error))
        return false;
    edit.panel = panel;
    edit.workingCopy = freeWorkingCopyName(panel);
    edit.owner = m_self;
    edit.owner.workingCopy = edit.workingCopy.string();
    const EditLock::Result lock = EditLock::acquire(panel, edit.owner);
    if (lock.outcome == EditLock::Result::Outcome::Held) {
        result.outcome = BeginResult::Outcome::EditedElsewhere;
        result.owner = lock.owner;
        return false;
    }
    if (!lock.acquired()) {
        result.error = lock.error;
        return false;
    }
    return true;
}

EditingWatch::BeginResult EditingWatch::begin(const fs::path &requested,
                                              const std::optional<std::optional<EditOwner>> &breakLockOf)
{
    BeginResult result;
    const fs::path panel = existingPanel(requested);
    Edit edit;
    if (!claim(panel, breakLockOf, edit, result))
        return result;
    const auto fail = [&](std::string error) {
        EditLock::release(panel, edit.owner);
        removeQuietly(edit.workingCopy);
        removeQuietly(recordOf(edit.workingCopy));
        result.error = std::move(error);
        return result;
    };
    FileContent content = FileReader::read(panel, FileReader::kPanelLimit);
    if (!content)
        return fail(content.message(panel));
    edit.original = std::move(content.bytes);
    edit.identity = content.identity;
    // The record first: a working copy never exists without it, so a
    // manager that dies now leaves an orphan the next start recognises.
    std::string error;
    if (!writeFileAtomically(recordOf(edit.workingCopy), recordText(panel, hashOf(edit.original), edit.owner),
                             FileIdentity{}, &error))
        return fail(error);
    VerifiedWrite options;
    options.expected = FileIdentity{};  // a new file: never over one that appeared meanwhile
    if (!writeFileVerified(edit.workingCopy, edit.original, error, options))
        return fail(error);
    edit.id = m_nextId++;
    result.outcome = BeginResult::Outcome::Started;
    result.id = edit.id;
    result.workingCopy = edit.workingCopy;
    m_edits.push_back(std::move(edit));
    return result;
}

EditingWatch::BeginResult EditingWatch::beginNew(const fs::path &panel)
{
    BeginResult result;
    if (findFileIgnoringCase(panel.parent_path(), panel.filename().string())
        || fs::exists(fs::symlink_status(panel))) {
        result.error = panel.string() + ": " + std::generic_category().message(EEXIST);
        return result;
    }
    Edit edit;
    edit.isNew = true;
    if (!claim(panel, std::nullopt, edit, result))
        return result;
    // The record names the panel to come; the hash of no bytes marks it new.
    std::string error;
    if (!writeFileAtomically(recordOf(edit.workingCopy), recordText(panel, hashOf({}), edit.owner), FileIdentity{},
                             &error)) {
        EditLock::release(panel, edit.owner);
        result.error = error;
        return result;
    }
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

void EditingWatch::forget(const Edit &edit)
{
    EditLock::release(edit.panel, edit.owner);
    removeQuietly(edit.workingCopy);
    removeQuietly(recordOf(edit.workingCopy));
}

void EditingWatch::editorFailedToStart(int id)
{
    const auto it = std::find_if(m_edits.begin(), m_edits.end(), [id](const Edit &e) { return e.id == id; });
    if (it == m_edits.end())
        return;
    forget(*it);
    m_edits.erase(it);
}

EditingWatch::EndResult EditingWatch::copyBack(const fs::path &panel, const fs::path &workingCopy,
                                               const std::string &originalHash,
                                               const FileIdentity &identityAtStart, bool isNew)
{
    EndResult result;
    result.panel = panel;
    result.workingCopy = workingCopy;
    const FileContent edited = FileReader::read(workingCopy, FileReader::kPanelLimit);
    if (!edited && edited.missing() && isNew) {
        // A new panel the editor never saved: there is nothing to bring.
        result.outcome = EndResult::Outcome::Unchanged;
        return result;
    }
    if (!edited) {
        result.outcome = edited.missing() ? EndResult::Outcome::WorkingCopyMissing : EndResult::Outcome::Failed;
        result.error = edited.message(workingCopy);
        return result;
    }
    if (hashOf(edited.bytes) == originalHash) {
        result.outcome = EndResult::Outcome::Unchanged;
        return result;
    }

    // Is the panel still what the edit began from? Its identity on disk
    // says so at once; else its bytes must hash the same (a copy of equal
    // content, a touched date). The write then expects exactly the file
    // looked at, so nothing that lands in between is overwritten.
    std::optional<FileIdentity> expected;
    const FileIdentity now = FileIdentity::ofPath(panel.c_str());
    if (isNew && !now.exists && !findFileIgnoringCase(panel.parent_path(), panel.filename().string())) {
        expected = FileIdentity{};  // still no panel of that name: it is made
    } else if (identityAtStart.exists && now == identityAtStart) {
        expected = now;
    } else if (now.exists) {
        const FileContent current = FileReader::read(panel, FileReader::kPanelLimit);
        if (current && hashOf(current.bytes) == originalHash)
            expected = current.identity;
    }
    if (expected) {
        bool changed = false;
        VerifiedWrite options;
        options.expected = *expected;
        options.changed = &changed;
        if (writeFileVerified(panel, edited.bytes, result.error, options)) {
            result.outcome = EndResult::Outcome::CopiedBack;
            return result;
        }
        if (!changed) {
            result.outcome = EndResult::Outcome::Failed;
            return result;
        }
    }
    // Changed (or gone) meanwhile: both versions stay, side by side.
    result.keptAs = keptName(panel);
    VerifiedWrite options;
    options.expected = FileIdentity{};
    if (writeFileVerified(result.keptAs, edited.bytes, result.error, options)) {
        result.outcome = EndResult::Outcome::KeptBeside;
    } else {
        result.keptAs.clear();
        result.outcome = EndResult::Outcome::Failed;
    }
    return result;
}

EditingWatch::EndResult EditingWatch::editorEnded(int id)
{
    Edit *edit = findEdit(id);
    if (edit == nullptr || (edit->state != State::EditorRunning && edit->state != State::WorkingCopyMade))
        return {};
    EndResult result = copyBack(edit->panel, edit->workingCopy, hashOf(edit->original), edit->identity, edit->isNew);
    switch (result.outcome) {
    case EndResult::Outcome::Unchanged:
    case EndResult::Outcome::CopiedBack:
    case EndResult::Outcome::KeptBeside:
    case EndResult::Outcome::WorkingCopyMissing:
        // Nothing left to bring back: the mark, the copy and its record go.
        edit->state = State::CopiedBack;
        forget(*edit);
        break;
    case EndResult::Outcome::Failed:
    case EndResult::Outcome::UnknownEdit:
        // The working copy and its record stay for the next start; the panel
        // is free again.
        edit->state = State::CopyBackFailed;
        EditLock::release(edit->panel, edit->owner);
        break;
    }
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

bool EditingWatch::isBeingEdited(const fs::path &requested) const
{
    const fs::path panel = existingPanel(requested);
    const fs::path wanted = comparable(panel);
    const bool here = std::any_of(m_edits.begin(), m_edits.end(), [&](const Edit &e) {
        return (e.state == State::WorkingCopyMade || e.state == State::EditorRunning) &&
               comparable(e.panel) == wanted;
    });
    return here || editedElsewhere(panel).has_value();
}

std::optional<std::optional<EditOwner>> EditingWatch::editedElsewhere(const fs::path &panel) const
{
    return EditLock::heldByOther(existingPanel(panel), m_self);
}

bool EditingWatch::folderHasEdits(const fs::path &folder) const
{
    const fs::path wanted = comparable(folder);
    if (std::any_of(m_edits.begin(), m_edits.end(), [&](const Edit &e) {
            return (e.state == State::WorkingCopyMade || e.state == State::EditorRunning) &&
                   comparable(e.panel.parent_path()) == wanted;
        }))
        return true;
    const std::string suffix = EditLock::kSuffix;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0 &&
            EditLock::heldByOther(folder / name.substr(0, name.size() - suffix.size()), m_self))
            return true;
    }
    return false;
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

std::vector<EditingWatch::Orphan> EditingWatch::orphans() const
{
    std::vector<Orphan> found;
    std::error_code ec;
    for (fs::directory_iterator it(m_programDirectory, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const std::string suffix = kRecordSuffix;
        if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        const FileContent record = FileReader::read(it->path(), kMaxRecordBytes);
        if (!record)
            continue;
        Orphan orphan;
        orphan.record = it->path();
        orphan.workingCopy = m_programDirectory / name.substr(0, name.size() - suffix.size());
        orphan.panel = recordValue(record.bytes, "panel");
        orphan.originalHash = recordValue(record.bytes, "hash");
        const auto owner = EditOwner::parse(record.bytes);
        if (owner)
            orphan.owner = *owner;
        // A running edit owns it: this manager's, or another manager's of
        // this computer. A record of another computer (a shared program
        // directory) can never be known to be over.
        if (owner && (owner->sameProcess(m_self) || !owner->isStale()))
            continue;
        std::error_code typeError;
        if (!fs::is_regular_file(orphan.workingCopy, typeError)) {
            // The working copy went; the record tells of nothing left.
            removeQuietly(orphan.record);
            continue;
        }
        found.push_back(std::move(orphan));
    }
    std::sort(found.begin(), found.end(),
              [](const Orphan &a, const Orphan &b) { return a.workingCopy < b.workingCopy; });
    return found;
}

EditingWatch::EndResult EditingWatch::bringBack(const Orphan &orphan)
{
    EndResult result;
    if (orphan.panel.empty()) {
        result.outcome = EndResult::Outcome::Failed;
        result.workingCopy = orphan.workingCopy;
        result.error = orphan.record.string() + ": names no panel";
        return result;
    }
    const fs::path panel = existingPanel(orphan.panel);
    // The compare runs on the hash alone: the identity of then is not known.
    // An edit of a new panel is recorded with the hash of no bytes.
    result = copyBack(panel, orphan.workingCopy, orphan.originalHash, FileIdentity{}, orphan.originalHash == hashOf({}));
    if (result.outcome == EndResult::Outcome::Failed)
        return result;
    discard(orphan);
    return result;
}

bool EditingWatch::discard(const Orphan &orphan, std::string *error)
{
    std::error_code ec;
    fs::remove(orphan.workingCopy, ec);
    if (ec) {
        if (error)
            *error = orphan.workingCopy.string() + ": " + ec.message();
        return false;
    }
    removeQuietly(orphan.record);
    if (!orphan.panel.empty())
        EditLock::release(existingPanel(orphan.panel), orphan.owner);
    return true;
}

} // namespace kn4::manager
