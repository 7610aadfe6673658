// The wire log: every call a test screen makes on its port, in order, with the time since the
// screen opened, the bytes it sent and received, and what they mean to the device on the far
// end (a printer's commands and replies by the brand's command set, an interface's opening
// characters). A recording starts anew with every screen that opens and keeps its newest
// kCapacity events; older ones are dropped and counted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>

#include "ports/recording/recording_port_system.h"
#include "protocol/bytes.h"
#include "protocol/command_set.h"
#include "screens/screen_table.h"
#include "toolkit/clock.h"

namespace app {

class WireLog final : public ports::PortCallListener {
public:
    static constexpr std::size_t kCapacity = 100'000;

    explicit WireLog(const toolkit::Clock& clock) : m_clock(clock) {}

    // A new recording for the screen that opens now; what the last one held is gone. Calls
    // made while no screen has opened yet are not kept.
    void start(const screens::ScreenEntry& screen);
    // A new recording for a search of the ports for drawers (Find): its requests are named by
    // the brand whose request they are.
    void startSearch(std::string caption);
    // The screen's window caption, for the heading.
    void setCaption(std::string caption) { m_caption = std::move(caption); }

    void portCall(ports::PortCall&& call) override;

    // Counts the recordings started: a viewer that has shown an earlier one starts afresh.
    std::uint64_t recording() const { return m_recording; }
    // Events of this recording, the dropped ones included; event numbers run from 0.
    std::uint64_t total() const { return m_dropped + m_events.size(); }
    std::uint64_t dropped() const { return m_dropped; }
    // The line of event `index`, dropped() <= index < total().
    std::string line(std::uint64_t index) const;
    // Which screen's log this is and how many events it holds, on two lines.
    std::string heading() const;
    // The heading, a blank line and every line kept: what the window shows and a file keeps.
    std::string text() const;

private:
    struct Event {
        toolkit::Millis time;  // since the screen opened
        ports::PortCall call;
        std::string meaning;  // what the bytes mean to the device, where that is known
    };
    std::string meaningOf(const ports::PortCall& call);

    const toolkit::Clock& m_clock;
    std::uint64_t m_recording = 0;
    std::string m_caption;
    std::string m_opened;  // the date and time the screen opened
    toolkit::Millis m_start{0};
    std::deque<Event> m_events;
    std::uint64_t m_dropped = 0;

    // The far end of the screen's port: a printer of a brand, or a serial drawer interface
    // (which takes the opening character as a pair of bytes); a parallel interface's bytes
    // carry no mark of what they are.
    std::optional<protocol::Decoder> m_printer;
    const protocol::CommandSet* m_commands = nullptr;
    bool m_search = false;
    // The last request that went out, for naming its reply.
    const protocol::CommandSet* m_asked = nullptr;
    protocol::Bytes m_request;
    bool m_serialInterface = false;
    int m_pairs = 0;  // opening characters in a row
};

// Writes `text` to the file at `path`, replacing it; empty on success, else what went wrong.
std::string saveText(const std::filesystem::path& path, const std::string& text);

}  // namespace app
