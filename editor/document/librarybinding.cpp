#include "librarybinding.h"

#include <dlfcn.h>

#include <array>
#include <cstring>
#include <ctime>
#include <sys/stat.h>

namespace kn4::editor {

namespace {

// A text the library wrote into a KN4_TEXT_SIZE buffer, up to its first zero
// (the buffer is terminated by force, so a faulty library cannot make us
// read past it).
std::string fromBuffer(std::array<char, KN4_TEXT_SIZE> &buffer)
{
    buffer.back() = '\0';
    return std::string(buffer.data());
}

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

constexpr const char *kClickNames[8] = {
    "ClickSxP1", "ClickDxP1", "ClickSxP2", "ClickDxP2",
    "ClickSxIntervallo", "ClickDxIntervallo", "ClickSxRipetizione", "ClickDxRipetizione",
};

} // namespace

LibraryBinding::~LibraryBinding()
{
    unload();
}

std::string LibraryBinding::missingLibraryMessage()
{
    return std::string("Il file ") + kFileName + " è assente. Contattare l'assistenza tecnica.";
}

void LibraryBinding::unload()
{
    if (m_handle != nullptr)
        ::dlclose(m_handle);
    m_handle = nullptr;
    m_lookup = nullptr;
    m_positions = nullptr;
    m_defaults = nullptr;
    for (ClickFn &f : m_clicks)
        f = nullptr;
    m_simulate = nullptr;
    m_compile = nullptr;
}

bool LibraryBinding::load(const std::filesystem::path &programDirectory)
{
    unload();
    m_error.clear();
    const std::filesystem::path file = programDirectory / kFileName;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        m_error = missingLibraryMessage();
        return false;
    }
    m_fileDate = formatFileDate(file);
    m_handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_handle == nullptr) {
        const char *why = ::dlerror();
        m_error = std::string("Il file ") + kFileName + " non può essere caricato" +
                  (why != nullptr ? std::string(" (") + why + ")" : std::string()) +
                  ". Contattare l'assistenza tecnica.";
        return false;
    }

    std::string missing;
    auto resolve = [&](const char *name) -> void * {
        void *symbol = ::dlsym(m_handle, name);
        if (symbol == nullptr && missing.empty())
            missing = name;
        return symbol;
    };
    m_lookup = reinterpret_cast<LookupFn>(resolve("CercaFunzione"));
    m_positions = reinterpret_cast<PositionsFn>(resolve("GetPosizioneParametri"));
    m_defaults = reinterpret_cast<DefaultFn>(resolve("GetDefault"));
    for (int i = 0; i < 8; ++i)
        m_clicks[i] = reinterpret_cast<ClickFn>(resolve(kClickNames[i]));
    m_simulate = reinterpret_cast<SimulateFn>(resolve("SimulaFunzione"));
    m_compile = reinterpret_cast<CompileFn>(resolve("Compilazione"));
    if (!missing.empty()) {
        m_error = "La funzione '" + missing + "' non è presente nel file " + kFileName +
                  ". Contattare l'assistenza tecnica.";
        unload();
        return false;
    }
    return true;
}

CommandLibrary::Lookup LibraryBinding::CercaFunzione(std::string_view word) const
{
    Lookup result;
    if (m_lookup == nullptr)
        return result;
    const std::string zeroTerminated(word);
    std::array<char, KN4_TEXT_SIZE> name {};
    std::int32_t index = -1;
    m_lookup(zeroTerminated.c_str(), name.data(), &index);
    result.name = fromBuffer(name);
    result.index = index;
    return result;
}

ParameterPositions LibraryBinding::GetPosizioneParametri(std::int32_t index) const
{
    ParameterPositions p;
    if (m_positions != nullptr)
        m_positions(index, &p.p1First, &p.p1Last, &p.p2First, &p.p2Last);
    return p;
}

DefaultTexts LibraryBinding::GetDefault(std::int32_t index) const
{
    DefaultTexts d;
    if (m_defaults == nullptr)
        return d;
    std::array<char, KN4_TEXT_SIZE> p1 {}, p2 {}, interval {}, repetition {};
    m_defaults(index, p1.data(), p2.data(), interval.data(), repetition.data());
    d.p1 = fromBuffer(p1);
    d.p2 = fromBuffer(p2);
    d.interval = fromBuffer(interval);
    d.repetition = fromBuffer(repetition);
    return d;
}

std::string LibraryBinding::click(Click operation, std::int32_t index, std::string_view text) const
{
    const ClickFn f = m_clicks[static_cast<int>(operation)];
    if (f == nullptr)
        return {};
    const std::string zeroTerminated(text);
    std::array<char, KN4_TEXT_SIZE> result {};
    f(index, zeroTerminated.c_str(), result.data());
    return fromBuffer(result);
}

void LibraryBinding::SimulaFunzione(std::int32_t index, Kn4Simulazione &record) const
{
    if (m_simulate != nullptr)
        m_simulate(index, &record);
}

CommandLibrary::CompileResult LibraryBinding::Compilazione(const std::string &panelPath,
                                                           const std::string &folder) const
{
    CompileResult result;
    if (m_compile == nullptr)
        return result;
    std::string report(KN4_REPORT_SIZE, '\0');
    result.code = m_compile(panelPath.c_str(), folder.c_str(), report.data());
    report.back() = '\0';
    report.resize(std::strlen(report.c_str()));
    result.report = std::move(report);
    return result;
}

} // namespace kn4::editor
