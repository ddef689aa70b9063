#include "window/core/headerspinner.h"

#include "kn4/number.h"

#include <array>

namespace kn4::editor {

namespace {

struct LabelInfo
{
    std::string_view control;
    std::string_view hint;
    HeaderField field;
};

constexpr std::array<LabelInfo, 7> kLabels{{
    {"CDx", "CostinaDx_Label", HeaderField::CostinaDx},
    {"Label6", "CostinaDx_Label", HeaderField::CostinaDx},
    {"CSx", "CostinaSx_Label", HeaderField::CostinaSx},
    {"SDx", "ScolloDx_Label", HeaderField::ScolloDx},
    {"Label7", "ScolloDx_Label", HeaderField::ScolloDx},
    {"SSx", "ScolloSx_Label", HeaderField::ScolloSx},
    {"Label8", "IngombroPettini_Label", HeaderField::IngombroPettini},
}};

} // namespace

HeaderSpinner::HeaderSpinner(WindowTimer::Clock clock)
    : m_timer(kFirstRepeatDelay, std::move(clock))
{
}

HeaderField HeaderSpinner::fieldOf(Label label)
{
    return kLabels[std::size_t(label)].field;
}

std::string_view HeaderSpinner::hintKey(Label label)
{
    return kLabels[std::size_t(label)].hint;
}

std::string_view HeaderSpinner::controlName(Label label)
{
    return kLabels[std::size_t(label)].control;
}

bool HeaderSpinner::press(Label label, int button, const HeaderSettings &settings)
{
    const HeaderField field = fieldOf(label);
    if (field == HeaderField::IngombroPettini && !settings.combEditable)
        return false;
    m_field = field;
    m_button = button;
    m_pressed = true;
    if (!m_timer.isRunning()) {
        m_repeated = false;
        m_timer.setInterval(kFirstRepeatDelay);
        m_timer.start();
    }
    return true;
}

HeaderSpinner::Step HeaderSpinner::release(std::string_view fieldText)
{
    if (!m_pressed)
        return {};
    m_pressed = false;
    m_timer.stop();
    if (m_repeated)
        return {};

    Step step;
    const std::int32_t value = leadingInteger(fieldText);
    const int limit = m_field == HeaderField::IngombroPettini ? kCombSingleStepLimit : kSingleStepLimit;
    if (m_button == kLeftButton) {
        if (value < limit)
            step.text = std::to_string(value + 1);
        else
            step.beep = true;
    } else if (m_button == kRightButton) {
        if (value >= 2)
            step.text = std::to_string(value - 1);
        else
            step.beep = true;
    }
    step.replay = step.text.has_value();
    return step;
}

HeaderSpinner::Step HeaderSpinner::Timer3_Timer(std::string_view fieldText)
{
    m_timer.stop();
    if (!m_pressed)
        return {};
    m_repeated = true;

    Step step;
    const std::int32_t value = leadingInteger(fieldText);
    const int limit = m_field == HeaderField::IngombroPettini ? kCombRepeatLimit : kRepeatLimit;
    if (m_button == kLeftButton && value < limit)
        step.text = std::to_string(value + kRepeatStep);
    else if (m_button == kRightButton && value > kRepeatStep)
        step.text = std::to_string(value - kRepeatStep);
    else
        return step;  // at the limit the repeat stops; the release adds nothing

    step.replay = true;
    m_timer.setInterval(kRepeatInterval);
    m_timer.start();
    return step;
}

} // namespace kn4::editor
