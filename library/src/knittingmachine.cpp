#include "knittingmachine.h"

#include <algorithm>
#include <cstring>

namespace kn4::compiler {

// advance and the code writer below run once per step (and definition), so
// they are inlined into the step loop of generate.

// Moves a definition on by one step (or past the zero-time command it has
// just written). The labels follow the steps of the definition's cycle:
// next command, load the cycles, command done. Returns whether a zero-time
// command came due, which takes a step of its own before the course.
[[gnu::always_inline]] inline bool KnittingMachine::advance(Definition &d, std::int32_t *values)
{
    enum { NextCommand, Load, Done } step;

    switch (d.state) {
    case State::Initial:
        d.loopStart = d.position;
        d.passProduced = false;
        step = NextCommand;
        break;
    case State::Delaying:
        if (++d.inner != 0)
            return false;
        d.state = isCourse(d) ? State::CourseAfterDelay : State::ZeroTimeAfterDelay;
        return false;
    case State::Course:
    case State::Holding:
        if (--d.inner != 0) {
            d.state = State::Holding;
            return false;
        }
        step = Done;
        break;
    case State::CourseAfterDelay:
    case State::ZeroTimeThenNext:
        step = Done;
        break;
    case State::ZeroTimeAfterDelay:
        d.state = State::ZeroTimeThenNext;
        return true;
    case State::ZeroTimeThenHold:
        d.state = State::Holding;
        return false;
    case State::Finished:
    default:
        return false;
    }

    for (;;) {
        switch (step) {
        case NextCommand:
            if (d.position >= d.end) {
                d.state = State::Finished;
                return false;
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
                d.state = State::ZeroTimeThenNext;
                return true;
            }
            d.passProduced = true;
            if (d.inner > 0) {
                if (course) {
                    d.state = State::Course;
                    return false;
                }
                d.state = State::ZeroTimeThenHold;
                return true;
            }
            if (++d.inner != 0)
                d.state = State::Delaying;
            else
                d.state = course ? State::CourseAfterDelay : State::ZeroTimeAfterDelay;
            return false;
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

// Where a block that begins at the definition's command ends (its last
// command, the one whose outer cycle counts the passes), when the block is
// one of plain courses: course commands holding one or more steps each, the
// others repeated by their negative outer cycles, fewer than
// kPlainPassLength commands in a pass. The pass's commands, repeats spelt
// out, go into pass and their number into count. -1 for any other block.
int KnittingMachine::plainBlock(const Definition &d, const std::int32_t *values, PlainCourse *pass, int &count) const
{
    count = 0;
    for (int position = d.position; position < d.end; position += 3) {
        const std::int32_t cycles = values[position + 1];
        const std::int64_t outer = values[position + 2];
        const std::int64_t times = outer > 0 ? 1 : -outer;
        if (!m_courseAt[position] || cycles < 1 || outer == 0 || count + times >= kPlainPassLength)
            return -1;
        for (std::int64_t time = 0; time < times; ++time)
            pass[count++] = {m_opcodeAt[position], values[position], cycles};
        if (outer > 0)
            return position;
    }
    return -1;
}

// A definition's step in a round: a course command holding for many steps
// counts down, anything else moves on. Holding writes nothing and wants
// nothing, so the rounds that only count down are passed over (the
// definition is not visited again before quietUntil) and the last step is
// taken as usual. Returns whether a zero-time command came due.
[[gnu::always_inline]] inline bool KnittingMachine::takeStep(Definition &d, std::int64_t round, std::int32_t *values)
{
    bool pending = false;
    if ((d.state == State::Holding || d.state == State::Course) && d.inner > 1) {
        --d.inner;
        d.state = State::Holding;
    } else {
        pending = advance(d, values);
    }
    if (d.state == State::Holding && d.inner > 1) {
        d.quietUntil = round + d.inner - 1;
        d.inner = 1;
    }
    return pending;
}

namespace {

// The most bytes before the fill length that a pass of plain courses may
// look back on for the passes after it to be copies.
constexpr int kRepeatWindow = 16;

// The code being written and the positions its run compression looks at,
// held by the step loop itself: kept apart from the machine's members, the
// byte stores into the code do not make the compiler reload them after
// every byte.
struct CodeWriter
{
    enum Result { Written, Full, Incompatible };

    std::uint8_t *code;
    int length = 0;
    int previousStart = 0; // P0
    int stepStart = 1;     // P1
    int stepBegin = 0;     // fill length when the step began
    int lastCommandByte = -1;
    std::uint16_t resources = 0;

    bool put(std::uint8_t byte)
    {
        if (length >= KnittingMachine::kWriteLimit)
            return false;
        code[length++] = byte;
        return true;
    }

    void beginStep()
    {
        resources = 0;
        stepBegin = length;
        lastCommandByte = -1;
    }

    // A command of the command memory (the opcode it writes, -1 for none,
    // and its code): the command byte, marked as sharing the step when a
    // command came before it in the same step, and a jump-and-needle
    // command's two parameter bytes.
    Result command(int op, std::int32_t value)
    {
        if (op < 0)
            return Written;
        const Opcode &x = machine::opcode(op);
        if (resources != 0) {
            if ((resources & x.conflicts) != 0)
                return Incompatible;
            if (lastCommandByte >= 0)
                code[lastCommandByte] |= machine::kSameStepFlag;
        }
        resources |= x.resources;
        lastCommandByte = length;
        if (!put(std::uint8_t(machine::kCommandByte + op)))
            return Full;
        if (machine::hasParameterBytesUnchecked(op)) {
            // The parameter bytes always fit: a command byte is written at
            // position 9996 at the latest.
            code[length++] = std::uint8_t(((value / 256) % 16) - 4);
            code[length++] = std::uint8_t(value % 256);
        }
        return Written;
    }

    // What the next step's compression may look back on: the bytes from
    // P0 to the fill length, and where P0 and P1 stand from it. Empty
    // (bytes -1) when longer than kRepeatWindow.
    struct Window
    {
        int bytes = -1;
        int stepStart = 0;
        std::uint8_t code[kRepeatWindow] = {};
    };

    Window window() const
    {
        Window w;
        const int bytes = length - previousStart;
        if (bytes < 0 || bytes > kRepeatWindow)
            return w;
        w.bytes = bytes;
        w.stepStart = length - stepStart;
        std::memcpy(w.code, code + previousStart, std::size_t(bytes));
        return w;
    }

    // Whether the steps written since begin left the compression as start
    // found it, without a change to the bytes before begin: the same steps
    // again write the same bytes again.
    bool leftAsFound(const Window &start, int begin) const
    {
        if (start.bytes < 0 || length - previousStart != start.bytes || length - stepStart != start.stepStart)
            return false;
        return std::memcmp(code + previousStart, start.code, std::size_t(start.bytes)) == 0
               && std::memcmp(code + begin - start.bytes, start.code, std::size_t(start.bytes)) == 0;
    }

    // The last bytes written, times more times, the compression moved on
    // with them: each copy doubles what can be copied next.
    void repeatLast(int bytes, int times)
    {
        const int total = bytes * times;
        const std::uint8_t *pattern = code + length - bytes;
        for (int copied = 0; copied < total;) {
            const int chunk = std::min(bytes + copied, total - copied);
            std::memcpy(code + length + copied, pattern, std::size_t(chunk));
            copied += chunk;
        }
        length += total;
        previousStart += total;
        stepStart += total;
    }

    // Ends a step and compresses runs: P0 is where the previous step began,
    // P1 where this one began, L the fill length. A step start equal to the
    // previous one means there is no previous step to compare with. False
    // when the code is full.
    bool endStep()
    {
        const int fill = length;
        int &p0 = previousStart;
        int &p1 = stepStart;
        if (fill > stepBegin) {
            // The bytes first: steps that differ are the common case (both
            // positions are inside the code array whatever they hold).
            if (code[p0] != code[p1]) [[likely]] {
                p0 = p1;
                p1 = fill;
                return true;
            }
            if (p0 != p1 && p0 < fill && p1 < fill) {
                if (fill == p0 + 2) {
                    code[p1] = 0;
                    p1 = fill;
                    return true;
                }
                if (fill == p0 + 3 && code[p0 + 1] < machine::kMaxCount) {
                    ++code[p0 + 1];
                    length = p1;
                    return true;
                }
            }
            p0 = p1;
            p1 = fill;
            return true;
        }
        if (p0 < fill && code[p0] == machine::kPlainCourse) {
            if (code[fill - 1] < machine::kMaxCount) {
                ++code[fill - 1];
                return true;
            }
            if (!put(0))
                return false;
            p1 = length;
            return true;
        }
        const int oldStart = p1;
        if (!put(machine::kPlainCourse))
            return false;
        p0 = oldStart;
        p1 = length;
        return true;
    }
};

} // namespace

bool KnittingMachine::generate(CommandMemory &memory, const PanelHeader &header, Report &report)
{
    // The command memory: the outer cycles are counted down in place.
    std::int32_t *const values = memory.values;
    m_length = 0;
    m_steps = 0;
    m_courses = 0;
    m_extra = (header.setUp != 0 ? 1 : 0) + (header.exit != 0 ? 1 : 0);

    if (memory.lastDefinition < 0) {
        report.appendf(".%5u nessuna definizione da compilare\r\n", 0u);
        return false;
    }

    CodeWriter out{m_code};
    int steps = 0;
    int courses = 0;
    // The ends of the generation take the code's length and the counts
    // reached as values: the step loops keep them to themselves.
    const auto finish = [this](bool ok, int length, int stepsDone, int coursesDone) {
        m_length = length;
        m_steps = stepsDone;
        m_courses = coursesDone;
        return ok;
    };
    const auto full = [&report, &finish](int length, int stepsDone, int coursesDone) {
        report.appendf(".%5u memoria telaio virtuale esaurita\r\n", unsigned(stepsDone + 1));
        return finish(false, length, stepsDone, coursesDone);
    };
    // A command refused: the code is full, or the command cannot share its
    // step with those written before it.
    const auto refused = [&report, &full, &finish](CodeWriter::Result why, int op, std::uint16_t resources,
                                                   int length, int stepsDone, int coursesDone) {
        if (why == CodeWriter::Full)
            return full(length, stepsDone, coursesDone);
        report.appendf(".%5u comandi incompatibili sullo stesso passo %04x %04x\r\n"
                       "       alla riga %u\r\n",
                       unsigned(stepsDone + 1), unsigned(machine::opcode(op).resources), unsigned(resources),
                       unsigned(coursesDone));
        return finish(false, length, stepsDone, coursesDone);
    };

    if (header.setUp != 0 && !out.put(std::uint8_t(machine::kExitByte + (header.setUp & 3))))
        return full(out.length, steps, courses);

    // Each command's opcode and whether it makes a course, once: LISCIO
    // writes nothing, and a code that is no command (never stored by the
    // reader) is a plain course, which writes nothing either.
    for (int position = 0; position + 2 < memory.fill; position += 3) {
        const int op = machine::opcodeOf(values[position]);
        m_opcodeAt[position] = std::int8_t(op == code::kLiscio ? -1 : op);
        m_courseAt[position] = op < 0 || machine::isCourseCommand(op);
    }

    // The definitions still running, in their order: a finished definition
    // never writes again, so the steps after it no longer visit it.
    Definition definitions[CommandMemory::kMaxDefinitions];
    Definition *running[CommandMemory::kMaxDefinitions];
    const int definitionCount = memory.definitionCount();
    int runningCount = definitionCount;
    for (int n = 0; n < definitionCount; ++n) {
        Definition &d = definitions[n];
        d = Definition();
        d.position = memory.definitionStart[n];
        d.end = memory.definitionEnd(n);
        running[n] = &d;
    }

    // Each round advances every definition by a step, writes the zero-time
    // steps that come due and then one course step.
    std::int64_t round = 0;
    for (; runningCount > 1; ++round) {
        bool pending = false;
        int kept = 0;
        // The definitions making a course in this round, in their order,
        // as long as no zero-time step moves one on first.
        const Definition *coursing[CommandMemory::kMaxDefinitions];
        int coursingCount = 0;
        for (int i = 0; i < runningCount; ++i) {
            Definition &d = *running[i];
            if (d.quietUntil >= round) {
                running[kept++] = running[i];
                continue;
            }
            pending |= takeStep(d, round, values);
            if (d.state == State::Course || d.state == State::CourseAfterDelay)
                coursing[coursingCount++] = &d;
            if (d.state != State::Finished)
                running[kept++] = running[i];
        }
        runningCount = kept;

        const bool zeroTime = pending;
        while (pending) {
            out.beginStep();
            pending = false;
            for (int i = 0; i < runningCount; ++i) {
                Definition &d = *running[i];
                if (d.state != State::ZeroTimeThenHold && d.state != State::ZeroTimeThenNext)
                    continue;
                const int op = m_opcodeAt[d.position];
                if (const auto written = out.command(op, values[d.position]); written != CodeWriter::Written)
                    return refused(written, op, out.resources, out.length, steps, courses);
                pending |= advance(d, values);
            }
            if (!out.endStep())
                return full(out.length, steps, courses);
            ++steps;
        }
        if (zeroTime) {
            // The zero-time steps moved definitions on: the courses are
            // those of the states they left.
            coursingCount = 0;
            for (int i = 0; i < runningCount; ++i) {
                if (running[i]->state == State::Course || running[i]->state == State::CourseAfterDelay)
                    coursing[coursingCount++] = running[i];
            }
        }

        if (definitions[0].state == State::Finished) {
            if (header.exit != 0 && !out.put(machine::kExitByte))
                return full(out.length, steps, courses);
            return finish(true, out.length, steps, courses);
        }

        out.beginStep();
        for (int i = 0; i < coursingCount; ++i) {
            const Definition &d = *coursing[i];
            const int op = m_opcodeAt[d.position];
            if (const auto written = out.command(op, values[d.position]); written != CodeWriter::Written)
                return refused(written, op, out.resources, out.length, steps, courses);
        }
        if (!out.endStep())
            return full(out.length, steps, courses);
        ++steps;
        ++courses;
    }

    // The first definition alone runs on (a finished first definition ends
    // the generation, so it is the one left): the same rounds, on a copy
    // the loop keeps in registers. Most panels end this way, for most of
    // their steps.
    Definition d = definitions[0];
    // The first command of a block found not to be one of plain courses.
    int notPlainBlock = -1;
    for (;; ++round) {
        bool pending = false;
        if (d.quietUntil < round)
            pending = takeStep(d, round, values);

        while (pending) {
            out.beginStep();
            pending = false;
            if (d.state == State::ZeroTimeThenHold || d.state == State::ZeroTimeThenNext) {
                const int op = m_opcodeAt[d.position];
                if (const auto written = out.command(op, values[d.position]); written != CodeWriter::Written)
                    return refused(written, op, out.resources, out.length, steps, courses);
                pending = advance(d, values);
            }
            if (!out.endStep())
                return full(out.length, steps, courses);
            ++steps;
        }

        if (d.state == State::Finished) {
            if (header.exit != 0 && !out.put(machine::kExitByte))
                return full(out.length, steps, courses);
            return finish(true, out.length, steps, courses);
        }

        // A pass of a block of plain courses begins (its first command has
        // just been loaded), and more follow. Each pass takes the same
        // steps, and a pass that leaves the compression as it found it (the
        // same bytes in the window it may look back on, at the same place)
        // and wrote nothing before that window is followed by passes that
        // write its bytes again: those are copied, as long as the code holds
        // them. The last pass runs as usual.
        if (d.state == State::Course && d.position == d.loopStart && d.position != notPlainBlock
            && d.inner == values[d.position + 1] && d.outer == values[d.position + 2]) {
            PlainCourse pass[kPlainPassLength];
            int count = 0;
            const int last = plainBlock(d, values, pass, count);
            if (last < 0)
                notPlainBlock = d.position;
            while (last >= 0 && values[last + 2] > 1) {
                const int begin = out.length;
                const CodeWriter::Window start = out.window();
                int peak = begin;
                std::int64_t passRounds = 0;
                for (int i = 0; i < count; ++i) {
                    for (std::int32_t cycle = 0; cycle < pass[i].cycles; ++cycle) {
                        out.beginStep();
                        // The command on its first step, holding on the others.
                        if (cycle == 0) {
                            if (const auto written = out.command(pass[i].op, pass[i].value);
                                written != CodeWriter::Written)
                                return refused(written, pass[i].op, out.resources, out.length, steps, courses);
                        }
                        peak = std::max(peak, out.length);
                        if (!out.endStep())
                            return full(out.length, steps, courses);
                        peak = std::max(peak, out.length);
                        ++steps;
                        ++courses;
                        ++passRounds;
                    }
                }
                round += passRounds;
                --values[last + 2];
                const int bytes = out.length - begin;
                if (bytes <= 0 || !out.leftAsFound(start, begin))
                    continue;
                // The passes the code holds, all but the last.
                const int spare = kWriteLimit - (peak - begin) - out.length;
                const int copies = spare < 0 ? 0 : std::min(values[last + 2] - 1, spare / bytes + 1);
                if (copies > 0) {
                    out.repeatLast(bytes, copies);
                    steps += int(passRounds * copies);
                    courses += int(passRounds * copies);
                    round += passRounds * copies;
                    values[last + 2] -= copies;
                }
            }
            // A block of one command keeps its pass count as its outer cycle.
            if (last == d.loopStart)
                d.outer = values[last + 2];
        }

        out.beginStep();
        if (d.state == State::Course || d.state == State::CourseAfterDelay) {
            const int op = m_opcodeAt[d.position];
            if (const auto written = out.command(op, values[d.position]); written != CodeWriter::Written)
                return refused(written, op, out.resources, out.length, steps, courses);
        }
        if (!out.endStep())
            return full(out.length, steps, courses);
        ++steps;
        ++courses;
    }
}

} // namespace kn4::compiler
