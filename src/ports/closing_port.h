// A port closed while its output still leaves: the window goes on at once, and the program
// tells what it still waits for when an open of the same device, or its own end, must wait.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace ports {

struct ClosingPort {
    // As the screen that closed it, or the one that waits for it, names it ("\\.\COM1").
    std::string port;
    // Until the bytes still on their way will have left, as far as the port can tell.
    std::chrono::milliseconds left{0};
};

// Told while an open waits for an earlier close of the same device, every kCloseNoteEvery;
// answers whether to go on waiting. No: what that close still sends is dropped at once.
class CloseWaitListener {
public:
    virtual ~CloseWaitListener() = default;
    virtual bool keepWaiting(const ClosingPort& closing) = 0;
};

inline constexpr std::chrono::milliseconds kCloseNoteEvery{100};

// Waits while `left` tells of a close still running, `wait` letting up to kCloseNoteEvery pass
// each time; when the listener answers no, `stop` ends the close at once.
void awaitClose(const std::string& port, CloseWaitListener* listener,
                const std::function<std::optional<std::chrono::milliseconds>()>& left,
                const std::function<void(std::chrono::milliseconds)>& wait,
                const std::function<void()>& stop);

}  // namespace ports
