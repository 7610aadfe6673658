// The link between a port and the device on its far end, in time its host passes in. Written
// bytes wait in a bounded output queue (the size of a serial driver's) and leave one at a time
// at the line's rate, reaching the device when their last bit has; the device's replies travel
// back the same way into the input queue. A serial line runs at the rate the program set (a
// byte is a start bit, its data bits, a parity bit if any, and its stop bits); a parallel link
// runs at a fixed fast rate and has no way back. The far end can take nothing (a stuck
// printer: nothing leaves), trickle (a printer whose buffer is full takes a byte as it prints
// one, whatever the line's rate) or be switched off (bytes leave and are lost, nothing answers).
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <span>

#include "sim/device.h"

namespace sim {

class Line {
public:
    enum class FarEnd { Working, TakesNothing, Trickles, SwitchedOff };

    static constexpr std::size_t kOutputQueueSize = 4096;
    static constexpr std::size_t kInputQueueSize = 4096;
    // A byte on a parallel link.
    static constexpr Time kParallelByteTime = std::chrono::microseconds(10);
    // A byte to a far end that trickles.
    static constexpr Time kTrickleByteTime = std::chrono::milliseconds(100);

    // A serial line at 9600 baud 8N1, or with these settings.
    Line() = default;
    explicit Line(LineSettings settings) : m_settings(settings) {}
    static Line parallel();

    bool isParallel() const { return m_parallel; }
    const LineSettings& settings() const { return m_settings; }
    // The time of one byte on the wire.
    Time byteTime() const;

    // What is on the far end; the line shares it with its host. Null: nothing is.
    void attach(std::shared_ptr<Device> device, Time now);
    Device* device() const { return m_device.get(); }
    void setFarEnd(FarEnd farEnd, Time now);
    FarEnd farEnd() const { return m_farEnd; }
    // New settings from `now` on; bytes not yet on the wire go at the new rate.
    void setSettings(const LineSettings& settings, Time now);
    // How long the device takes to answer: a reply leaves this long after the byte that asked
    // for it has arrived (a slow printer). None at first.
    void setReplyDelay(Time delay) { m_replyDelay = delay; }

    // Moves the line on to `now`: bytes whose time has come reach the device, replies whose
    // time has come reach the input queue. Every call below moves it on first; times earlier
    // than one the line has seen count as that one.
    void advance(Time now);

    // Puts what fits of `bytes` into the output queue; answers how many it took.
    std::size_t write(std::span<const std::uint8_t> bytes, Time now);
    std::size_t outputQueued(Time now);
    std::size_t inputQueued(Time now);
    // The next byte of the input queue.
    std::optional<std::uint8_t> read(Time now);
    void purgeOutput(Time now);
    void purgeInput(Time now);
    ModemLines modemLines(Time now);

    // When the output queue will have room for `count` more bytes, and when it will be empty;
    // none while the far end takes nothing.
    std::optional<Time> roomAt(std::size_t count, Time now);
    std::optional<Time> drainedAt(Time now);
    // When the last byte written leaves the wire; the time the wire was last free if none is
    // queued.
    Time wireFreeAt() const { return m_wireFree; }
    // The next time anything happens by itself: a byte reaches either end, or the device
    // changes (for a host that sleeps until then).
    std::optional<Time> nextEvent() const;

private:
    struct Byte {
        std::uint8_t value;
        Time arrives;  // when its last bit is in; Time::max() while the far end takes nothing
    };

    // How long each byte takes to leave: its wire time, or the far end's own pace.
    Time pace() const;
    // Gives the bytes not yet on the wire their times, from `from` on.
    void schedule(Time from);
    // The next byte to reach either end, if any is on its way.
    std::optional<Time> nextArrival() const;
    // Puts what the device sent by itself on the way back.
    void sendOutbox();

    LineSettings m_settings;
    bool m_parallel = false;
    std::shared_ptr<Device> m_device;
    FarEnd m_farEnd = FarEnd::Working;
    std::deque<Byte> m_output;
    std::deque<Byte> m_returning;
    std::deque<std::uint8_t> m_input;
    Time m_now{};
    Time m_wireFree{};    // when the last byte written leaves the wire
    Time m_returnFree{};  // when the last reply leaves the wire
    Time m_replyDelay{};
};

}  // namespace sim
