#include "compiler.h"

#include "compiledpanel.h"

#include <fcntl.h>
#include <unistd.h>

namespace kn4::compiler {

Compiler::Compiler()
    : m_reader(m_keywords)
{
}

Compiler &sharedCompiler()
{
    static Compiler compiler;
    return compiler;
}

Result Compiler::runStages(ByteSource &source)
{
    m_reader.read(source, m_report);
    int grave = m_reader.graveErrors();
    bool generated = false;

    if (grave == 0) {
        generated = m_machine.generate(m_reader.commands(), m_reader.header(), m_report);
        if (!generated)
            ++grave;
        m_report.appendf("\r\nfine compilazione al passo %d+%d", m_machine.steps(), m_machine.extraSteps());
        m_report.append(", ");
        m_report.appendf("parte di maglia di %d righe\r\n", m_machine.courses());
        m_report.appendf("occupazione memoria comandi %d/%d", m_reader.commands().fill, CommandMemory::kIntegers);
        m_report.append(", ");
        m_report.appendf("memoria telaio virtuale %d/%d\r\n\r\n", m_machine.codeLength(), KnittingMachine::kCodeSize);
    }

    if (generated) {
        if (!m_simulator.run(m_machine.code(), m_machine.codeLength(), m_reader.header(), m_report))
            ++grave;
        const CodeSimulator &s = m_simulator;
        m_report.appendf("\r\nfine simulazione alla riga %d\r\n", s.courses());
        m_report.appendf("bordo %dD %dS", s.outerRight(), s.outerLeft());
        m_report.append(", ");
        m_report.appendf("%s %dD %dS\r\n", m_keywords.lowerWord(kScollo), s.necklineRight(), s.necklineLeft());
        m_report.appendf("massimo bordo %dD %dS", s.maxRight(), s.maxLeft());
        m_report.append(", ");
        m_report.appendf("minimo tra bordo e %s %dD %dS\r\n\r\n", m_keywords.lowerWord(kScollo), s.minGapRight(),
                         s.minGapLeft());
    }

    // The header counts are those reached: 0,0 when the reader stopped the
    // compilation before generation.
    const bool ran = m_reader.graveErrors() == 0;
    panelfile::formatHeader(m_headerText, sizeof m_headerText, m_reader.header(),
                            ran ? m_machine.steps() + m_machine.extraSteps() : 0, ran ? m_machine.courses() : 0);
    m_writtenCodeLength = grave == 0 ? m_machine.codeLength() : 0;

    if (grave > 0)
        return kGraveErrors;
    return m_reader.nonGraveErrors() > 0 ? kCompiledWithWarnings : kCompiled;
}

Result Compiler::compileSource(const void *source, std::size_t size)
{
    m_report.clear();
    m_report.append("VUZUDO v4.4\r\n");
    m_writeFailed = false;
    MemorySource memory(source, size);
    return runStages(memory);
}

Result Compiler::compile(const char *panelPath, const char *folder, char *reportOut)
{
    if (!panelPath)
        panelPath = "";
    if (!folder)
        folder = "";
    m_report.clear();
    m_report.append("VUZUDO v4.4\r\n");
    m_writeFailed = false;
    m_writtenCodeLength = 0;
    m_keywords.readFolder(folder);

    Result result = kNotASource;
    const int fd = ::open(panelPath, O_RDONLY | O_CLOEXEC);
    bool found = false;
    if (fd >= 0) {
        FileSource source(fd);
        found = panelfile::findSourceStart(source) >= 0;
        if (found)
            result = runStages(source);
        ::close(fd);
    }
    if (!found) {
        m_report.append("parte non presente in forma sorgente\r\n");
        m_report.copyTo(reportOut);
        return kNotASource;
    }

    const panelfile::WriteResult written =
        panelfile::write(panelPath, folder, m_headerText, m_machine.code(), m_writtenCodeLength);
    m_writeFailed = written != panelfile::WriteResult::Written;
    if (m_writeFailed) {
        // The panel still holds its old bytes, without this compilation's
        // code: saying "compiled" would report a failure as success.
        m_report.appendClosing(kNotWrittenLine);
        result = kNotASource;
    }
    m_report.copyTo(reportOut);
    return result;
}

} // namespace kn4::compiler
