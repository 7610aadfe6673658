// The Ithaca printer screens: ESC x drawer commands, and on the serial screen the drawer
// state from the reply to ENQ 1, also asked once after every test page.
#include "screens/printers/printer_table.h"

namespace screens {

namespace {

const char* const kHint =
    "If the Ithaca printer is set to emulate any other receipt printer brand, click \"Back\" and "
    "select the test for the emulated brand.";

// ESC x n opens drawer n.
const DrawerTriggers kTriggers{.drawer1Caption = " Trigger Character is Hex String (1B 78 01)",
                               .drawer2Caption = " Trigger Character is Hex string (1B 78 02) ",
                               .drawer1Command = {0x1B, 0x78, 0x01},
                               .drawer2Command = {0x1B, 0x78, 0x02}};

// CAN, ESC d 16 (feed 16 lines), ESC v.
const SequenceStep kPageEnd =
    SequenceStep::send({0x18, 0x1B, 0x64, 0x10, 0x1B, 0x76}, {"Failure to write to printer"});
const SequenceStep kDrawerCommand =
    SequenceStep::sendDrawerCommand({"Failure to write to Cash Drawer"});

const PrinterModel kSerial{
    .formName = "ITHACASerialform",
    .commands = &protocol::ithacaCommands(),
    .family = PortFamily::PrinterSerial,
    .caption = "Ithaca Serial Printer Test",
    .heading = "Ithaca Printer Cash Drawer Test",
    .emulationHint = kHint,
    .triggers = kTriggers,
    .sequence = {.page = PageSource::Sentences42,
                 .steps = {SequenceStep::sendPage({0x0A, 0x0A}, kPageFailure), kPageEnd,
                           kDrawerCommand}},
    .pollsAfterTest = true,
    .status = StatusModel{.captionName = "Status3",
                          .caption = "Drawer indicates:",
                          .greensFeedback2 = true,
                          .flushesFirst = true,
                          .ownRecord = false,
                          .uncheckEndsDrawerTest = true},
};

const PrinterModel kParallel{
    .formName = "ITHACAParallelform",
    .commands = &protocol::ithacaCommands(),
    .family = PortFamily::PrinterParallel,
    .caption = "Ithaca Parallel Printer Test",
    .heading = "Ithaca Printer Cash Drawer Test",
    .emulationHint = kHint,
    .triggers = kTriggers,
    .sequence = {.page = PageSource::Text1,
                 .steps = {SequenceStep::sendPage({}, kPageFailure), kPageEnd, kDrawerCommand}},
};

}  // namespace

const PrinterBrand& ithacaPrinter() {
    static const PrinterBrand kBrand{.selector = {.frame = "Frame5",
                                                  .frameCaption = "Ithaca Printer Interface",
                                                  .parallelOption = "ITHACAparallel",
                                                  .serialOption = "ITHACAserial",
                                                  .menu = "mIPI",
                                                  .menuCaption = "Ithaca",
                                                  .parallelItem = "mIPPI",
                                                  .serialItem = "mIPSI"},
                                     .serial = kSerial,
                                     .parallel = kParallel};
    return kBrand;
}

}  // namespace screens
