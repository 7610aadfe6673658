// What every test screen is given when it is created: the port seam, the program-wide
// records, and the way to the other windows.
#pragma once

#include "ports/port_system.h"
#include "ports/port_types.h"

namespace screens {

enum class ScreenId {
    Alderform,
    Alderform2,
    Birchform,
    Cedarform,
    Mapleform,
    StarParallelform,
    StarSerialform,
    EPSONParallelform,
    EPSONSerialform,
    CITIZENParallelform,
    CITIZENSerialform,
    ITHACAParallelform,
    ITHACASerialform,
};

// Opens the other windows; each call creates the window anew, runs its load handler and shows
// it. The caller closes its own window afterwards.
class Navigator {
public:
    virtual ~Navigator() = default;
    virtual void showSelector() = 0;
    virtual void showScreen(ScreenId screen) = 0;
};

struct Context {
    ports::PortSystem& ports;
    ports::SharedRecords& records;
    Navigator& navigator;
};

}  // namespace screens
