#include "kn4/libraryclient.h"

#include <dlfcn.h>

#include <array>
#include <cstring>
#include <system_error>

namespace kn4 {

namespace {

constexpr const char *kClickNames[8] = {
    "ClickSxP1", "ClickDxP1", "ClickSxP2", "ClickDxP2",
    "ClickSxIntervallo", "ClickDxIntervallo", "ClickSxRipetizione", "ClickDxRipetizione",
};

using TextBuffer = std::array<char, KN4_TEXT_SIZE>;

// A text the library wrote into a KN4_TEXT_SIZE buffer, up to its first zero;
// the last byte is zeroed first, so a faulty library cannot make us read
// past the buffer.
std::string fromBuffer(TextBuffer &buffer)
{
    buffer.back() = '\0';
    return std::string(buffer.data());
}

} // namespace

LibraryClient::~LibraryClient()
{
    unload();
}

void LibraryClient::unload()
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
    if (m_status == Status::Loaded)
        m_status = Status::NotLoaded;
}

bool LibraryClient::load(const std::filesystem::path &folder)
{
    unload();
    m_missing.clear();
    m_reason.clear();
    // An absolute path makes dlopen take this file and search nowhere else.
    std::error_code ec;
    m_file = std::filesystem::absolute(folder / kFileName, ec);
    if (ec)
        m_file = std::filesystem::current_path(ec) / folder / kFileName;
    if (!std::filesystem::is_regular_file(m_file, ec)) {
        m_status = Status::Missing;
        return false;
    }
    m_handle = ::dlopen(m_file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_handle == nullptr) {
        const char *why = ::dlerror();
        m_reason = why != nullptr ? why : "unknown error";
        m_status = Status::Unloadable;
        return false;
    }

    auto resolve = [this](const char *name) -> void * {
        void *symbol = ::dlsym(m_handle, name);
        if (symbol == nullptr && m_missing.empty())
            m_missing = name;
        return symbol;
    };
    m_lookup = reinterpret_cast<LookupFn>(resolve("CercaFunzione"));
    m_positions = reinterpret_cast<PositionsFn>(resolve("GetPosizioneParametri"));
    m_defaults = reinterpret_cast<DefaultFn>(resolve("GetDefault"));
    for (int i = 0; i < 8; ++i)
        m_clicks[i] = reinterpret_cast<ClickFn>(resolve(kClickNames[i]));
    m_simulate = reinterpret_cast<SimulateFn>(resolve("SimulaFunzione"));
    m_compile = reinterpret_cast<CompileFunction>(resolve("Compilazione"));
    if (!m_missing.empty()) {
        unload();
        m_status = Status::MissingFunction;
        return false;
    }
    m_status = Status::Loaded;
    return true;
}

std::string LibraryClient::errorMessage() const
{
    switch (m_status) {
    case Status::Loaded:
        return {};
    case Status::NotLoaded:
        return "the compiler library has not been loaded";
    case Status::Missing:
        return "the compiler library " + m_file.string() + " is missing";
    case Status::Unloadable:
        return "cannot load the compiler library " + m_file.string() + ": " + m_reason;
    case Status::MissingFunction:
        return "the compiler library " + m_file.string() + " has no function " + m_missing;
    }
    return {};
}

LibraryClient::Lookup LibraryClient::CercaFunzione(std::string_view word) const
{
    Lookup result;
    if (m_lookup == nullptr)
        return result;
    const std::string zeroTerminated(word);
    TextBuffer name {};
    std::int32_t index = -1;
    m_lookup(zeroTerminated.c_str(), name.data(), &index);
    result.name = fromBuffer(name);
    result.index = index;
    return result;
}

LibraryClient::Positions LibraryClient::GetPosizioneParametri(std::int32_t index) const
{
    Positions p;
    if (m_positions != nullptr)
        m_positions(index, &p.p1First, &p.p1Last, &p.p2First, &p.p2Last);
    return p;
}

LibraryClient::Defaults LibraryClient::GetDefault(std::int32_t index) const
{
    Defaults d;
    if (m_defaults == nullptr)
        return d;
    TextBuffer p1 {}, p2 {}, interval {}, repetition {};
    m_defaults(index, p1.data(), p2.data(), interval.data(), repetition.data());
    d.p1 = fromBuffer(p1);
    d.p2 = fromBuffer(p2);
    d.interval = fromBuffer(interval);
    d.repetition = fromBuffer(repetition);
    return d;
}

std::string LibraryClient::click(Click operation, std::int32_t index, std::string_view text) const
{
    const int which = static_cast<int>(operation);
    if (which < 0 || which >= 8 || m_clicks[which] == nullptr)
        return {};
    const std::string zeroTerminated(text);
    TextBuffer result {};
    m_clicks[which](index, zeroTerminated.c_str(), result.data());
    return fromBuffer(result);
}

void LibraryClient::SimulaFunzione(std::int32_t index, Kn4Simulazione &record) const
{
    if (m_simulate != nullptr)
        m_simulate(index, &record);
}

LibraryClient::CompileResult LibraryClient::Compilazione(const std::string &panelPath,
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

} // namespace kn4
