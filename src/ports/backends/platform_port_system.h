// The port backend of the platform the program is built for.
#pragma once

#ifdef _WIN32
#include "ports/backends/win32_port_system.h"
#else
#include "ports/backends/posix_port_system.h"
#endif

namespace ports {

#ifdef _WIN32
using PlatformPortSystem = Win32PortSystem;
#else
using PlatformPortSystem = PosixPortSystem;
#endif

}  // namespace ports
