#pragma once

#include "window/core/headerfields.h"
#include "window/core/windowtimer.h"

#include <optional>
#include <string>
#include <string_view>

namespace kn4::editor {

// The spinner labels beside the rib, neckline and comb-clearance fields: a
// short click adds or takes 1, a held button adds or takes 5 after half a
// second and then every 100 ms (Timer3). The window forwards the press,
// the release and Timer3, passing the stepped field's text, and writes back
// the text a step gives.
class HeaderSpinner
{
public:
    enum class Label { CDx, Label6, CSx, SDx, Label7, SSx, Label8 };

    static constexpr std::int32_t kFirstRepeatDelay = 500;
    static constexpr std::int32_t kRepeatInterval = 100;
    static constexpr int kLeftButton = 1;
    static constexpr int kRightButton = 2;
    // A single step stays below these; the comb clearance has two digits.
    static constexpr int kSingleStepLimit = 999;
    static constexpr int kCombSingleStepLimit = 99;
    static constexpr int kRepeatStep = 5;
    static constexpr int kRepeatLimit = 995;
    static constexpr int kCombRepeatLimit = kCombSingleStepLimit - kRepeatStep + 1;

    struct Step
    {
        std::optional<std::string> text;  // the field's new text
        bool beep = false;
        bool replay = false;  // the totals follow the new value
    };

    explicit HeaderSpinner(WindowTimer::Clock clock = WindowTimer::steadyClock());

    static HeaderField fieldOf(Label label);
    static std::string_view hintKey(Label label);
    static std::string_view controlName(Label label);

    // Press on a spinner label: starts Timer3 unless it runs. The comb
    // clearance's spinner works only when the field is editable; false when
    // the press does nothing.
    bool press(Label label, int button, const HeaderSettings &settings);
    // Release: a press Timer3 never repeated steps by 1 (or beeps at the limit).
    Step release(std::string_view fieldText);
    // Timer3 while held: steps by 5 and goes on every 100 ms, or stops
    // repeating at the limit.
    Step Timer3_Timer(std::string_view fieldText);

    bool pressed() const { return m_pressed; }
    HeaderField field() const { return m_field; }
    const WindowTimer &timer() const { return m_timer; }

private:
    WindowTimer m_timer;
    bool m_pressed = false;
    bool m_repeated = false;
    int m_button = kLeftButton;
    HeaderField m_field = HeaderField::CostinaDx;
};

} // namespace kn4::editor
