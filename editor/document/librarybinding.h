#pragma once

#include "document/commandlibrary.h"

#include "kn4/libraryclient.h"

#include <filesystem>
#include <string>

namespace kn4::editor {

// The editor's CommandLibrary over the real libkn4edit2.so, loaded at run
// time from the editor's program directory by the suite's library client.
// The library stays loaded while the binding lives.
class LibraryBinding final : public CommandLibrary
{
public:
    static constexpr const char *kFileName = LibraryClient::kFileName;

    LibraryBinding() = default;
    LibraryBinding(const LibraryBinding &) = delete;
    LibraryBinding &operator=(const LibraryBinding &) = delete;

    // Loads the library from programDirectory. On failure returns false and
    // sets the start-up message that ends the program (UTF-8): the library
    // file missing, unloadable or lacking an export.
    bool load(const std::filesystem::path &programDirectory);
    bool isLoaded() const { return m_client.isLoaded(); }
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
    LibraryClient m_client;
    std::string m_error;
    std::string m_fileDate;
};

} // namespace kn4::editor
