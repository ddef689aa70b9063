#pragma once

#include "codesimulator.h"
#include "compiledpanel.h"
#include "keywordtable.h"
#include "knittingmachine.h"
#include "report.h"
#include "sourcereader.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kn4::compiler {

enum Result : std::int32_t {
    kCompiled = 0,
    kCompiledWithWarnings = 6,
    kGraveErrors = 5,
    kNotASource = 3,
};

// The closing report lines of a compilation that leaves the panel as it
// was; the result is then kNotASource whatever the compilation found.
// The compiled panel could not be written (an unwritable panel folder, a
// full disk, a failed flush to disk).
constexpr char kNotWrittenLine[] = "impossibile scrivere il pannello compilato: pannello invariato\r\n";
// Someone wrote the panel while it was being compiled (the editor saved it,
// another compilation replaced it): their content stays.
constexpr char kChangedLine[] = "pannello modificato durante la compilazione\r\n";
// The working folder holds no keyword file: compiling with other words
// would turn good rows into errors and strip the panel of its code.
constexpr char kNoKeywordsLine[] = "file VUZUDO.KEY non trovato: pannello invariato\r\n";
// With the system's reason: the keyword file, or the panel, could not be
// read whole.
constexpr char kKeywordsUnreadableFormat[] = "impossibile leggere il file VUZUDO.KEY (%s): pannello invariato\r\n";
constexpr char kReadFailedFormat[] = "errore di lettura del pannello (%s): pannello invariato\r\n";
// Before "parte non presente in forma sorgente": why the panel could not be
// opened at all.
constexpr char kOpenFailedFormat[] = "impossibile aprire il pannello (%s)\r\n";

// One compilation from source to compiled panel: the keyword file, the
// source reader, the virtual knitting machine, the code simulation and the
// rewritten panel file. The keyword table survives between compilations;
// everything else starts afresh each time.
class Compiler
{
public:
    Compiler();

    // Compiles a panel file in place; fills the report buffer (8192 bytes,
    // may be null) and returns the result code.
    Result compile(const char *panelPath, const char *folder, char *reportOut);

    // Compiles a source part held in memory (the bytes after the marker
    // line) without touching any file: the stages and the report as for a
    // file. For tests and fuzzing.
    Result compileSource(const void *source, std::size_t size);

    KeywordTable &keywords() { return m_keywords; }
    const Report &report() const { return m_report; }
    const SourceReader &reader() const { return m_reader; }
    const KnittingMachine &machine() const { return m_machine; }
    const CodeSimulator &simulator() const { return m_simulator; }
    // The header text the last compilation wrote (or would have written).
    const char *headerText() const { return m_headerText; }
    // The code the panel received: empty after grave errors.
    int writtenCodeLength() const { return m_writtenCodeLength; }
    bool lastWriteFailed() const { return m_writeFailed; }

private:
    Result runStages(ByteSource &source);
    // Reads the open panel whole into m_bytes when it is no larger than a
    // panel can be: 1 read, 0 too large to hold (read it as a stream), -1
    // failed with errno set.
    int readWhole(int fd, long long size);
    // Ends a compilation that leaves the panel as it was: the closing line
    // (a format with the system's reason for errorNumber), result 3.
    Result notCompiled(const char *line, int errorNumber, char *reportOut);

    KeywordTable m_keywords;
    Report m_report;
    SourceReader m_reader;
    KnittingMachine m_machine;
    CodeSimulator m_simulator;
    char m_headerText[panelfile::kHeaderTextSize] = {};
    char m_panelPath[4096] = {}; // the panel's path, a link resolved to its target
    // The panel's bytes, after room for the rewritten panel's head, kept
    // from one compilation to the next; m_capacity is how many panel bytes
    // fit.
    std::unique_ptr<char[]> m_bytes;
    std::size_t m_capacity = 0;
    std::size_t m_byteCount = 0;
    int m_writtenCodeLength = 0;
    bool m_writeFailed = false;
};

// The library's one compiler, in static storage.
Compiler &sharedCompiler();

} // namespace kn4::compiler
