#include "sourcereader.h"

#include "kn4/number.h"

#include <array>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <tuple>

namespace kn4::compiler {

namespace {

// The first token of a line ends at blanks, commas, tabs and line ends; the
// further tokens also at semicolons, so a comment may follow the last cycle
// while "LISCIO;5" stays one (unknown) word.
// Which bytes end a first token (bit 0) and a further token (bit 1): one
// look-up a byte.
// Bit 2 marks the zero byte that ends the line: it ends a token too.
constexpr std::array<std::uint8_t, 256> kSeparators = [] {
    std::array<std::uint8_t, 256> table{};
    for (const unsigned char c : {' ', ',', '\t', '\r', '\n'})
        table[c] = 3;
    table[std::uint8_t(';')] = 2;
    table[0] = 4;
    return table;
}();

bool isFirstSeparator(char c)
{
    return (kSeparators[std::uint8_t(c)] & 1) != 0;
}

bool isSeparator(char c)
{
    return (kSeparators[std::uint8_t(c)] & 2) != 0;
}

// Whether a byte ends a first token: a separator or the line's end.
bool endsFirstToken(char c)
{
    return (kSeparators[std::uint8_t(c)] & 5) != 0;
}

// Whether a byte ends a further token: a separator or the line's end.
bool endsToken(char c)
{
    return (kSeparators[std::uint8_t(c)] & 6) != 0;
}

char upperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// Makes the ASCII letters of a piece upper case, sixteen bytes at a time
// (a vector of the compiler's, SIMD where the processor has it): the bytes
// from 'a' to 'z' lose the 0x20 that tells the two cases apart; as signed
// bytes, those from 0x80 up are below 'a'. The piece lies in a buffer of
// room bytes, so the last block may run past its end into bytes never
// looked at.
void upperAsciiPiece(char *text, std::size_t length, std::size_t room)
{
    using Block = signed char __attribute__((vector_size(16)));
    std::size_t i = 0;
    for (; i < length && i + sizeof(Block) <= room; i += sizeof(Block)) {
        Block block;
        std::memcpy(&block, text + i, sizeof block);
        const Block letters = (block >= 'a') & (block <= 'z');
        block ^= letters & 0x20;
        std::memcpy(text + i, &block, sizeof block);
    }
    for (; i < length; ++i)
        text[i] = upperAscii(text[i]);
}

// A token of one to nine digits, signed or not, read at once as
// leadingInteger reads it; any other token is left to leadingInteger.
std::int32_t tokenInteger(const char *text, std::size_t length)
{
    const std::size_t sign = length > 0 && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (length > sign && length - sign <= 9) {
        std::int32_t value = 0;
        std::size_t i = sign;
        for (; i < length; ++i) {
            const unsigned digit = unsigned(std::uint8_t(text[i])) - unsigned('0');
            if (digit > 9)
                break;
            value = value * 10 + std::int32_t(digit);
        }
        if (i == length)
            return text[0] == '-' ? -value : value;
    }
    return kn4::leadingInteger(std::string_view(text, length));
}

bool lastCharIsS(const char *token)
{
    const std::size_t n = std::strlen(token);
    return n > 0 && token[n - 1] == 'S';
}

void copyCut(char *out, const char *text, std::size_t limit)
{
    std::size_t n = std::strlen(text);
    if (n > limit)
        n = limit;
    std::memcpy(out, text, n);
    out[n] = '\0';
}

// The order in which the command state compares a line's first word with
// the slots: the first equal word decides.
constexpr int kCommandOrder[] = {
    kDefinizione, kScollo, kRientro, kCalato, kLiscio, kRigato, kAumentazione, kSegnacentro,
    kPunzonato, kPunzonatoS, kTuk, kProduco11, kNonProduco11, kProduco9, kProduco10,
    kNonProduco9, kNonProduco10, kStop, kGirolente, kProduco, kNonProduco,
    kProduco1 + 0, kNonProduco1 + 0, kProduco1 + 1, kNonProduco1 + 1,
    kProduco1 + 2, kNonProduco1 + 2, kProduco1 + 3, kNonProduco1 + 3,
    kProduco1 + 4, kNonProduco1 + 4, kProduco1 + 5, kNonProduco1 + 5,
    kProduco1 + 6, kNonProduco1 + 6, kProduco1 + 7, kNonProduco1 + 7,
};

} // namespace

SourceReader::SourceReader(const KeywordTable &keywords)
    : m_keywords(keywords)
{
}

void SourceReader::reset()
{
    static_assert(std::size(kCommandOrder) == std::size_t(kCommandWords));
    for (int i = 0; i < kCommandWords; ++i) {
        const int slot = kCommandOrder[i];
        const char *word = m_keywords.word(slot);
        m_commandWords[i] = {word, std::strlen(word), slot};
    }
    m_header = PanelHeader();
    m_memory.fill = 0;
    m_memory.lastDefinition = -1;
    for (int &start : m_memory.definitionStart)
        start = 0;
    m_state = State::Type;
    m_line = 0;
    m_grave = 0;
    m_nonGrave = 0;
    m_memoryFullReported = false;
}

void SourceReader::grave(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    message(format, args);
    va_end(args);
    ++m_grave;
}

void SourceReader::nonGrave(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    message(format, args);
    va_end(args);
    ++m_nonGrave;
}

void SourceReader::message(const char *format, va_list args)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    m_report->append(text);
}

