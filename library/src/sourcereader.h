#pragma once

#include "keywordtable.h"
#include "linereader.h"
#include "report.h"

#include <cstdarg>
#include <cstdint>

namespace kn4::compiler {

// The header values of a panel as the source reader leaves them.
struct PanelHeader
{
    static constexpr std::size_t kTypeLength = 5;
    static constexpr std::size_t kSizeLength = 2;
    static constexpr std::size_t kPartLength = 10;
    static constexpr std::size_t kDensityLength = 8;

    char type[kTypeLength + 1] = {};
    char size[kSizeLength + 1] = {};
    char part[kPartLength + 1] = {};
    std::int32_t needleBed = 96;
    char density[kDensityLength + 1] = {};
    std::int32_t borderRight = 1;
    std::int32_t borderLeft = 1;
    std::int32_t necklineRight = 1;
    std::int32_t necklineLeft = 1;
    std::int32_t setUp = 0;
    std::int32_t exit = 0;
};

// The commands read from the source: triples (command code, inner cycle,
// outer cycle) for up to 10 definitions that run side by side.
struct CommandMemory
{
    static constexpr int kIntegers = 3000;
    // Storing is refused once this many integers are in use: 999 commands.
    static constexpr int kStoreLimit = 2997;
    static constexpr int kMaxDefinitions = 10;

    std::int32_t values[kIntegers] = {};
    int fill = 0;
    // definitionStart[n] is where definition n starts; definition n ends
    // where n + 1 starts, and the last one at definitionStart[last + 1].
    int definitionStart[kMaxDefinitions + 1] = {};
    int lastDefinition = -1;

    int definitionCount() const { return lastDefinition + 1; }
    int definitionEnd(int n) const { return definitionStart[n + 1]; }
};

// Command codes the reader stores; the values below 64 are machine opcodes.
namespace code {
constexpr std::int32_t kScollo = 0;        // + side offset 0..7
constexpr std::int32_t kRientro = 8;       // + side offset 0..7
constexpr std::int32_t kCalato = 16;       // 1D, 1S, 2D, 2S
constexpr std::int32_t kLiscio = 20;
constexpr std::int32_t kAumentazione = 24; // 1D, 1S
constexpr std::int32_t kSegnacentro = 26;
constexpr std::int32_t kStop = 32;
constexpr std::int32_t kGirolente = 33;
constexpr std::int32_t kProduco9 = 42;
constexpr std::int32_t kProduco10 = 43;
constexpr std::int32_t kNonProduco9 = 45;
constexpr std::int32_t kNonProduco10 = 46;
constexpr std::int32_t kProduco1 = 48;     // .. 55
constexpr std::int32_t kNonProduco1 = 56;  // .. 63
constexpr std::int32_t kJumpClassUnit = 4096; // class n (1..5) codes are n * 4096 + v
// RIGATO 1..8
constexpr std::int32_t kRigato[8] = {21, 22, 23, 35, 36, 37, 38, 39};
} // namespace code

// The first stage of a compilation: reads the source part of a panel into
// its header values and the command memory, writing one report line for
// every error and counting grave and non-grave errors. It never stops
// early: every line is read whatever went wrong before.
class SourceReader
{
public:
    explicit SourceReader(const KeywordTable &keywords);

    // Reads the whole source and appends the reader's messages and its
    // summary to the report.
    void read(ByteSource &source, Report &report);

    const PanelHeader &header() const { return m_header; }
    const CommandMemory &commands() const { return m_memory; }
    CommandMemory &commands() { return m_memory; }
    int graveErrors() const { return m_grave; }
    int nonGraveErrors() const { return m_nonGrave; }
    unsigned linesRead() const { return m_line; }

private:
    enum class State { Type, NeedleBed, Border, Neckline, SetUp, Exit, Definition, Command };

    // Tokens of the current line, read as the language's tokenizer does: it
    // remembers the character that ended the previous token.
    struct Line
    {
        char text[kLinePiece + 1] = {};
        std::size_t pos = 0;
        char lastEnd = '\0';
        std::size_t lastLength = 0; // of the token nextToken returned last
    };

    void reset();
    void handleLine(Line &line, const char *first);
    void readType(Line &line, const char *first);
    void readNeedleBed(Line &line, const char *first);
    void readWidths(Line &line, const char *first, int slot, std::int32_t &right, std::int32_t &left);
    void readMode(Line &line, const char *first, int slot, std::int32_t &value, State next);
    void readDefinitionStart(const char *first);
    void readCommand(Line &line, const char *first);

    bool expectWord(const char *first, int slot);
    // Reads a header text into out; false (with its grave error) when the
    // line has no value left.
    bool readText(Line &line, int slot, char *out, std::size_t limit);
    void beginDefinition();
    bool readSide(Line &line, std::int32_t &offset, bool allowTwo, bool allowNegative);
    bool readCycles(Line &line, std::int32_t &inner, std::int32_t &outer);
    void readJumpCommand(Line &line, int slot, std::int32_t classCode);
    void store(std::int32_t command, std::int32_t inner, std::int32_t outer);

    void grave(const char *format, ...) __attribute__((format(printf, 2, 3)));
    void nonGrave(const char *format, ...) __attribute__((format(printf, 2, 3)));
    void message(const char *format, va_list args);

    static const char *nextToken(Line &line);

    // The command words in the order they are compared, with their lengths,
    // taken from the keyword table when a read begins.
    struct CommandWord
    {
        const char *word;
        std::size_t length;
        int slot;
    };
    static constexpr int kCommandWords = 37;

    const KeywordTable &m_keywords;
    CommandWord m_commandWords[kCommandWords] = {};
    Report *m_report = nullptr;
    PanelHeader m_header;
    CommandMemory m_memory;
    State m_state = State::Type;
    unsigned m_line = 0;
    int m_grave = 0;
    int m_nonGrave = 0;
    bool m_memoryFullReported = false;
};

} // namespace kn4::compiler
