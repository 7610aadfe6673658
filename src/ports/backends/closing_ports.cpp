// The closes that run in the background.
#include "ports/backends/closing_ports.h"

#include <algorithm>

namespace ports {

namespace {

bool ended(std::future<ErrorCode>& done) {
    return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

}  // namespace

void ClosingPorts::start(std::unique_ptr<Medium> medium, std::string port,
                         Clock::duration sending) {
    sweep();
    auto stop = std::make_shared<std::atomic<bool>>(false);
    // No close of the same device runs now: the open before this close waited for it.
    std::string key = medium->deviceKey();
    auto done = std::async(std::launch::async, [medium = std::move(medium), stop]() mutable {
        const ErrorCode sent = medium->finishSending(*stop);
        const ErrorCode closed = medium->close();
        return sent != kSuccess ? sent : closed;
    });
    m_closes.push_back({std::move(key), std::move(port), Clock::now() + sending, std::move(stop),
                        std::move(done)});
}

void ClosingPorts::sweep() {
    std::erase_if(m_closes, [](Close& close) { return ended(close.done); });
}

ClosingPort ClosingPorts::shown(const Close& close) {
    const auto left = std::max(Clock::duration::zero(), close.due - Clock::now());
    return {close.port, std::chrono::ceil<std::chrono::milliseconds>(left)};
}

std::optional<ClosingPort> ClosingPorts::find(const std::string& key) {
    sweep();
    for (const Close& close : m_closes) {
        if (!key.empty() && close.key == key)
            return shown(close);
    }
    return std::nullopt;
}

void ClosingPorts::waitFor(const std::string& key, Clock::duration limit) {
    for (Close& close : m_closes) {
        if (close.key == key) {
            close.done.wait_for(limit);
            return;
        }
    }
}

void ClosingPorts::stop(const std::string& key) {
    for (Close& close : m_closes) {
        if (close.key == key)
            *close.stop = true;
    }
    for (Close& close : m_closes) {
        if (close.key == key)
            close.done.wait();
    }
    sweep();
}

void ClosingPorts::stopAll() {
    for (Close& close : m_closes)
        *close.stop = true;
    awaitAll();
}

std::vector<ClosingPort> ClosingPorts::list() {
    sweep();
    std::vector<ClosingPort> closing;
    for (const Close& close : m_closes)
        closing.push_back(shown(close));
    return closing;
}

void ClosingPorts::awaitAll() {
    for (Close& close : m_closes)
        close.done.wait();
    m_closes.clear();
}

}  // namespace ports
