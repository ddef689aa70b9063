#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <utility>

namespace kn4::editor {

// A window timer (Timer1, Timer2, Timer3) as the GUI-free cores keep it:
// whether it runs, its interval, and when it was last started. The core
// decides when the timer starts and stops; the window mirrors the state on
// a real timer and calls the core's handler when it fires. Time comes from
// a clock in milliseconds that tests replace.
class WindowTimer
{
public:
    using Clock = std::function<std::int64_t()>;

    explicit WindowTimer(std::int32_t interval, Clock clock = steadyClock())
        : m_interval(interval), m_clock(std::move(clock))
    {
    }

    bool isRunning() const { return m_running; }
    std::int32_t interval() const { return m_interval; }
    // Clock time of the last start; meaningful while the timer runs.
    std::int64_t startedAt() const { return m_startedAt; }
    // When the running timer fires next.
    std::int64_t dueAt() const { return m_startedAt + m_interval; }

    // Changing the interval of a running timer restarts its count, as a
    // window timer does.
    void setInterval(std::int32_t interval)
    {
        m_interval = interval;
        if (m_running)
            m_startedAt = m_clock();
    }
    void start()
    {
        m_running = true;
        m_startedAt = m_clock();
    }
    void stop() { m_running = false; }

    static Clock steadyClock()
    {
        return [] {
            return std::int64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count());
        };
    }

private:
    bool m_running = false;
    std::int32_t m_interval;
    std::int64_t m_startedAt = 0;
    Clock m_clock;
};

} // namespace kn4::editor
