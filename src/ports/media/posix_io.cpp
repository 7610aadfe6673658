// The POSIX media's shared calls.
#include "ports/media/posix_io.h"

#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "ports/device_wait.h"

namespace ports::posix {

namespace {

using namespace std::chrono_literals;

constexpr auto kRetryNap = 10ms;

// A FIFO whose reader went away would raise SIGPIPE, which ends the program; the write fails
// with EPIPE instead, and a signal it raised is taken back.
ssize_t writeQuietly(int fd, const std::uint8_t* data, std::size_t size) {
    sigset_t pipe;
    sigset_t before;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    ::pthread_sigmask(SIG_BLOCK, &pipe, &before);
    sigset_t pending;
    ::sigpending(&pending);
    const bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EPIPE && !alreadyPending) {
        const int error = errno;
        const timespec none{};
        ::sigtimedwait(&pipe, nullptr, &none);
        errno = error;
    }
    const int error = errno;
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    errno = error;
    return n;
}

void awaitRoom(int fd, bool pollable, StallBudget::Duration limit) {
    if (!pollable) {
        nap(limit);
        return;
    }
    pollfd entry{fd, POLLOUT, {}};
    const auto timeout = std::chrono::ceil<std::chrono::milliseconds>(limit).count();
    ::poll(&entry, 1, static_cast<int>(timeout));
}

}  // namespace

ErrorCode errnoCode() {
    return static_cast<ErrorCode>(errno);
}

ErrorCode endedCode(ErrorCode code) {
    return code == EPIPE || code == ECONNRESET ? EIO : code;
}

StallBudget::Duration steadyNow() {
    return std::chrono::steady_clock::now().time_since_epoch();
}

void nap(StallBudget::Duration limit) {
    std::this_thread::sleep_for(std::min<StallBudget::Duration>(limit, kRetryNap));
}

std::string deviceKey(const struct stat& node) {
    if (S_ISCHR(node.st_mode))
        return "device " + std::to_string(node.st_rdev);
    return "node " + std::to_string(node.st_dev) + ":" + std::to_string(node.st_ino);
}

ErrorCode writeWithin(int fd, std::span<const std::uint8_t> bytes, std::uint32_t& written,
                      StallBudget& budget, StallBudget::Duration byteTime, bool pollable) {
    std::size_t done = 0;
    const ErrorCode code = waitOnDevice(
        budget, byteTime, steadyNow,
        [&](std::size_t& taken) {
            const ssize_t n = writeQuietly(fd, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                taken = static_cast<std::size_t>(n);
                done += taken;
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                return endedCode(errnoCode());
            }
            return kSuccess;
        },
        [&] { return done == bytes.size(); },
        [&](StallBudget::Duration limit) { awaitRoom(fd, pollable, limit); });
    written = static_cast<std::uint32_t>(done);
    return code;
}

ErrorCode readOne(int fd, std::uint8_t& byte) {
    std::uint8_t value = 0;
    const ssize_t n = ::read(fd, &value, 1);
    if (n == 1) {
        byte = value;
        return kSuccess;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR)
        return endedCode(errnoCode());
    // Nothing has come. A tty whose far end hung up reads as end of file and polls as hung up.
    pollfd entry{fd, POLLIN, {}};
    if (::poll(&entry, 1, 0) > 0 && (entry.revents & (POLLHUP | POLLERR)) != 0)
        return EIO;
    return kTimedOut;
}

}  // namespace ports::posix
