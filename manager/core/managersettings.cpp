#include "core/managersettings.h"

#include <kn4/atomicfile.h>
#include <kn4/labelfile.h>
#include <kn4/number.h>

#include <algorithm>

namespace kn4::manager {

namespace {

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

} // namespace

std::string languageFolderName(Language language)
{
    switch (language) {
    case Language::English: return "inglese";
    case Language::Spanish: return "spagnolo";
    case Language::Italian: break;
    }
    return "italiano";
}

EditorParameters EditorParameters::parse(std::string_view text)
{
    EditorParameters parameters;
    std::int32_t *fields[] = {&parameters.needles, &parameters.markerMode, &parameters.combWidth,
                              &parameters.setUpOptions, &parameters.combEditable};
    std::size_t position = text.find('/');
    for (std::int32_t *field : fields) {
        if (position == std::string_view::npos)
            break;
        const std::size_t next = text.find('/', position + 1);
        const std::string_view piece = text.substr(position + 1, next == std::string_view::npos
                                                                     ? std::string_view::npos
                                                                     : next - position - 1);
        if (hasLeadingInteger(piece))
            *field = leadingInteger(piece);
        position = next;
    }
    return parameters;
}

std::string EditorParameters::text() const
{
    return "/" + std::to_string(needles) + "/" + std::to_string(markerMode) + "/" +
           std::to_string(combWidth) + "/" + std::to_string(setUpOptions) + "/" +
           std::to_string(combEditable);
}

bool ManagerSettings::load(const std::filesystem::path &file, ManagerSettings &settings)
{
    const LabelFile lines = LabelFile::load(file, kLineCount);
    if (lines.status() == LabelFile::Status::Missing || lines.lineCount() < kLineCount)
        return false;
    const std::string languageLine = trimmed(lines.text(11));
    if (!hasLeadingInteger(languageLine))
        return false;
    const std::int32_t language = leadingInteger(languageLine);
    if (language < 0 || language >= kLanguageCount)
        return false;
    ManagerSettings read;
    read.editorParameters = trimmed(lines.text(0));
    for (std::size_t line = 1; line <= kMaxControllerPrograms; ++line) {
        std::string name = trimmed(lines.text(line));
        if (!name.empty())
            read.controllerPrograms.push_back(std::move(name));
    }
    read.language = Language(language);
    settings = std::move(read);
    return true;
}

std::string ManagerSettings::fileText() const
{
    std::string text = editorParameters + "\r\n";
    for (std::size_t i = 0; i < kMaxControllerPrograms; ++i)
        text += (i < controllerPrograms.size() ? controllerPrograms[i] : std::string()) + "\r\n";
    text += std::to_string(int(language)) + "\r\n";
    return text;
}

bool ManagerSettings::save(const std::filesystem::path &file, std::string &error) const
{
    return writeFileAtomically(file, fileText(), &error);
}

int loadSavedMode(const std::filesystem::path &file)
{
    const LabelFile lines = LabelFile::load(file, 1);
    if (lines.status() == LabelFile::Status::Missing)
        return 0;
    const std::int32_t mode = leadingInteger(lines.text(0));
    return mode >= 0 && mode <= 3 ? mode : 0;
}

bool saveMode(const std::filesystem::path &file, int mode, std::string &error)
{
    return writeFileAtomically(file, " " + std::to_string(mode) + "\r\n", &error);
}

SavedState SavedState::load(const std::filesystem::path &file)
{
    return fromLines(LabelFile::load(file, kMaxLines));
}

SavedState SavedState::fromText(std::string_view text)
{
    return fromLines(LabelFile::fromText(text, kMaxLines));
}

SavedState SavedState::fromLines(const LabelFile &lines)
{
    SavedState state;
    const std::int32_t mode = lines.lineCount() > 0 ? leadingInteger(lines.text(0)) : 0;
    state.mode = mode >= 0 && mode <= 3 ? mode : 0;
    for (std::size_t i = 1; i < lines.lineCount(); ++i) {
        const std::string line = lines.text(i);
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
        if (key == "archivio")
            state.archive = value;
        else if (key == "disco")
            state.disk = value;
        else if (key == "finestra")
            state.geometry = value;
    }
    return state;
}

std::string SavedState::fileText() const
{
    // A value never runs past its line.
    const auto clean = [](std::string value) {
        value.erase(std::remove_if(value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }),
                    value.end());
        return value;
    };
    return " " + std::to_string(mode) + "\r\narchivio=" + clean(archive) + "\r\ndisco=" + clean(disk)
           + "\r\nfinestra=" + clean(geometry) + "\r\n";
}

bool SavedState::save(const std::filesystem::path &file, std::string &error) const
{
    return writeFileAtomically(file, fileText(), &error);
}

} // namespace kn4::manager
