// Ports that are closing while their output leaves, each on a thread of its own, so that no
// window waits for a device to take what was written to it. Every close ends by itself within
// its bound (wait_bounds.h), or at once when told to stop; an open of the same device waits for
// it, and so does the end of the owner.
#pragma once

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ports/closing_port.h"
#include "ports/medium.h"

namespace ports {

class ClosingPorts {
public:
    using Clock = std::chrono::steady_clock;

    ClosingPorts() = default;
    ~ClosingPorts() { awaitAll(); }
    ClosingPorts(const ClosingPorts&) = delete;
    ClosingPorts& operator=(const ClosingPorts&) = delete;

    // Lets `medium` finish sending in the background, `sending` from now on by its own count,
    // and closes it; `port` names it as the screen did.
    void start(std::unique_ptr<Medium> medium, std::string port, Clock::duration sending);

    // The close of a device (deviceKey) still running, if any.
    std::optional<ClosingPort> find(const std::string& key);
    // Waits up to `limit` for the close of a device to end.
    void waitFor(const std::string& key, Clock::duration limit);
    // Drops what the closes of a device (or of every device) still send, and waits for them.
    void stop(const std::string& key);
    void stopAll();

    // Every close still running, oldest first.
    std::vector<ClosingPort> list();
    void awaitAll();

private:
    struct Close {
        std::string key;
        std::string port;
        Clock::time_point due;
        std::shared_ptr<std::atomic<bool>> stop;
        std::future<ErrorCode> done;
    };
    // Forgets the closes that have ended.
    void sweep();
    static ClosingPort shown(const Close& close);

    std::vector<Close> m_closes;
};

}  // namespace ports
