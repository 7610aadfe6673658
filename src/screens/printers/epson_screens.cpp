// The Epson printer screens: ESC p drawer pulses, the page cut, and on the serial screen the
// drawer state from the printer's real-time status byte.
#include "screens/printers/printer_table.h"

namespace screens {

namespace {

const char* const kHint =
    "If the Epson printer is set to emulate any other receipt printer brand, click \"Back\" and "
    "select the test for the emulated brand.";

// ESC p m 0x50 0x50: a pulse on the drawer-kick connector for drawer 1 (m = 0) or drawer 2
// (m = 1). The screens spell the drawer-2 caption differently.
DrawerTriggers escPTriggers(const char* drawer2Caption) {
    return {.drawer1Caption = " Trigger Character is Hex String (1B, 70, 00, 50, 50)",
            .drawer2Caption = drawer2Caption,
            .drawer1Command = {0x1B, 0x70, 0x00, 0x50, 0x50},
            .drawer2Command = {0x1B, 0x70, 0x01, 0x50, 0x50}};
}

// ESC d 8 (print and feed 8 lines), GS V 1 (partial cut): not checked.
const SequenceStep kPageEnd = SequenceStep::send({0x1B, 0x64, 0x08, 0x1D, 0x56, 0x01}, kUnchecked);
const SequenceStep kDrawerCommand = SequenceStep::sendDrawerCommand(kUnchecked);

const PrinterModel kSerial{
    .formName = "EPSONSerialform",
    .commands = &protocol::epsonCommands(),
    .family = PortFamily::PrinterSerial,
    .caption = "Epson Serial Printer Test",
    .heading = "Epson Printer Cash Drawer Test",
    .emulationHint = kHint,
    .triggers = escPTriggers(" Trigger Character is Hex string (1B, 70, 01, 50, 50)"),
    .testDrawerOff = {.keepsDrawer2 = true,
                      .disablesTriggerFrame = true,
                      .triggers = TriggerReset::ClearDisableAndHide},
    .sequence = {.page = PageSource::Text1,
                 .steps = {SequenceStep::sendPage({}, kPageFailure), kPageEnd, kDrawerCommand}},
    .status = StatusModel{.captionName = "Label3",
                          .caption = "Drawer indicates:",
                          .greensFeedback2 = true,
                          .flushesFirst = false,
                          .ownRecord = true,
                          .showsUnjudged = true,
                          .uncheckEndsDrawerTest = false},
};

const PrinterModel kParallel{
    .formName = "EPSONParallelform",
    .commands = &protocol::epsonCommands(),
    .family = PortFamily::PrinterParallel,
    .caption = "Epson Parallel Printer Test",
    .heading = "Epson Printer Cash Drawer Test",
    .emulationHint = kHint,
    .triggers = escPTriggers(" Trigger Character is Hex String (1B, 70, 01, 50, 50)"),
    .sequence = {.page = PageSource::Sentences42,
                 .steps = {SequenceStep::sendPage({0x0A, 0x0A}, kPageFailure), kPageEnd,
                           kDrawerCommand}},
};

}  // namespace

const PrinterBrand& epsonPrinter() {
    static const PrinterBrand kBrand{.selector = {.frame = "Frame2",
                                                  .frameCaption = "Epson Printer Interface",
                                                  .parallelOption = "EPSONParallel",
                                                  .serialOption = "EPSONSerail",
                                                  .menu = "mEPI",
                                                  .menuCaption = "Epson ",
                                                  .parallelItem = "mEPPI",
                                                  .serialItem = "mEPSI"},
                                     .serial = kSerial,
                                     .parallel = kParallel};
    return kBrand;
}

}  // namespace screens
