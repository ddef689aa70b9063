#include "codesimulator.h"

#include "knittingmachine.h"

#include <algorithm>
#include <array>

namespace kn4::compiler {

namespace {

// The edges and counts of one walk over the code, held by the walk itself
// and handed to the simulator when it ends: kept apart from the members,
// they stay in registers for the whole walk.
struct Walk
{
    std::int32_t outerRight, outerLeft;
    std::int32_t necklineRight, necklineLeft;
    std::int32_t maxRight, maxLeft;
    std::int32_t minGapRight, minGapLeft;
    int pos = 0;
    std::uint16_t stepResources = 0;
    int steps = 0;
    int courses = 0;

    // Runs once per code byte or repetition. False for a command the
    // machine does not know: the walk stops there.
    [[gnu::always_inline]] bool apply(std::uint8_t commandByte)
    {
        const int op = commandByte & machine::kOpcodeMask;
        stepResources |= machine::opcode(op).resources;
        // Whether an edge moved: the widest and narrowest values only change then.
        bool moved = true;
        switch (op) {
        case 0: case 12: necklineRight += 1; break;
        case 1: case 13: necklineLeft += 1; break;
        case 2: case 14: necklineRight += 2; break;
        case 3: case 15: necklineLeft += 2; break;
        case 4: case 8: necklineRight -= 1; break;
        case 5: case 9: necklineLeft -= 1; break;
        case 6: case 10: necklineRight -= 2; break;
        case 7: case 11: necklineLeft -= 2; break;
        case 16: outerRight -= 1; break;
        case 18: outerRight -= 2; break;
        case 17: outerLeft -= 1; break;
        case 19: outerLeft -= 2; break;
        // An increase takes two courses and widens on one of them.
        case 24: if (courses % 2 != 0) outerRight += 1; break;
        case 25: if (courses % 2 == 0) outerLeft += 1; break;
        case 27: case 40: case 41: case 44: case 47: pos += 2; moved = false; break;
        case 61: outerRight -= 4; outerLeft -= 4; break;
        case 62: outerRight -= 3; outerLeft -= 3; break;
        case 63: outerRight += 1; outerLeft += 1; break;
        case 34:
            return false;
        default:
            moved = false;
            break;
        }
        if ((commandByte & machine::kSameStepFlag) == 0) {
            ++steps;
            if ((stepResources & machine::kCourseMask) != 0)
                ++courses;
        }
        if (moved) {
            maxRight = std::max(maxRight, outerRight);
            maxLeft = std::max(maxLeft, outerLeft);
            minGapRight = std::min(minGapRight, outerRight - necklineRight);
            minGapLeft = std::min(minGapLeft, outerLeft - necklineLeft);
        }
        return true;
    }
};

// The opcodes that move no edge and need no look of their own (the
// default of apply): their steps only count.
constexpr std::uint64_t kPlainOpcodes = [] {
    std::uint64_t mask = ~std::uint64_t(0);
    for (int op = 0; op <= 19; ++op)
        mask &= ~(std::uint64_t(1) << op);
    for (int op : {24, 25, 27, 34, 40, 41, 44, 47, 61, 62, 63})
        mask &= ~(std::uint64_t(1) << op);
    return mask;
}();

constexpr bool isPlain(int op)
{
    return ((kPlainOpcodes >> op) & 1) != 0;
}

// For each code byte: 0 unless it is a plain command alone on its step
// (no same-step flag); then 1, or 2 when that step is a course.
constexpr std::array<std::uint8_t, 256> kPlainAlone = [] {
    std::array<std::uint8_t, 256> table{};
    for (int op = 0; op < 64; ++op) {
        if (isPlain(op))
            table[machine::kCommandByte + op] = (machine::kOpcodes[op].resources & machine::kCourseMask) != 0 ? 2 : 1;
    }
    return table;
}();

} // namespace

bool CodeSimulator::run(const std::uint8_t *code, int length, const PanelHeader &header, Report &report)
{
    if (!code)
        length = 0;
    Walk w{header.borderRight, header.borderLeft, header.necklineRight, header.necklineLeft,
           header.borderRight, header.borderLeft,
           header.borderRight - header.necklineRight, header.borderLeft - header.necklineLeft};

    int repeat = 0;
    std::uint8_t current = 0;
    bool haveCurrent = false;
    bool known = true;
    for (;;) {
        if (repeat > 0) {
            --repeat;
            if (!(known = w.apply(current)))
                break;
            continue;
        }
        if (w.pos >= length)
            break;
        const std::uint8_t byte = code[w.pos++];
        const bool newStep = !haveCurrent || (current & machine::kSameStepFlag) == 0;
        if (byte & machine::kCommandByte) {
            if (newStep && kPlainAlone[byte] != 0) {
                // Plain commands alone on their steps, one after the other:
                // each a step and maybe a course, as apply counts them.
                std::uint8_t last = byte;
                w.steps += 1;
                w.courses += kPlainAlone[byte] - 1;
                while (w.pos < length && kPlainAlone[code[w.pos]] != 0) {
                    last = code[w.pos++];
                    w.steps += 1;
                    w.courses += kPlainAlone[last] - 1;
                }
                current = last;
                haveCurrent = true;
                w.stepResources = machine::opcode(last & machine::kOpcodeMask).resources;
                continue;
            }
            if (newStep)
                w.stepResources = 0;
            current = byte;
            haveCurrent = true;
            if (!(known = w.apply(current)))
                break;
        } else if (haveCurrent) {
            if (newStep && isPlain(current & machine::kOpcodeMask)) {
                // Its repetitions count alike, all at once.
                const int times = byte + 1;
                w.steps += times;
                if ((w.stepResources & machine::kCourseMask) != 0)
                    w.courses += times;
                continue;
            }
            repeat = byte;
            if (!(known = w.apply(current)))
                break;
        }
    }

    m_outerRight = w.outerRight;
    m_outerLeft = w.outerLeft;
    m_necklineRight = w.necklineRight;
    m_necklineLeft = w.necklineLeft;
    m_maxRight = w.maxRight;
    m_maxLeft = w.maxLeft;
    m_minGapRight = w.minGapRight;
    m_minGapLeft = w.minGapLeft;
    m_steps = w.steps;
    m_courses = w.courses;
    if (!known)
        report.appendf(".%5u comando non riconosciuto\r\n       alla riga %u\r\n", unsigned(w.steps + 1),
                       unsigned(w.courses));
    return known;
}

} // namespace kn4::compiler
