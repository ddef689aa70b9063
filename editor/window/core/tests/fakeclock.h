#pragma once

#include "window/core/windowtimer.h"

#include <cstdint>
#include <memory>

namespace kn4::editor::testing {

// A clock the test moves by hand, standing in for the window's message
// loop: advance() fires a timer each time its interval has passed, at the
// time it would have fired.
class FakeClock
{
public:
    WindowTimer::Clock clock() const
    {
        return [now = m_now] { return *now; };
    }
    std::int64_t now() const { return *m_now; }

    // Moves the clock forward by ms, firing `fire` whenever the timer read
    // through `timer` is due.
    template <typename TimerOf, typename Fire>
    void advance(std::int64_t ms, TimerOf timer, Fire fire)
    {
        const std::int64_t end = *m_now + ms;
        while (timer().isRunning() && timer().dueAt() <= end) {
            *m_now = timer().dueAt();
            fire();
        }
        *m_now = end;
    }

private:
    std::shared_ptr<std::int64_t> m_now = std::make_shared<std::int64_t>(0);
};

} // namespace kn4::editor::testing
