#include "knittingmachine.h"

namespace kn4::compiler {

namespace machine {

namespace {

// Resource bits and conflict masks of the 64 opcodes.
constexpr Opcode kOpcodes[64] = {
    // 0..7: SCOLLO, right on even opcodes, left on odd
    {0x0800, 0x9B19}, {0x0400, 0x9719}, {0x0800, 0x9B19}, {0x0400, 0x9719},
    {0x0800, 0x9B19}, {0x0400, 0x9719}, {0x0800, 0x9B19}, {0x0400, 0x9719},
    // 8..15: RIENTRO
    {0x0200, 0x6EC7}, {0x0100, 0x6DC7}, {0x0200, 0x6EC7}, {0x0100, 0x6DC7},
    {0x0200, 0x6EC7}, {0x0100, 0x6DC7}, {0x0200, 0x6EC7}, {0x0100, 0x6DC7},
    // 16..19: CALATO 1D, 1S, 2D, 2S
    {0x0080, 0x9399}, {0x0040, 0x9359}, {0x0080, 0x9399}, {0x0040, 0x9359},
    // 20: LISCIO; 21..23: RIGATO 1..3
    {0x0001, 0xFFFF}, {0x0020, 0x0021}, {0x0020, 0x0021}, {0x0020, 0x0021},
    // 24, 25: AUMENTAZIONE right, left; 26: SEGNACENTRO; 27: jump-and-needle class 1
    {0x0010, 0x2CD7}, {0x0008, 0x2CCF}, {0x0004, 0x931D}, {0x0002, 0x931B},
    // 28: exit byte; 29..31: set-up bytes
    {0x0000, 0xFFFF}, {0x0000, 0xFFFF}, {0x0000, 0xFFFF}, {0x0000, 0xFFFF},
    // 32: STOP; 33: GIROLENTE; 34: never written; 35: RIGATO 4
    {0x0001, 0x0000}, {0x0001, 0x0000}, {0x0000, 0xFFFF}, {0x0020, 0x0021},
    // 36..39: RIGATO 5..8
    {0x0020, 0x0021}, {0x0020, 0x0021}, {0x0020, 0x0021}, {0x0020, 0x0021},
    // 40: class 2; 41: class 3; 42, 43: PRODUCO_9, PRODUCO_10
    {0x4000, 0xD301}, {0x8000, 0xECC6}, {0x1000, 0x6CC6}, {0x1000, 0x6CC6},
    // 44: class 4; 45, 46: NONPRODUCO_9, NONPRODUCO_10; 47: class 5
    {0x8000, 0xECC6}, {0x2000, 0x9318}, {0x2000, 0x9318}, {0x4000, 0xD301},
    // 48..55: PRODUCO 1..8
    {0x1000, 0x6CC6}, {0x1000, 0x6CC6}, {0x1000, 0x6CC6}, {0x1000, 0x6CC6},
    {0x1000, 0x6CC6}, {0x1000, 0x6CC6}, {0x1000, 0x6CC6}, {0x1000, 0x6CC6},
    // 56..63: NONPRODUCO 1..8
    {0x2000, 0x9318}, {0x2000, 0x9318}, {0x2000, 0x9318}, {0x2000, 0x9318},
    {0x2000, 0x9318}, {0x2000, 0x9318}, {0x2000, 0x9318}, {0x2000, 0x9318},
};

constexpr int kClassOpcodes[6] = {-1, 27, 40, 41, 44, 47};

} // namespace

const Opcode &opcode(int op)
{
    return kOpcodes[op & kOpcodeMask];
}

bool isCourseCommand(int op)
{
    return op >= 0 && (opcode(op).resources & kCourseMask) != 0;
}

int opcodeOf(std::int32_t command)
{
    if (command >= 0 && command < 64)
        return command;
    const std::int32_t cls = command / code::kJumpClassUnit;
    return command > 0 && cls >= 1 && cls <= 5 ? kClassOpcodes[cls] : -1;
}

bool hasParameterBytes(int op)
{
    return op == 27 || op == 40 || op == 41 || op == 44 || op == 47;
}

} // namespace machine

bool KnittingMachine::isCourse(const Definition &d) const
{
    const int op = machine::opcodeOf(m_memory->values[d.position]);
    // A code that is no command (never stored by the reader) is a plain
    // course: it writes nothing.
    return op < 0 || machine::isCourseCommand(op);
}

// Moves a definition on by one step (or past the zero-time command it has
// just written). The labels follow the steps of the definition's cycle:
// next command, load the cycles, command done.
void KnittingMachine::advance(Definition &d)
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

bool KnittingMachine::writeOpcode(int op)
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

bool KnittingMachine::writeCommand(std::int32_t command)
{
    if (command == code::kLiscio)
        return true;
    const int op = machine::opcodeOf(command);
    if (op < 0)
        return true;
    if (!writeOpcode(op))
        return false;
    if (machine::hasParameterBytes(op)) {
        // The parameter bytes always fit: a command byte is written at
        // position 9996 at the latest.
        m_code[m_length++] = std::uint8_t(((command / 256) % 16) - 4);
        m_code[m_length++] = std::uint8_t(command % 256);
    }
    return true;
}

// Ends a step and compresses runs: P0 is where the previous step began, P1
// where this one began, L the fill length. A step start equal to the
// previous one means there is no previous step to compare with.
void KnittingMachine::endStep()
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

    m_definitionCount = memory.definitionCount();
    for (int n = 0; n < m_definitionCount; ++n) {
        Definition &d = m_definitions[n];
        d = Definition();
        d.position = memory.definitionStart[n];
        d.end = memory.definitionEnd(n);
    }

    for (;;) {
        m_pending = false;
        for (int n = 0; n < m_definitionCount; ++n)
            advance(m_definitions[n]);

        while (m_pending) {
            m_stepResources = 0;
            m_pending = false;
            m_stepBegin = m_length;
            m_lastCommandByte = -1;
            for (int n = 0; n < m_definitionCount; ++n) {
                Definition &d = m_definitions[n];
                if (d.state != State::ZeroTimeThenHold && d.state != State::ZeroTimeThenNext)
                    continue;
                if (!writeCommand(memory.values[d.position]))
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
        for (int n = 0; n < m_definitionCount; ++n) {
            const Definition &d = m_definitions[n];
            if (d.state == State::Course || d.state == State::CourseAfterDelay) {
                if (!writeCommand(memory.values[d.position]))
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
