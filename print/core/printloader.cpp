#include "printloader.h"

#include "profilewalk.h"

#include "kn4/cp1252.h"
#include "kn4/filereader.h"

#include <chrono>
#include <ctime>
#include <system_error>

namespace kn4 {

namespace {

constexpr std::string_view kErrorTitle = "ERROR....";

// The file's last change as dd/mm/yyyy hh:mm:ss, local time.
std::string fileDate(const std::filesystem::path &path)
{
    std::error_code ec;
    const auto written = std::filesystem::last_write_time(path, ec);
    if (ec)
        return {};
    const auto system = std::chrono::file_clock::to_sys(written);
    const std::time_t t = std::chrono::system_clock::to_time_t(system);
    std::tm local{};
    localtime_r(&t, &local);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%d/%m/%Y %H:%M:%S", &local);
    return buffer;
}

} // namespace

bool PrintLoader::fail(std::string title, std::string text)
{
    m_failure = Failure{std::move(title), std::move(text)};
    return false;
}

std::string PrintLoader::label(std::size_t n) const
{
    return cp1252ToUtf8(m_labels.text(n));
}

bool PrintLoader::loadFiles(std::string_view argumentString)
{
    m_arguments = PrintArguments::parse(argumentString);
    if (!m_arguments.error.empty()) {
        fail(std::string(kErrorTitle), m_arguments.error);
        m_failure->usage = true;
        return false;
    }
    // A file that is there but cannot be read (a folder, a read error) gets
    // the reason under the message.
    auto notRead = [](const std::filesystem::path &path, std::string message, const FileContent &failure) {
        if (!failure.missing())
            message += "\n" + failure.message(path);
        return message;
    };
    const std::filesystem::path labelPath = m_arguments.languageFile(kLabelFile);
    const FileContent labels = FileReader::read(labelPath, FileReader::kTextFileLimit);
    if (!labels) {
        // Neither side of the first comma names what it should: the panel's
        // own path held a comma. Say which panel is missing.
        std::error_code ec;
        if (labels.missing() && !std::filesystem::is_regular_file(m_arguments.panelPath, ec))
            return fail(std::string(kErrorTitle), "stampa: impossibile aprire il pannello " + m_arguments.panelPath +
                                                      " (argomento: \"" + std::string(argumentString) + "\")");
        return fail(std::string(kErrorTitle), notRead(labelPath, "File stampa.ini non trovato", labels));
    }
    m_labels = LabelFile::fromText(labels.bytes, kLabelCount);
    const std::filesystem::path keywordPath = m_arguments.languageFile(kKeywordFile);
    FileContent failure;
    auto aliases = AliasTable::load(keywordPath, &failure);
    if (!aliases)
        return fail(std::string(kErrorTitle), notRead(keywordPath, "File VUZUDO.KEY non trovato", failure));
    m_aliases = std::move(*aliases);
    return true;
}

bool PrintLoader::loadPanel()
{
    const std::filesystem::path path(m_arguments.panelPath);
    std::string reason;
    auto panel = PrintedPanel::load(path, &reason);
    if (!panel)
        return fail("ERR...", label(36) + "\n" + m_arguments.panelPath + "\n" + reason);
    if (!panel->hasByte26())
        return fail("ERR...", label(36) + "\n" + m_arguments.panelPath);
    if (!panel->hasCodeBlock())
        return fail(m_arguments.panelPath, label(29));

    m_content.panelPath = m_arguments.panelPath;
    m_content.fileDate = fileDate(path);
    m_content.header = PanelHeaderValues::read(*panel, m_labels);
    m_content.listing =
        ListingBuilder(m_aliases, m_labels, m_content.header.setupValue).build(panel->programText());
    ProfileWalk::Result profile = ProfileWalk::walk(m_content.header, panel->codeBlock());
    if (profile.damaged)
        return fail(m_arguments.panelPath, label(kDamagedLabel));
    m_content.profile = std::move(profile.drawing);
    return true;
}

std::string PrintLoader::listingText() const
{
    std::string text;
    for (const ListingLine &line : m_content.listing)
        text += cp1252ToUtf8(line.text) + "\n";
    return text;
}

std::vector<PrintPage> PrintLoader::pages() const
{
    return PrintJobBuilder(m_labels).build(m_content);
}

} // namespace kn4
