#pragma once

#include "document/commandlibrary.h"

#include <filesystem>
#include <string>

namespace kn4::editor {

// Loads libkn4edit2.so from the editor's program directory at run time and
// resolves its thirteen exports by name. The library stays loaded while the
// binding lives.
class LibraryBinding final : public CommandLibrary
{
public:
    static constexpr const char *kFileName = "libkn4edit2.so";

    LibraryBinding() = default;
    ~LibraryBinding() override;
    LibraryBinding(const LibraryBinding &) = delete;
    LibraryBinding &operator=(const LibraryBinding &) = delete;

    // Loads the library from programDirectory. On failure returns false and
    // sets the start-up message that ends the program (UTF-8): the library
    // file missing, unloadable or lacking an export.
    bool load(const std::filesystem::path &programDirectory);
    bool isLoaded() const { return m_handle != nullptr; }
    const std::string &errorMessage() const { return m_error; }
    // Modification date and time of the library file ("dd/mm/yyyy hh:mm:ss"),
    // for the information box.
    const std::string &fileDate() const { return m_fileDate; }

    // The message shown when the library file is absent.
    static std::string missingLibraryMessage();

    Lookup CercaFunzione(std::string_view word) const override;
    ParameterPositions GetPosizioneParametri(std::int32_t index) const override;
    DefaultTexts GetDefault(std::int32_t index) const override;
    std::string click(Click operation, std::int32_t index, std::string_view text) const override;
    void SimulaFunzione(std::int32_t index, Kn4Simulazione &record) const override;
    CompileResult Compilazione(const std::string &panelPath,
                               const std::string &folder) const override;

private:
    using LookupFn = void (*)(const char *, char *, int32_t *);
    using PositionsFn = void (*)(int32_t, int32_t *, int32_t *, int32_t *, int32_t *);
    using DefaultFn = void (*)(int32_t, char *, char *, char *, char *);
    using ClickFn = void (*)(int32_t, const char *, char *);
    using SimulateFn = void (*)(int32_t, Kn4Simulazione *);
    using CompileFn = int32_t (*)(const char *, const char *, char *);

    void unload();

    void *m_handle = nullptr;
    LookupFn m_lookup = nullptr;
    PositionsFn m_positions = nullptr;
    DefaultFn m_defaults = nullptr;
    ClickFn m_clicks[8] = {};
    SimulateFn m_simulate = nullptr;
    CompileFn m_compile = nullptr;
    std::string m_error;
    std::string m_fileDate;
};

} // namespace kn4::editor
