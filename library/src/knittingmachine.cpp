#include "knittingmachine.h"

namespace kn4::compiler {

// advance, writeOpcode, writeCommandAt and endStep run once per step (and
// definition), so they are inlined into the step loop of generate.

// Moves a definition on by one step (or past the zero-time command it has
// just written). The labels follow the steps of the definition's cycle:
// next command, load the cycles, command done.
[[gnu::always_inline]] inline void KnittingMachine::advance(Definition &d)
{
    std::int32_t *values = m_memory->values;
    enum { NextCommand, Load, Done } step;

    switch (d.state) {
    case State::Initial:
        d.loopStart = d.position;
        d.passProduced = false;
        step = NextCommand;
        break;
    case State::Delaying:
        if (++d.inner != 0)
            return;
        d.state = isCourse(d) ? State::CourseAfterDelay : State::ZeroTimeAfterDelay;
        return;
    case State::Course:
    case State::Holding:
        if (--d.inner != 0) {
            d.state = State::Holding;
            return;
        }
        step = Done;
        break;
    case State::CourseAfterDelay:
    case State::ZeroTimeThenNext:
        step = Done;
        break;
    case State::ZeroTimeAfterDelay:
        m_pending = true;
        d.state = State::ZeroTimeThenNext;
        return;
    case State::ZeroTimeThenHold:
        d.state = State::Holding;
        return;
    case State::Finished:
    default:
        return;
    }

    for (;;) {
        switch (step) {
        case NextCommand:
            if (d.position >= d.end) {
                d.state = State::Finished;
                return;
            }
            d.outer = values[d.position + 2];
            [[fallthrough]];
        case Load: {
            d.inner = values[d.position + 1];
            const bool course = isCourse(d);
            if (d.inner == 0) {
                if (course) {
                    // Makes no course at all. Repeating it changes nothing,
                    // so a negative outer cycle is used up at once.
                    if (d.outer < 0)
                        d.outer = -1;
                    step = Done;
                    continue;
                }
                d.passProduced = true;
                m_pending = true;
                d.state = State::ZeroTimeThenNext;
                return;
            }
            d.passProduced = true;
            if (d.inner > 0) {
                if (course) {
                    d.state = State::Course;
                } else {
                    m_pending = true;
                    d.state = State::ZeroTimeThenHold;
                }
                return;
            }
            if (++d.inner != 0)
                d.state = State::Delaying;
            else
                d.state = course ? State::CourseAfterDelay : State::ZeroTimeAfterDelay;
            return;
        }
        case Done:
            if (d.outer > 0) {
                std::int32_t &count = values[d.position + 2];
                // A pass through the block that produced nothing would
                // produce nothing every time: end the block at once.
                count = d.passProduced ? count - 1 : 0;
                if (count <= 0) {
                    d.position += 3;
                    d.loopStart = d.position;
                    d.passProduced = false;
                    step = NextCommand;
                } else {
                    d.position = d.loopStart;
                    d.outer = values[d.position + 2];
                    d.passProduced = false;
                    step = Load;
                }
            } else {
                if (++d.outer != 0) {
                    step = Load;
                } else {
                    d.position += 3;
                    step = NextCommand;
                }
            }
            continue;
        }
    }
}

bool KnittingMachine::writeByte(std::uint8_t byte)
{
    if (m_length >= kWriteLimit) {
        m_report->appendf(".%5u memoria telaio virtuale esaurita\r\n", unsigned(m_steps + 1));
        return fail();
    }
    m_code[m_length++] = byte;
    return true;
}

[[gnu::always_inline]] inline bool KnittingMachine::writeOpcode(int op)
{
    const Opcode &x = machine::opcode(op);
    if (m_stepResources != 0) {
        if ((m_stepResources & x.conflicts) != 0) {
            m_report->appendf(".%5u comandi incompatibili sullo stesso passo %04x %04x\r\n"
                              "       alla riga %u\r\n",
                              unsigned(m_steps + 1), unsigned(x.resources), unsigned(m_stepResources),
                              unsigned(m_courses));
            return fail();
        }
        if (m_lastCommandByte >= 0)
            m_code[m_lastCommandByte] |= machine::kSameStepFlag;
    }
    m_stepResources |= x.resources;
    m_lastCommandByte = m_length;
    return writeByte(std::uint8_t(machine::kCommandByte + op));
}

[[gnu::always_inline]] inline bool KnittingMachine::writeCommandAt(int position)
{
    const int op = m_opcodeAt[position];
    // LISCIO writes nothing, nor does a code that is no command (never
    // stored by the reader).
    if (op < 0 || op == code::kLiscio)
        return true;
    if (!writeOpcode(op))
        return false;
    if (machine::hasParameterBytes(op)) {
        // The parameter bytes always fit: a command byte is written at
        // position 9996 at the latest.
        const std::int32_t command = m_memory->values[position];
        m_code[m_length++] = std::uint8_t(((command / 256) % 16) - 4);
        m_code[m_length++] = std::uint8_t(command % 256);
    }
    return true;
}

// Ends a step and compresses runs: P0 is where the previous step began, P1
// where this one began, L the fill length. A step start equal to the
// previous one means there is no previous step to compare with.
[[gnu::always_inline]] inline void KnittingMachine::endStep()
{
    const int length = m_length;
    int &p0 = m_previousStart;
    int &p1 = m_stepStart;
    if (length > m_stepBegin) {
        if (p0 != p1 && p0 < length && p1 < length && m_code[p0] == m_code[p1]) {
            if (length == p0 + 2) {
                m_code[p1] = 0;
                p1 = length;
                return;
            }
            if (length == p0 + 3 && m_code[p0 + 1] < machine::kMaxCount) {
                ++m_code[p0 + 1];
                m_length = p1;
                return;
            }
        }
        p0 = p1;
        p1 = length;
        return;
    }
    if (p0 < length && m_code[p0] == machine::kPlainCourse) {
        if (m_code[length - 1] < machine::kMaxCount) {
            ++m_code[length - 1];
        } else if (writeByte(0)) {
            p1 = m_length;
        }
        return;
    }
    const int oldStart = p1;
    if (writeByte(machine::kPlainCourse)) {
        p0 = oldStart;
        p1 = m_length;
    }
}

bool KnittingMachine::generate(CommandMemory &memory, const PanelHeader &header, Report &report)
{
    m_memory = &memory;
    m_report = &report;
    m_length = 0;
    m_steps = 0;
    m_courses = 0;
    m_extra = (header.setUp != 0 ? 1 : 0) + (header.exit != 0 ? 1 : 0);
    m_previousStart = 0;
    m_stepStart = 1;
    m_failed = false;
    m_pending = false;

    if (memory.lastDefinition < 0) {
        report.appendf(".%5u nessuna definizione da compilare\r\n", 0u);
        return fail();
    }
    if (header.setUp != 0 && !writeByte(std::uint8_t(machine::kExitByte + (header.setUp & 3))))
        return false;

    // Each command's opcode and whether it makes a course, once: a code that
    // is no command (never stored by the reader) is a plain course, which
    // writes nothing.
    for (int position = 0; position + 2 < memory.fill; position += 3) {
        const int op = machine::opcodeOf(memory.values[position]);
        m_opcodeAt[position] = std::int8_t(op);
        m_courseAt[position] = op < 0 || machine::isCourseCommand(op);
    }

    m_definitionCount = memory.definitionCount();
    // The definitions still running, in their order: a finished definition
    // never writes again, so the steps after it no longer visit it.
    Definition *running[CommandMemory::kMaxDefinitions];
    int runningCount = m_definitionCount;
    for (int n = 0; n < m_definitionCount; ++n) {
        Definition &d = m_definitions[n];
        d = Definition();
        d.position = memory.definitionStart[n];
        d.end = memory.definitionEnd(n);
        running[n] = &d;
    }

    // Each round advances every definition by a step, writes the zero-time
    // steps that come due and then one course step.
    for (std::int64_t round = 0;; ++round) {
        m_pending = false;
        int kept = 0;
        for (int i = 0; i < runningCount; ++i) {
            Definition &d = *running[i];
            if (d.quietUntil >= round) {
                running[kept++] = running[i];
                continue;
            }
            // Most steps only count down a course command's cycles.
            if ((d.state == State::Holding || d.state == State::Course) && d.inner > 1) {
                --d.inner;
                d.state = State::Holding;
            } else {
                advance(d);
            }
            // Holding writes nothing and wants nothing: the rounds that only
            // count down are skipped, and the last step is taken as usual.
            if (d.state == State::Holding && d.inner > 1) {
                d.quietUntil = round + d.inner - 1;
                d.inner = 1;
            }
            if (d.state != State::Finished)
                running[kept++] = running[i];
        }
        runningCount = kept;

        while (m_pending) {
            m_stepResources = 0;
            m_pending = false;
            m_stepBegin = m_length;
            m_lastCommandByte = -1;
            for (int i = 0; i < runningCount; ++i) {
                Definition &d = *running[i];
                if (d.state != State::ZeroTimeThenHold && d.state != State::ZeroTimeThenNext)
                    continue;
                if (!writeCommandAt(d.position))
                    return false;
                advance(d);
            }
            endStep();
            if (m_failed)
                return false;
            ++m_steps;
        }

        if (m_definitions[0].state == State::Finished) {
            if (header.exit != 0 && !writeByte(machine::kExitByte))
                return false;
            return true;
        }

        m_stepResources = 0;
        m_stepBegin = m_length;
        m_lastCommandByte = -1;
        for (int i = 0; i < runningCount; ++i) {
            const Definition &d = *running[i];
            if (d.state == State::Course || d.state == State::CourseAfterDelay) {
                if (!writeCommandAt(d.position))
                    return false;
            }
        }
        endStep();
        if (m_failed)
            return false;
        ++m_steps;
        ++m_courses;
    }
}

} // namespace kn4::compiler
