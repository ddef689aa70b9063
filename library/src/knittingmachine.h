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

// Resource bits and conflict masks of the 64 opcodes.
inline constexpr Opcode kOpcodes[64] = {
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

inline constexpr int kClassOpcodes[6] = {-1, 27, 40, 41, 44, 47};

inline const Opcode &opcode(int op)
{
    return kOpcodes[op & kOpcodeMask];
}

inline bool isCourseCommand(int op)
{
    return op >= 0 && (opcode(op).resources & kCourseMask) != 0;
}

// The opcode a command code is written as (jump-and-needle classes 1..5
// become 27, 40, 41, 44, 47), or -1 for a code that is none.
inline int opcodeOf(std::int32_t command)
{
    if (command >= 0 && command < 64)
        return command;
    const std::int32_t cls = command / code::kJumpClassUnit;
    return command > 0 && cls >= 1 && cls <= 5 ? kClassOpcodes[cls] : -1;
}

// Opcodes 27, 40, 41, 44 and 47: the jump-and-needle classes.
constexpr std::uint64_t kWithParameters = (1ull << 27) | (1ull << 40) | (1ull << 41) | (1ull << 44) | (1ull << 47);

// For an opcode known to be one (0..63).
inline bool hasParameterBytesUnchecked(int op)
{
    return ((kWithParameters >> (op & kOpcodeMask)) & 1) != 0;
}

inline bool hasParameterBytes(int op)
{
    return op >= 0 && op < 64 && hasParameterBytesUnchecked(op);
}

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
        // A course command holding for many steps does nothing until the
        // round after this one: it is not visited before (its cycle count
        // is left at its last step).
        std::int64_t quietUntil = -1;
    };

    bool advance(Definition &d, std::int32_t *values);
    bool takeStep(Definition &d, std::int64_t round, std::int32_t *values);

    // One course of a pass of a block of plain courses: the opcode written
    // (-1 for none), the command's code and its cycles.
    struct PlainCourse
    {
        int op;
        std::int32_t value;
        std::int32_t cycles;
    };
    static constexpr int kPlainPassLength = 64;
    int plainBlock(const Definition &d, const std::int32_t *values, PlainCourse *pass, int &count) const;
    bool isCourse(const Definition &d) const { return m_courseAt[d.position]; }

    // The opcode written (-1 for none: LISCIO, or a code that is no command)
    // and whether it makes a course, of the command at each position of the
    // command memory, worked out once.
    std::int8_t m_opcodeAt[CommandMemory::kIntegers] = {};
    bool m_courseAt[CommandMemory::kIntegers] = {};
    std::uint8_t m_code[kCodeSize] = {};
    int m_length = 0;
    int m_steps = 0;
    int m_courses = 0;
    int m_extra = 0;
};

} // namespace kn4::compiler
