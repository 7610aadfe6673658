// What a technician choosing a port needs to know without touching a device: the devices this
// machine has that could serve as a port, and whether the one a port names can be used now.
// Nothing here opens a device or sends it a byte.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/naming/device_map.h"

namespace ports {

struct FoundDevice {
    std::string path;  // as a port names it: "/dev/ttyUSB0", "\\.\COM3", "LPT1"
    PortKind kind = PortKind::Serial;
    // A USB printer (/dev/usb/lpN) serves a serial printer screen as well.
    bool usbPrinter = false;
    std::string note;  // what it is, for the list: "USB serial adapter", "-> ttyUSB0"
    // A printer Windows knows only as a print queue (a USB printer without a virtual COM
    // port): listed with what to do, but no port can lead to it.
    bool printQueue = false;

    bool fits(PortKind port) const { return !printQueue && (kind == port || usbPrinter); }
};

// What to do about a printer known only as a print queue.
inline constexpr char kPrintQueueAdvice[] =
    "install its virtual COM port driver, or use its network address";

// On Linux the serial ports with a UART behind them (never the console), USB serial adapters
// (ttyUSB, ttyACM) and their lasting /dev/serial/by-id names, printer ports and USB printers,
// found under root + "/sys" and root + "/dev". On Windows the serial and parallel ports the
// system's device map lists, and the printers it knows only as a print queue on a USB port,
// under the registry key root names ("HKCU\Software\..."), or HKEY_LOCAL_MACHINE when root is
// empty.
std::vector<FoundDevice> findDevices(const std::string& root = {});

// The device `text` names by its path: the text itself when it holds a slash (on Windows a
// backslash too); on Linux a bare name of a device under root + "/dev" ("ttyUSB0", "lp0") is that
// device. None for anything else: a port's name, a network printer's address.
std::optional<std::string> devicePath(std::string_view text, const std::string& root = {});

// What the device at `path` is, told without opening it (opening a serial line can change its
// modem lines): on Linux from the node the path leads to, judged as the backend judges it; on
// Windows from its name (LPTn a parallel port, COMn a serial one).
PathKind pathKind(const std::string& path, const std::string& root = {});

enum class DeviceState {
    Ready,         // there, of the right kind, and free
    Held,          // another program has it open
    Missing,       // no such device
    NotPermitted,  // this user may not open it
    Unsuitable,    // there, but no serial line (COM) or printer (LPT)
    Network,       // a network printer: reached when a screen opens it
};

// Whether the device a port names can be used now. On Linux, root is as for findDevices and
// leads to /proc, where the programs holding a device are found.
DeviceState deviceState(const std::string& path, PortKind kind, const std::string& root = {});

// The state of the device at `path` in words, with the remedy where there is one: a device of
// the other kind of port is named as such. root is as for deviceState.
std::string describe(DeviceState state, PortKind kind, const std::string& path,
                     const std::string& root = {});

// What a device is to a search for drawers, which asks each kind its own way: a serial line
// (modem lines, status requests at each rate), a USB printer (its device ID, then status
// requests), a parallel port (its printer's device ID alone: anything sent there prints) or a
// network printer (status requests over the connection).
enum class Reach { SerialLine, UsbPrinter, ParallelPort, Network };
// Told without opening the device; root as for findDevices.
Reach reachOf(const std::string& path, const std::string& root = {});
// The same device under two names (a /dev/serial/by-id link and its ttyUSB node): the name
// both lead to; the name itself where it leads nowhere.
std::string deviceIdentity(const std::string& path);
// The name the backend opens a device by when a search names it itself: its path (Linux), its
// name in the device namespace, "\\.\COM3" or "\\.\LPT1" (Windows); a network printer's
// address as it is.
std::string searchName(const std::string& path);

}  // namespace ports
