#include "codesimulator.h"

#include "knittingmachine.h"

#include <algorithm>

namespace kn4::compiler {

// Runs once per code byte or repetition, inlined into run.
[[gnu::always_inline]] inline bool CodeSimulator::apply(std::uint8_t commandByte)
{
    const int op = commandByte & machine::kOpcodeMask;
    m_stepResources |= machine::opcode(op).resources;
    // Whether an edge moved: the widest and narrowest values only change then.
    bool moved = true;
    switch (op) {
    case 0: case 12: m_necklineRight += 1; break;
    case 1: case 13: m_necklineLeft += 1; break;
    case 2: case 14: m_necklineRight += 2; break;
    case 3: case 15: m_necklineLeft += 2; break;
    case 4: case 8: m_necklineRight -= 1; break;
    case 5: case 9: m_necklineLeft -= 1; break;
    case 6: case 10: m_necklineRight -= 2; break;
    case 7: case 11: m_necklineLeft -= 2; break;
    case 16: m_outerRight -= 1; break;
    case 18: m_outerRight -= 2; break;
    case 17: m_outerLeft -= 1; break;
    case 19: m_outerLeft -= 2; break;
    // An increase takes two courses and widens on one of them.
    case 24: if (m_courses % 2 != 0) m_outerRight += 1; break;
    case 25: if (m_courses % 2 == 0) m_outerLeft += 1; break;
    case 27: case 40: case 41: case 44: case 47: m_pos += 2; moved = false; break;
    case 61: m_outerRight -= 4; m_outerLeft -= 4; break;
    case 62: m_outerRight -= 3; m_outerLeft -= 3; break;
    case 63: m_outerRight += 1; m_outerLeft += 1; break;
    case 34:
        m_report->appendf(".%5u comando non riconosciuto\r\n       alla riga %u\r\n", unsigned(m_steps + 1),
                          unsigned(m_courses));
        return false;
    default:
        moved = false;
        break;
    }
    if ((commandByte & machine::kSameStepFlag) == 0) {
        ++m_steps;
        if ((m_stepResources & machine::kCourseMask) != 0)
            ++m_courses;
    }
    if (moved) {
        m_maxRight = std::max(m_maxRight, m_outerRight);
        m_maxLeft = std::max(m_maxLeft, m_outerLeft);
        m_minGapRight = std::min(m_minGapRight, m_outerRight - m_necklineRight);
        m_minGapLeft = std::min(m_minGapLeft, m_outerLeft - m_necklineLeft);
    }
    return true;
}

bool CodeSimulator::run(const std::uint8_t *code, int length, const PanelHeader &header, Report &report)
{
    m_code = code;
    m_length = code ? length : 0;
    m_pos = 0;
    m_report = &report;
    m_outerRight = m_maxRight = header.borderRight;
    m_outerLeft = m_maxLeft = header.borderLeft;
    m_necklineRight = header.necklineRight;
    m_necklineLeft = header.necklineLeft;
    m_minGapRight = header.borderRight - header.necklineRight;
    m_minGapLeft = header.borderLeft - header.necklineLeft;
    m_stepResources = 0;
    m_steps = 0;
    m_courses = 0;

    int repeat = 0;
    std::uint8_t current = 0;
    bool haveCurrent = false;
    for (;;) {
        if (repeat > 0) {
            --repeat;
            if (!apply(current))
                return false;
            continue;
        }
        if (m_pos >= m_length)
            return true;
        const std::uint8_t byte = m_code[m_pos++];
        if (byte & machine::kCommandByte) {
            if (!haveCurrent || (current & machine::kSameStepFlag) == 0)
                m_stepResources = 0;
            current = byte;
            haveCurrent = true;
            if (!apply(current))
                return false;
        } else if (haveCurrent) {
            repeat = byte;
            if (!apply(current))
                return false;
        }
    }
}

} // namespace kn4::compiler
