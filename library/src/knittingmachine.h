#pragma once

#include "report.h"
#include "sourcereader.h"

#include <cstdint>

namespace kn4::compiler {

// What each of the 64 machine opcodes occupies in a step, and what it
// cannot share a step with.
struct Opcode
{
    std::uint16_t resources;
    std::uint16_t conflicts;
};

namespace machine {
constexpr std::uint16_t kCourseMask = 0x9339;
constexpr std::uint8_t kCommandByte = 0x80;
constexpr std::uint8_t kSameStepFlag = 0x40;
constexpr std::uint8_t kPlainCourse = 0x80 + 20; // LISCIO: a step without commands
constexpr std::uint8_t kExitByte = 0x9C;
constexpr std::uint8_t kMaxCount = 127;
constexpr int kOpcodeMask = 0x3F;

const Opcode &opcode(int op);
bool isCourseCommand(int op);
// The opcode a command code is written as (jump-and-needle classes 1..5
// become 27, 40, 41, 44, 47), or -1 for a code that is none.
int opcodeOf(std::int32_t command);
bool hasParameterBytes(int op);
} // namespace machine

// The virtual knitting machine: runs the definitions of the command memory
// side by side, one step per carriage pass, checks the commands of each
// step for compatibility and writes the steps as virtual machine code,
// compressing runs of identical steps into repeat counts.
class KnittingMachine
{
public:
    static constexpr int kCodeSize = 10000;
    // Writing a byte fails once the code holds this many bytes; the two
    // parameter bytes of a jump-and-needle command always still fit.
    static constexpr int kWriteLimit = 9997;

    // Generates the code. The outer cycles in the command memory are
    // consumed (each block runs its repetitions once per compilation).
    // Returns false, with the message in the report, on failure.
    bool generate(CommandMemory &memory, const PanelHeader &header, Report &report);

    const std::uint8_t *code() const { return m_code; }
    int codeLength() const { return m_length; }
    int steps() const { return m_steps; }
    int courses() const { return m_courses; }
    int extraSteps() const { return m_extra; }

private:
    enum class State {
        Initial,
        Delaying,
        Course,
        Holding,
        CourseAfterDelay,
        ZeroTimeAfterDelay,
        ZeroTimeThenHold,
        ZeroTimeThenNext,
        Finished,
    };

    struct Definition
    {
        int position = 0; // of the current command in the command memory
        int end = 0;
        State state = State::Initial;
        std::int32_t inner = 0;
        std::int32_t outer = 0;
        int loopStart = 0;
        // Whether the current pass through the block produced anything.
        bool passProduced = false;
    };

    void advance(Definition &d);
    bool isCourse(const Definition &d) const;
    bool writeCommand(std::int32_t command);
    bool writeOpcode(int op);
    bool writeByte(std::uint8_t byte);
    void endStep();
    bool fail() { m_failed = true; return false; }

    CommandMemory *m_memory = nullptr;
    Report *m_report = nullptr;
    Definition m_definitions[CommandMemory::kMaxDefinitions];
    int m_definitionCount = 0;
    std::uint8_t m_code[kCodeSize] = {};
    int m_length = 0;
    int m_previousStart = 0; // P0
    int m_stepStart = 1;     // P1
    int m_stepBegin = 0;     // fill length when the step began
    int m_lastCommandByte = -1;
    std::uint16_t m_stepResources = 0;
    bool m_pending = false;
    bool m_failed = false;
    int m_steps = 0;
    int m_courses = 0;
    int m_extra = 0;
};

} // namespace kn4::compiler
