// What every test screen is given when it is created: the port seam, the program-wide
// records, and the way to the other windows.
#pragma once

#include <string>

#include "ports/port_system.h"
#include "ports/port_types.h"

namespace screens {

// Opens the other windows; each call creates the window anew, runs its load handler and shows
// it. The caller closes its own window afterwards.
class Navigator {
public:
    virtual ~Navigator() = default;
    virtual void showSelector() = 0;
    // A test screen by its form name ("Alderform"; screens/screen_table.h).
    virtual void showScreen(const std::string& formName) = 0;
};

struct Context {
    ports::PortSystem& ports;
    ports::SharedRecords& records;
    Navigator& navigator;
};

}  // namespace screens
