// Reading a line-settings text such as "COM2:4800,n,8,1" into a device-control block.
#pragma once

#include <string_view>

#include "ports/port_types.h"

namespace ports {

// Accepts an optional "COMn:" prefix, then rate, parity (n, o, e, m, s), data bits (5 to 8) and
// stop bits (1, 1.5, 2), separated by commas; letters in either case, blanks around fields
// ignored. Flow control is switched off, as the Win32 call does for a text without "x" or "p".
// Any rate is taken: whether the line can run at it is for setCommState to say. Returns
// EINVAL and leaves the block alone when the text does not read.
ErrorCode parseDcbText(std::string_view text, CommDcb& dcb);

}  // namespace ports
