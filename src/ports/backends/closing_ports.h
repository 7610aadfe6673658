// Ports that are closing while their output drains, each on a thread of its own, so that no
// window waits for a device to take what was written to it. Every close ends by itself within
// its bound (wait_bounds.h); an open of the same device waits for it, and so does the end of
// the owner.
#pragma once

#include <functional>
#include <future>
#include <map>
#include <string>

namespace ports {

class ClosingPorts {
public:
    ClosingPorts() = default;
    ~ClosingPorts() { awaitAll(); }
    ClosingPorts(const ClosingPorts&) = delete;
    ClosingPorts& operator=(const ClosingPorts&) = delete;

    // Runs `close` in the background for `device`, after any close of it still running.
    void start(const std::string& device, std::function<void()> close) {
        await(device);
        m_closes.emplace(device, std::async(std::launch::async, std::move(close)));
    }
    // Returns once the device's close, if any, has ended.
    void await(const std::string& device) {
        const auto it = m_closes.find(device);
        if (it == m_closes.end())
            return;
        it->second.wait();
        m_closes.erase(it);
    }
    void awaitAll() {
        for (auto& [device, close] : m_closes)
            close.wait();
        m_closes.clear();
    }

private:
    std::map<std::string, std::future<void>> m_closes;
};

}  // namespace ports
