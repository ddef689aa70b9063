#include "core/machinecheck.h"

#include "core/panelfiles.h"

#include <kn4/compiledpanel.h>
#include <simulator/knitengine.h>
#include <simulator/panelhead.h>

namespace kn4::manager {

namespace {

// Follows the replay step by step for the first course where the edges
// cross. The outer edges are the engine's; the neckline edges start from the
// header's neckline values and move with the neckline commands alone (codes
// 128 to 143), as the compiler's own simulation follows them: the punch
// and cable jumps also move the engine's carriages, but no neckline edge.
class CrossingWatch final : public KnitObserver
{
public:
    CrossingWatch(std::int32_t necklineRight, std::int32_t necklineLeft, bool symmetric)
        : m_right(necklineRight), m_left(necklineLeft), m_symmetric(symmetric)
    {
    }

    void stepDecoded(const KnitStep &step, const KnitState &state) override
    {
        if (m_crossing != MachineCheck::Crossing::None)
            return;
        if (step.command >= 128 && step.command <= 143) {
            // 128 +1, 130 +2, 132 -1, 134 -2 on the right (odd codes on the
            // left); 136 to 143 the same moves in the other direction.
            const int code = step.command - 128;
            const int size = (code & 2) ? 2 : 1;
            const int sign = ((code & 4) != 0) != ((code & 8) != 0) ? -1 : 1;
            std::int64_t &edge = (code & 1) ? m_left : m_right;
            edge += std::int64_t(sign) * size * step.count;
        }
        if (m_symmetric)
            m_left = m_right;
        if (state.rightEdge + state.leftEdge < 1)
            m_crossing = MachineCheck::Crossing::Width;
        else if (double(m_right) > state.rightEdge)
            m_crossing = MachineCheck::Crossing::RightNeckline;
        else if (double(m_left) > state.leftEdge)
            m_crossing = MachineCheck::Crossing::LeftNeckline;
        if (m_crossing != MachineCheck::Crossing::None)
            m_course = state.course;
    }

    MachineCheck::Crossing crossing() const { return m_crossing; }
    std::int64_t course() const { return m_course; }

private:
    std::int64_t m_right;
    std::int64_t m_left;
    bool m_symmetric;
    MachineCheck::Crossing m_crossing = MachineCheck::Crossing::None;
    std::int64_t m_course = 0;
};

} // namespace

MachineCheck MachineCheck::ofBytes(std::string_view bytes)
{
    MachineCheck check;
    const CompiledPanel panel{std::string(bytes)};
    if (!panel.hasMarker())
        return check;
    if (!panel.hasSeparator() || panel.code().empty()) {
        check.verdict = Verdict::NoCode;
        return check;
    }
    const PanelHead head = PanelHead::fromBytes(bytes);
    if (!head.ok()) {
        check.verdict = Verdict::NoCode;
        return check;
    }
    KnitEngine engine;
    engine.setHead(head);
    engine.setRecording(false);
    CrossingWatch watch(head.necklineRight(), head.necklineLeft(), head.setup() == 1);
    engine.setObserver(&watch);
    engine.maglia();
    check.verdict = watch.crossing() == Crossing::None ? Verdict::Sound : Verdict::EdgesCross;
    check.crossing = watch.crossing();
    check.course = watch.course();
    return check;
}

MachineCheck MachineCheck::ofFile(const std::filesystem::path &panel, std::string *error)
{
    std::string bytes;
    std::string reason;
    if (!readFileBytes(panel, bytes, reason)) {
        if (error)
            *error = reason;
        return {};
    }
    return ofBytes(bytes);
}

} // namespace kn4::manager
