// The time that drives the toolkit's timers: the steady clock of the machine, or a virtual
// clock that only moves when a test (or a simulated slow device) moves it.
#pragma once

#include <chrono>

namespace toolkit {

using Millis = std::chrono::milliseconds;

class Clock {
public:
    virtual ~Clock() = default;
    virtual Millis now() const = 0;
};

class RealClock final : public Clock {
public:
    Millis now() const override {
        return std::chrono::duration_cast<Millis>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
};

class VirtualClock final : public Clock {
public:
    Millis now() const override { return m_now; }
    void setNow(Millis t) {
        if (t > m_now)
            m_now = t;
    }
    // Time passing inside a handler, e.g. a read that waits for a reply.
    void spend(Millis d) { m_now += d; }

private:
    Millis m_now{0};
};

}  // namespace toolkit