const char *SourceReader::nextToken(Line &line)
{
    char *t = line.text;
    std::size_t p = line.pos;
    // Runs of blanks, the commonest separators, are passed eight at a time
    // (never beyond the zero byte that ends the line, which is no blank).
    constexpr std::uint64_t kBlanks = 0x2020202020202020u;
    for (std::uint64_t eight; p + 8 <= sizeof line.text; p += 8) {
        std::memcpy(&eight, t + p, 8);
        if (eight != kBlanks)
            break;
    }
    while (isSeparator(t[p]))
        ++p;
    if (!t[p]) {
        line.pos = p;
        return nullptr;
    }
    const std::size_t start = p;
    while (!endsToken(t[p]))
        ++p;
    line.lastLength = p - start;
    line.lastEnd = t[p];
    if (t[p]) {
        t[p] = '\0';
        ++p;
    }
    line.pos = p;
    return t + start;
}

void SourceReader::read(ByteSource &source, Report &report)
{
    reset();
    m_report = &report;

    Line line;
    while (const std::size_t length = readPiece(source, line.text, LineMode::Binary)) {
        ++m_line;
        // A zero byte ends the line, as it ends a C string: what follows it
        // is never looked at, so the whole piece is made upper case at once.
        upperAsciiPiece(line.text, length, sizeof line.text);

        std::size_t p = 0;
        while (line.text[p] && isFirstSeparator(line.text[p]))
            ++p;
        if (!line.text[p] || line.text[p] == ';')
            continue;
        const std::size_t start = p;
        while (!endsFirstToken(line.text[p]))
            ++p;
        line.lastLength = p - start;
        line.lastEnd = line.text[p];
        if (line.text[p]) {
            line.text[p] = '\0';
            ++p;
        }
        line.pos = p;
        handleLine(line, line.text + start);
    }

    m_memory.definitionStart[m_memory.lastDefinition + 1] = m_memory.fill;

    const KeywordTable &k = m_keywords;
    report.appendf("\r\n %5u linee processate\r\n", m_line);
    report.appendf(" %5u errori non gravi\r\n", unsigned(m_nonGrave));
    report.appendf(" %5u errori gravi\r\n\r\n", unsigned(m_grave));
    report.appendf("%s %s, ", k.lowerWord(kTipo), m_header.type);
    report.appendf("%s %s", k.lowerWord(kTaglia), m_header.size);
    report.append(", ");
    report.appendf("%s %s", k.lowerWord(kParte), m_header.part);
    report.append(" ");
    report.appendf("composta da %d definizioni\r\n", m_memory.definitionCount());
    report.appendf("%s %dD, ", k.lowerWord(kFrontura), m_header.needleBed);
    report.appendf("%s %s\r\n", k.lowerWord(kDensita), m_header.density);
    report.appendf("%s %d, ", k.lowerWord(kPredisposizione), m_header.setUp);
    report.appendf("%s %d\r\n", k.lowerWord(kUscita), m_header.exit);
    report.appendf("%s (bordo) %dD %dS", k.lowerWord(kCostina), m_header.borderRight, m_header.borderLeft);
    report.append(", ");
    report.appendf("%s %dD %dS\r\n\r\n", k.lowerWord(kScolloHeader), m_header.necklineRight,
                   m_header.necklineLeft);
    m_report = nullptr;
}

