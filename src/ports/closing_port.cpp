// The wait for a close of the same device.
#include "ports/closing_port.h"

namespace ports {

void awaitClose(const std::string& port, CloseWaitListener* listener,
                const std::function<std::optional<std::chrono::milliseconds>()>& left,
                const std::function<void(std::chrono::milliseconds)>& wait,
                const std::function<void()>& stop) {
    for (auto remaining = left(); remaining; remaining = left()) {
        if (listener != nullptr && !listener->keepWaiting({port, *remaining})) {
            stop();
            return;
        }
        wait(kCloseNoteEvery);
    }
}

}  // namespace ports
