// The receipt printers the program tests: a row per brand, with its command set, its place on
// the main selector and its two screens (serial and parallel). Each brand's row and screen data
// are in a file of their own; a new brand is that file, its command set and one line here.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "ports/naming/device_map.h"
#include "screens/printers/printer_screen.h"

namespace screens {

// A brand's frame, option buttons and menu entries on the main selector.
struct SelectorPlace {
    const char* frame;           // "Frame1"
    const char* frameCaption;    // "Star Printer Interface"
    const char* parallelOption;  // "StarParallel"
    const char* serialOption;    // "StarSerial"
    const char* menu;            // "mSPI", under "Receipt Printer"
    const char* menuCaption;     // "Star Micronics"
    const char* parallelItem;    // "mSPPI"
    const char* serialItem;      // "mSPSI"
};

struct PrinterBrand {
    SelectorPlace selector;
    const PrinterModel& serial;
    const PrinterModel& parallel;

    // What the brand's printers understand; its name is the brand's on the command line.
    const protocol::CommandSet& commands() const { return *serial.commands; }
    const PrinterModel& screenFor(ports::PortKind kind) const {
        return kind == ports::PortKind::Serial ? serial : parallel;
    }
};

// Each brand's row, defined beside its screen data.
const PrinterBrand& starPrinter();
const PrinterBrand& epsonPrinter();
const PrinterBrand& citizenPrinter();
const PrinterBrand& ithacaPrinter();

// Every brand, in the selector's order.
std::span<const PrinterBrand* const> printerBrands();
// The brand of a command-line name ("epson"); null for one that is none.
const PrinterBrand* printerBrandNamed(std::string_view name);

// The brands' command-line names ("star, epson, citizen or ithaca") or titles ("Star and
// Citizen") as a sentence lists them, `last` before the last one and `between` before the
// others; `only` picks some.
using BrandFilter = bool (*)(const PrinterBrand& brand);
std::string printerNames(BrandFilter only = nullptr, const char* last = " or ",
                         const char* between = ", ");
std::string printerTitles(BrandFilter only = nullptr, const char* last = " and ");
// The brands whose serial screen reads the drawer state; those with an alternate character
// for drawer 1.
bool readsDrawerState(const PrinterBrand& brand);
bool hasAlternateTrigger(const PrinterBrand& brand);
// Those whose serial screen reads the drawer state after every page.
bool pollsAfterPage(const PrinterBrand& brand);

}  // namespace screens