void SourceReader::handleLine(Line &line, const char *first)
{
    switch (m_state) {
    case State::Type:
        readType(line, first);
        m_state = State::NeedleBed;
        break;
    case State::NeedleBed:
        readNeedleBed(line, first);
        m_state = State::Border;
        break;
    case State::Border:
        readWidths(line, first, kCostina, m_header.borderRight, m_header.borderLeft);
        m_state = State::Neckline;
        break;
    case State::Neckline:
        readWidths(line, first, kScolloHeader, m_header.necklineRight, m_header.necklineLeft);
        m_state = State::SetUp;
        break;
    case State::SetUp:
        readMode(line, first, kPredisposizione, m_header.setUp, State::Exit);
        break;
    case State::Exit:
        readMode(line, first, kUscita, m_header.exit, State::Definition);
        break;
    case State::Definition:
        readDefinitionStart(first);
        break;
    case State::Command:
        readCommand(line, first);
        break;
    }
}

bool SourceReader::expectWord(const char *first, int slot)
{
    if (std::strcmp(first, m_keywords.word(slot)) == 0)
        return true;
    grave("-%5u atteso %s invece di %s\r\n", m_line, m_keywords.word(slot), first);
    return false;
}

bool SourceReader::readText(Line &line, int slot, char *out, std::size_t limit)
{
    const char *value = nextToken(line);
    if (!value) {
        grave("-%5u %s senza parametro\r\n", m_line, m_keywords.word(slot));
        return false;
    }
    copyCut(out, value, limit);
    if (std::strlen(value) > limit) {
        nonGrave("-%5u %s troppo lungo %s\r\n       troncato a %d caratteri\r\n", m_line,
                 m_keywords.word(slot), value, int(limit));
    }
    return true;
}

void SourceReader::readType(Line &line, const char *first)
{
    // A value missing ends the line, as on the needle-bed line: the line ran
    // out, and the words that would follow are not looked for.
    if (!expectWord(first, kTipo) || !readText(line, kTipo, m_header.type, PanelHeader::kTypeLength))
        return;
    for (const auto &[slot, out, limit] :
         {std::tuple{int(kTaglia), m_header.size, PanelHeader::kSizeLength},
          std::tuple{int(kParte), m_header.part, PanelHeader::kPartLength}}) {
        const char *word = nextToken(line);
        if (!word) {
            grave("-%5u atteso %s\r\n", m_line, m_keywords.word(slot));
            return;
        }
        if (!expectWord(word, slot) || !readText(line, slot, out, limit))
            return;
    }
}

void SourceReader::readNeedleBed(Line &line, const char *first)
{
    if (!expectWord(first, kFrontura))
        return;
    const char *value = nextToken(line);
    if (!value) {
        grave("-%5u %s senza parametro\r\n", m_line, m_keywords.word(kFrontura));
        return;
    }
    const std::int32_t width = kn4::leadingInteger(value);
    if (width <= 95)
        grave("-%5u %s errato %s\r\n", m_line, m_keywords.word(kFrontura), value);
    else
        m_header.needleBed = width;

    const char *word = nextToken(line);
    if (!word) {
        grave("-%5u atteso %s\r\n", m_line, m_keywords.word(kDensita));
        return;
    }
    if (!expectWord(word, kDensita))
        return;
    readText(line, kDensita, m_header.density, PanelHeader::kDensityLength);
}

void SourceReader::readWidths(Line &line, const char *first, int slot, std::int32_t &right,
                              std::int32_t &left)
{
    if (!expectWord(first, slot))
        return;
    const char *word = m_keywords.word(slot);
    const char *rightText = nextToken(line);
    if (!rightText) {
        grave("-%5u %s senza parametri\r\n", m_line, word);
        return;
    }
    const std::int32_t r = kn4::leadingInteger(rightText);
    if (r < 1 || r > m_header.needleBed) {
        grave("-%5u %s destro errato %s\r\n", m_line, word, rightText);
        return;
    }
    right = r;
    left = r;
    const char *leftText = nextToken(line);
    if (!leftText)
        return;
    const std::int32_t l = kn4::leadingInteger(leftText);
    if (l < 1 || l > m_header.needleBed)
        nonGrave("-%5u %s sinistro errato %s\r\n       assunto uguale al destro\r\n", m_line, word, leftText);
    else
        left = l;
}

void SourceReader::readMode(Line &line, const char *first, int slot, std::int32_t &value, State next)
{
    m_state = next;
    if (!expectWord(first, slot))
        return;
    const char *text = nextToken(line);
    if (!text) {
        nonGrave("-%5u %s assente\r\n", m_line, m_keywords.word(slot));
        return;
    }
    const std::int32_t v = kn4::leadingInteger(text);
    if (v < 1 || v > 3)
        grave("-%5u %s errato %s\r\n", m_line, m_keywords.word(slot), text);
    else
        value = v;
}

