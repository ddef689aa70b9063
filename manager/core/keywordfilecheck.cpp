#include "core/keywordfilecheck.h"

#include <document/commandlist.h>

#include <algorithm>

namespace kn4::manager {

namespace {

// The library as the editor's command list asks it, answered by the
// manager's lookup. Words already reported are answered as known, so that
// the next pass of the editor's reader goes on to the next word it refuses.
class ReportingLibrary final : public editor::CommandLibrary
{
public:
    ReportingLibrary(const KeywordFileCheck::Lookup &lookup, const std::vector<std::string> &reported)
        : m_lookup(lookup), m_reported(reported)
    {
    }

    // The last word the lookup did not know; empty when there was none.
    const std::string &lastUnknown() const { return m_lastUnknown; }

    Lookup CercaFunzione(std::string_view word) const override
    {
        const std::int32_t index = m_lookup(word);
        if (index >= 0)
            return {std::string(word), index};
        if (std::find(m_reported.begin(), m_reported.end(), word) != m_reported.end())
            return {std::string(word), 0};
        m_lastUnknown = std::string(word);
        return {};
    }
    editor::ParameterPositions GetPosizioneParametri(std::int32_t) const override { return {}; }
    editor::DefaultTexts GetDefault(std::int32_t) const override { return {}; }
    std::string click(Click, std::int32_t, std::string_view) const override { return {}; }
    void SimulaFunzione(std::int32_t, Kn4Simulazione &) const override {}
    CompileResult Compilazione(const std::string &, const std::string &) const override { return {}; }

private:
    const KeywordFileCheck::Lookup &m_lookup;
    const std::vector<std::string> &m_reported;
    mutable std::string m_lastUnknown;
};

} // namespace

std::vector<std::string> KeywordFileCheck::unknownWords(std::string_view text, const Lookup &lookup)
{
    // The editor's own reader decides: it stops at the first word it
    // refuses, so it runs again with the words found so far let through,
    // until it accepts the file (at most once per entry it reads).
    std::vector<std::string> unknown;
    for (int pass = 0; pass <= kMaxEntries; ++pass) {
        const ReportingLibrary library(lookup, unknown);
        if (editor::CommandList::fromText(text, library).list || library.lastUnknown().empty())
            break;
        unknown.push_back(library.lastUnknown());
    }
    return unknown;
}

} // namespace kn4::manager
