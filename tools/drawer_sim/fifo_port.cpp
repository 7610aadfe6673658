// The parallel line played on a FIFO, and how the program's hold on it shows.
#include "fifo_port.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

namespace drawersim {

FifoPort::~FifoPort() {
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_path.empty())
        ::unlink(m_path.c_str());
    if (!m_directory.empty())
        ::rmdir(m_directory.c_str());
}

bool FifoPort::open(std::string& error) {
    const char* tmp = std::getenv("TMPDIR");
    std::string directory =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/drawer_sim-XXXXXX";
    std::vector<char> name(directory.begin(), directory.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) {
        error = "cannot make a directory for the FIFO: " + std::string(std::strerror(errno));
        return false;
    }
    m_directory = name.data();
    const std::string path = m_directory + "/lpt";
    if (::mkfifo(path.c_str(), 0600) != 0) {
        error = "cannot make " + path + ": " + std::strerror(errno);
        return false;
    }
    m_path = path;
    // Open for writing as well, so that the line never reads as ended between the program's
    // opens; nothing is ever written to it from here.
    m_fd = ::open(m_path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    struct stat node {};
    if (m_fd < 0 || ::fstat(m_fd, &node) != 0) {
        error = "cannot open " + m_path + ": " + std::strerror(errno);
        return false;
    }
    m_device = node.st_dev;
    m_inode = node.st_ino;
    return true;
}

std::size_t FifoPort::read(std::span<std::uint8_t> buffer) {
    const ssize_t n = ::read(m_fd, buffer.data(), buffer.size());
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

bool FifoPort::heldByProgram() const {
    // The kernel's list of locks names each locked file as MAJOR:MINOR:INODE, the device
    // numbers in hex.
    char file[64];
    std::snprintf(file, sizeof file, " %02x:%02x:%lu ", major(m_device), minor(m_device),
                  static_cast<unsigned long>(m_inode));
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        if (line.find("FLOCK") != std::string::npos && (line + " ").find(file) != std::string::npos)
            return true;
    }
    return false;
}

}  // namespace drawersim