void SourceReader::readDefinitionStart(const char *first)
{
    if (!expectWord(first, kDefinizione))
        return;
    beginDefinition();
    m_state = State::Command;
}

void SourceReader::beginDefinition()
{
    CommandMemory &m = m_memory;
    if (m.lastDefinition < CommandMemory::kMaxDefinitions - 1) {
        ++m.lastDefinition;
        m.definitionStart[m.lastDefinition] = m.fill;
        return;
    }
    // An eleventh definition replaces the tenth: the last one read wins.
    nonGrave("-%5u troppe definizioni, massimo %d\r\n       eliminata definizione precedente\r\n", m_line,
             CommandMemory::kMaxDefinitions);
    m.fill = m.definitionStart[m.lastDefinition];
}

void SourceReader::store(std::int32_t command, std::int32_t inner, std::int32_t outer)
{
    CommandMemory &m = m_memory;
    if (m.fill >= CommandMemory::kStoreLimit) {
        if (!m_memoryFullReported)
            grave("-%5u memoria comandi esaurita\r\n", m_line);
        m_memoryFullReported = true;
        return;
    }
    m.values[m.fill++] = command;
    m.values[m.fill++] = inner;
    m.values[m.fill++] = outer;
}

// Reads a side parameter ("1D", "-2S"...) into its offset: 1 for the left
// side, 2 for a value of 2, 4 for a negative value. Returns false, with the
// offset of 1D and a non-grave error, for a value outside those allowed. A
// word directly followed by a comma, or by nothing, has no parameter: 1D.
bool SourceReader::readSide(Line &line, std::int32_t &offset, bool allowTwo, bool allowNegative)
{
    offset = 0;
    if (line.lastEnd == ',')
        return true;
    const char *token = nextToken(line);
    if (!token)
        return true;
    const std::int32_t v = kn4::leadingInteger(token);
    const bool valid = v == 1 || (allowTwo && v == 2) || (allowNegative && (v == -1 || (allowTwo && v == -2)));
    if (!valid) {
        nonGrave("-%5u parametro errato %s\r\n       assunto 1D\r\n", m_line, token);
        return false;
    }
    offset = (v < 0 ? 4 : 0) + ((v == 2 || v == -2) ? 2 : 0) + (lastCharIsS(token) ? 1 : 0);
    return true;
}

bool SourceReader::readCycles(Line &line, std::int32_t &inner, std::int32_t &outer)
{
    inner = 0;
    outer = 0;
    const char *innerText = nextToken(line);
    if (!innerText) {
        grave("-%5u comando senza cicli\r\n", m_line);
        return false;
    }
    inner = tokenInteger(innerText, line.lastLength);
    if (inner == 0 && std::strcmp(innerText, "0") != 0)
        grave("-%5u ciclo interno errato %s\r\n", m_line, innerText);
    const char *outerText = nextToken(line);
    if (!outerText) {
        grave("-%5u comando senza ciclo esterno\r\n", m_line);
        return false;
    }
    outer = tokenInteger(outerText, line.lastLength);
    if (outer == 0)
        grave("-%5u ciclo esterno errato %s\r\n", m_line, outerText);
    return true;
}

void SourceReader::readJumpCommand(Line &line, int slot, std::int32_t classCode)
{
    const char *word = m_keywords.word(slot);
    // A word directly followed by a comma has no parameters, and its cycles
    // follow; a word with nothing after it has neither.
    const bool commaAfterWord = line.lastEnd == ',';
    const char *jumpText = commaAfterWord ? nullptr : nextToken(line);
    if (!jumpText) {
        grave("-%5u %s senza parametri\r\n", m_line, word);
        std::int32_t inner = 0, outer = 0;
        if (commaAfterWord)
            readCycles(line, inner, outer);
        store(classCode * code::kJumpClassUnit, inner, outer);
        return;
    }
    // The jump is checked as soon as it is read, so a wrong jump is named
    // even when the needle after it is missing.
    const std::int32_t jump = kn4::leadingInteger(jumpText);
    if (jump < -4 || jump > 4)
        grave("-%5u salto %s errato %s\r\n", m_line, word, jumpText);
    const char *needleText = nextToken(line);
    if (!needleText) {
        grave("-%5u %s senza salto\r\n", m_line, word);
        store(classCode * code::kJumpClassUnit, 0, 0);
        return;
    }
    const std::int32_t needle = kn4::leadingInteger(needleText);
    if (needle < -128 || needle > 127)
        grave("-%5u ago %s errato %s\r\n", m_line, word, needleText);
    // An out-of-range jump is kept as it is (the code is never generated
    // then); unsigned arithmetic keeps that free of overflow.
    const std::uint32_t v = (std::uint32_t(jump) + 4u) * 256u + (std::uint32_t(needle) & 0xFFu);
    std::int32_t inner, outer;
    readCycles(line, inner, outer);
    store(std::int32_t(std::uint32_t(classCode * code::kJumpClassUnit) + v), inner, outer);
}

