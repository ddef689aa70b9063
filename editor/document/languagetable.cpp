#include "languagetable.h"

#include "document/rowtext.h"
#include "kn4/filelookup.h"
#include "kn4/filereader.h"
#include "kn4/labelfile.h"

#include <algorithm>

namespace kn4::editor {

namespace {

// Overwrites caption from column first over width columns with text and
// blanks; the caption never grows.
void overwriteWithin(std::string &caption, std::size_t first, std::size_t width,
                     std::string_view text)
{
    for (std::size_t i = 0; i < width && first + i < caption.size(); ++i)
        caption[first + i] = i < text.size() ? text[i] : ' ';
}

} // namespace

LanguageTable LanguageTable::CaricoLingua(const std::filesystem::path &folder)
{
    const std::filesystem::path where = folder.empty() ? "." : folder;
    const auto file = findFileIgnoringCase(where, kFileName);
    if (!file) {
        // Why there is no file to read: none at all, or a folder of that name.
        LanguageTable table;
        table.m_reason = FileReader::read(where / kFileName, FileReader::kTextFileLimit).message(where / kFileName);
        return table;
    }
    return fromLabels(LabelFile::load(*file, kMaxLines));
}

LanguageTable LanguageTable::fromText(std::string_view text)
{
    return fromLabels(LabelFile::fromText(text, kMaxLines));
}

LanguageTable LanguageTable::fromLabels(const LabelFile &labels)
{
    LanguageTable table;
    table.m_reason = labels.reason();
    if (!labels.loaded())
        return table;
    table.m_loaded = true;
    table.m_texts = labels.lines();
    return table;
}

int LanguageTable::hintOf(int messageLine)
{
    if (messageLine >= FirstRowMessage && messageLine <= LastRowMessage)
        return FirstMessageHint + (messageLine - FirstRowMessage);
    return messageLine == BordiIncrociati ? BordiIncrociatiHint : -1;
}

std::string LanguageTable::text(int line) const
{
    if (line < 0 || line >= lineCount())
        return {};
    return m_texts[std::size_t(line)];
}

std::string LanguageTable::textOr(int line, std::string_view builtIn) const
{
    std::string shown = text(line);
    return shown.empty() ? std::string(builtIn) : shown;
}

std::string ModificaLabel(std::string caption, const LanguageTable &language,
                          const CommandList &commands, bool leftSideLabelsShown)
{
    constexpr std::size_t kKindWidth = 18;
    if (caption.find("defin") != std::string::npos) {
        const struct { const char *word; int line; } kinds[] = {
            {"ALTRO", LanguageTable::KindAltro},
            {"LATO", LanguageTable::KindLato},
            {"SCOLLO", LanguageTable::KindScollo},
            {"RIGATURA", LanguageTable::KindRigatura},
            {"PROFILO", leftSideLabelsShown ? LanguageTable::KindProfiloTwoSided
                                            : LanguageTable::KindProfiloOneSided},
        };
        for (const auto &kind : kinds) {
            const std::size_t at = caption.find(kind.word);
            const std::string shown = language.text(kind.line);
            if (at != std::string::npos && !shown.empty())
                overwriteWithin(caption, at, kKindWidth, shown);
        }
    }

    if (!trimBlanks(caption).empty()) {
        const std::string lowerCaption = toLowerAscii(caption);
        for (const CommandEntry &entry : commands.entries()) {
            // An empty keyword line names no command.
            if (entry.displayName.empty())
                continue;
            if (lowerCaption.find(toLowerAscii(entry.displayName) + ' ') == std::string::npos)
                continue;
            if (entry.alias.empty())
                break;
            const std::size_t width =
                std::max(entry.alias.size(), trimBlanks(entry.displayName).size());
            overwriteWithin(caption, 0, width, entry.alias);
            break;
        }
    }
    return caption;
}

} // namespace kn4::editor
