#pragma once

#include "report.h"
#include "sourcereader.h"

#include <cstdint>

namespace kn4::compiler {

// The third stage of a compilation: walks the finished code once and
// follows the outer edges and the neckline edges of the piece.
class CodeSimulator
{
public:
    // Returns false, with the message in the report, when the code holds an
    // unknown command.
    bool run(const std::uint8_t *code, int length, const PanelHeader &header, Report &report);

    int steps() const { return m_steps; }
    int courses() const { return m_courses; }
    std::int32_t outerRight() const { return m_outerRight; }
    std::int32_t outerLeft() const { return m_outerLeft; }
    std::int32_t necklineRight() const { return m_necklineRight; }
    std::int32_t necklineLeft() const { return m_necklineLeft; }
    std::int32_t maxRight() const { return m_maxRight; }
    std::int32_t maxLeft() const { return m_maxLeft; }
    std::int32_t minGapRight() const { return m_minGapRight; }
    std::int32_t minGapLeft() const { return m_minGapLeft; }

private:
    int m_steps = 0;
    int m_courses = 0;
    std::int32_t m_outerRight = 0, m_outerLeft = 0;
    std::int32_t m_necklineRight = 0, m_necklineLeft = 0;
    std::int32_t m_maxRight = 0, m_maxLeft = 0;
    std::int32_t m_minGapRight = 0, m_minGapLeft = 0;
};

} // namespace kn4::compiler
