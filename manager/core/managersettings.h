#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kn4 {
class LabelFile;
}

namespace kn4::manager {

// The languages of the suite, by the number kept in kn4manager.ini.
enum class Language : int { Italian = 0, English = 1, Spanish = 2 };
constexpr int kLanguageCount = 3;

// The folder of a language inside the program directory ("italiano",
// "inglese", "spagnolo"); every program of the suite finds its label files
// and the keyword file there.
std::string languageFolderName(Language language);

// The five numbers of the editor's parameter string, in the order the
// editor reads them: "/" needles "/" interval marker mode "/" comb width
// "/" set-up options "/" comb width editable.
struct EditorParameters
{
    std::int32_t needles = 320;
    std::int32_t markerMode = 1;      // 1: rows carry a blank interval marker; else "-"
    std::int32_t combWidth = 30;
    std::int32_t setUpOptions = 3;    // bit mask: 1 one-sided, 2 two-sided set-up
    std::int32_t combEditable = 0;    // 1: the comb width field can be edited

    // Reads a string such as "/320/1/30/3/0" leniently (a missing number
    // keeps its default).
    static EditorParameters parse(std::string_view text);
    std::string text() const;
};

// kn4manager.ini: line 1 the editor parameter string, lines 2 to 11 the
// names of the lince controller programs (empty lines skipped), line 12 the
// language number.
struct ManagerSettings
{
    static constexpr std::size_t kLineCount = 12;
    static constexpr std::size_t kMaxControllerPrograms = 10;
    static constexpr const char *kFileName = "kn4manager.ini";

    std::string editorParameters = "/320/1/30/3/0";
    std::vector<std::string> controllerPrograms;
    Language language = Language::Italian;

    // Reads the file. False when it is missing, unreadable, shorter than 12
    // lines or names a language that does not exist: the manager cannot
    // start without knowing its language.
    static bool load(const std::filesystem::path &file, ManagerSettings &settings);
    // The file's text: 12 lines ended by CR LF, bytes as typed (Windows-1252).
    std::string fileText() const;
    // Writes the file through a temporary file beside it.
    bool save(const std::filesystem::path &file, std::string &error) const;
};

// kn4manager.sav: one line holding the controller mode (0 to 3) after a
// blank. A missing or unreadable file only means the mode was never saved:
// mode 0.
int loadSavedMode(const std::filesystem::path &file);
bool saveMode(const std::filesystem::path &file, int mode, std::string &error);

// What the manager remembers between sessions in kn4manager.sav: the mode on
// the first line as ever, then "archivio=", "disco=" and "finestra=" lines
// (the last archive and disk chosen, the window's place and size as Qt
// gives it, in hex). A reader of the mode alone still reads the first line.
struct SavedState
{
    static constexpr std::size_t kMaxLines = 16;

    int mode = 0;
    std::string archive;
    std::string disk;
    std::string geometry;

    static SavedState load(const std::filesystem::path &file);
    static SavedState fromText(std::string_view text);
    std::string fileText() const;
    // Written whole through a temporary file beside it.
    bool save(const std::filesystem::path &file, std::string &error) const;

private:
    static SavedState fromLines(const LabelFile &lines);
};

} // namespace kn4::manager
