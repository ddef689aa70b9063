#include "librarybinding.h"

#include <ctime>
#include <sys/stat.h>

namespace kn4::editor {

namespace {

std::string formatFileDate(const std::filesystem::path &file)
{
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0)
        return {};
    std::tm local {};
    if (::localtime_r(&info.st_mtime, &local) == nullptr)
        return {};
    char text[32];
    std::strftime(text, sizeof text, "%d/%m/%Y %H:%M:%S", &local);
    return text;
}

} // namespace

std::string LibraryBinding::missingLibraryMessage()
{
    return std::string("Il file ") + kFileName + " è assente. Contattare l'assistenza tecnica.";
}

bool LibraryBinding::load(const std::filesystem::path &programDirectory)
{
    m_error.clear();
    m_fileDate.clear();
    const bool loaded = m_client.load(programDirectory);
    if (m_client.status() != LibraryClient::Status::Missing)
        m_fileDate = formatFileDate(m_client.file());
    switch (m_client.status()) {
    case LibraryClient::Status::Loaded:
    case LibraryClient::Status::NotLoaded:
        break;
    case LibraryClient::Status::Missing:
        m_error = missingLibraryMessage();
        break;
    case LibraryClient::Status::Unloadable:
        m_error = std::string("Il file ") + kFileName + " non può essere caricato (" + m_client.loaderReason() +
                  "). Contattare l'assistenza tecnica.";
        break;
    case LibraryClient::Status::MissingFunction:
        m_error = "La funzione '" + m_client.missingFunction() + "' non è presente nel file " + kFileName +
                  ". Contattare l'assistenza tecnica.";
        break;
    }
    return loaded;
}

CommandLibrary::Lookup LibraryBinding::CercaFunzione(std::string_view word) const
{
    return m_client.CercaFunzione(word);
}

ParameterPositions LibraryBinding::GetPosizioneParametri(std::int32_t index) const
{
    const LibraryClient::Positions p = m_client.GetPosizioneParametri(index);
    ParameterPositions positions;
    positions.p1First = p.p1First;
    positions.p1Last = p.p1Last;
    positions.p2First = p.p2First;
    positions.p2Last = p.p2Last;
    return positions;
}

DefaultTexts LibraryBinding::GetDefault(std::int32_t index) const
{
    LibraryClient::Defaults d = m_client.GetDefault(index);
    DefaultTexts texts;
    texts.p1 = std::move(d.p1);
    texts.p2 = std::move(d.p2);
    texts.interval = std::move(d.interval);
    texts.repetition = std::move(d.repetition);
    return texts;
}

std::string LibraryBinding::click(Click operation, std::int32_t index, std::string_view text) const
{
    return m_client.click(operation, index, text);
}

void LibraryBinding::SimulaFunzione(std::int32_t index, Kn4Simulazione &record) const
{
    m_client.SimulaFunzione(index, record);
}

CommandLibrary::CompileResult LibraryBinding::Compilazione(const std::string &panelPath,
                                                           const std::string &folder) const
{
    return m_client.Compilazione(panelPath, folder);
}

} // namespace kn4::editor