void SourceReader::readCommand(Line &line, const char *first)
{
    // The first token's length is known: a word of another length is never
    // compared byte by byte.
    int slot = -1;
    const std::size_t length = line.lastLength;
    for (const CommandWord &candidate : m_commandWords) {
        if (candidate.length == length && candidate.word[0] == first[0]
            && std::memcmp(first, candidate.word, length) == 0) {
            slot = candidate.slot;
            break;
        }
    }
    if (slot < 0) {
        grave("-%5u comando errato %s\r\n", m_line, first);
        return;
    }

    std::int32_t inner = 0;
    std::int32_t outer = 0;
    switch (slot) {
    case kDefinizione:
        beginDefinition();
        return;
    case kScollo:
    case kRientro: {
        std::int32_t offset;
        readSide(line, offset, true, true);
        readCycles(line, inner, outer);
        store((slot == kScollo ? code::kScollo : code::kRientro) + offset, inner, outer);
        return;
    }
    case kCalato: {
        std::int32_t offset;
        readSide(line, offset, true, false);
        readCycles(line, inner, outer);
        store(code::kCalato + offset, inner, outer);
        return;
    }
    case kAumentazione: {
        std::int32_t offset;
        readSide(line, offset, false, false);
        const std::int32_t d = code::kAumentazione + offset;
        if (!readCycles(line, inner, outer)) {
            store(d, inner, outer);
            return;
        }
        if (inner >= -1 && inner <= 1)
            grave("-%5u ciclo interno errato %d\r\n", m_line, inner);
        if (outer < -1)
            grave("-%5u ciclo esterno errato %d\r\n", m_line, outer);
        // An increase takes two consecutive courses: it is stored as two
        // commands, the first with outer cycle -1 so that an outer
        // repetition of the second repeats both.
        if (inner <= 0) {
            store(d, inner + 1, -1);
            store(d, -1, outer);
        } else {
            store(d, 1, -1);
            store(d, inner - 1, outer);
        }
        return;
    }
    case kRigato:
    case kProduco:
    case kNonProduco: {
        std::int32_t n = 1;
        if (line.lastEnd != ',') {
            if (const char *token = nextToken(line)) {
                n = kn4::leadingInteger(token);
                if (n < 1 || n > 8) {
                    nonGrave("-%5u parametro errato %s\r\n       assunto 1\r\n", m_line, token);
                    n = 1;
                }
            }
        }
        readCycles(line, inner, outer);
        const std::int32_t command = slot == kRigato ? code::kRigato[n - 1]
                                     : slot == kProduco ? code::kProduco1 + n - 1
                                                        : code::kNonProduco1 + n - 1;
        store(command, inner, outer);
        return;
    }
    case kPunzonato:
        readJumpCommand(line, slot, 1);
        return;
    case kPunzonatoS:
        readJumpCommand(line, slot, 2);
        return;
    case kTuk:
        readJumpCommand(line, slot, 3);
        return;
    case kProduco11:
        readJumpCommand(line, slot, 4);
        return;
    case kNonProduco11:
        readJumpCommand(line, slot, 5);
        return;
    default:
        break;
    }

    // Commands without parameter: the cycles follow the word.
    std::int32_t command;
    switch (slot) {
    case kLiscio: command = code::kLiscio; break;
    case kSegnacentro: command = code::kSegnacentro; break;
    case kStop: command = code::kStop; break;
    case kGirolente: command = code::kGirolente; break;
    case kProduco9: command = code::kProduco9; break;
    case kProduco10: command = code::kProduco10; break;
    case kNonProduco9: command = code::kNonProduco9; break;
    case kNonProduco10: command = code::kNonProduco10; break;
    default:
        command = slot >= kNonProduco1 ? code::kNonProduco1 + (slot - kNonProduco1)
                                       : code::kProduco1 + (slot - kProduco1);
        break;
    }
    readCycles(line, inner, outer);
    store(command, inner, outer);
}

} // namespace kn4::compiler
