// The Star Micronics printer screens: single drawer characters (a primary and an alternate one
// for drawer 1), and on the serial screen the drawer state from the reply to ENQ.
#include "screens/printers/printer_table.h"

#include "screens/printers/drawer_characters.h"

namespace screens {

namespace {

const FailureText kEventFailure{"failure to create event"};

const PrinterModel kSerial{
    .formName = "StarSerialform",
    .commands = &protocol::starCommands(),
    .family = PortFamily::PrinterSerial,
    .caption = "Star Micronics Serial Printer Test",
    .heading = "Star Printer Cash Drawer Test",
    .emulationHint =
        "If the Star printer is set to emulate any other receipt printer brand, click \"Back\" "
        "and select the test for the emulated brand.",
    .triggers = characterTriggers(" Primary Trigger Character is Hex '07'"),
    .testDrawerOff = {.triggers = TriggerReset::Clear},
    .sequence =
        {
            .page = PageSource::Sentences48,
            .eventFailure = kEventFailure,
            .steps =
                {
                    SequenceStep::sendPage({0x0A, 0x0A}, kPageFailure),
                    // ESC a 8 (feed 8 lines), ESC d 0 (cut).
                    SequenceStep::send({0x1B, 0x61, 0x08, 0x1B, 0x64}, kPageFailure),
                    SequenceStep::send({0x00}, {"Failure to write to printer.(", true}),
                    SequenceStep::flush(),
                    SequenceStep::sendDrawerCommand({"Failure to write to Cash Drawer.(", true}),
                },
        },
    .status = StatusModel{.captionName = "Status3",
                          .caption = "Drawer Indicates:",
                          .greensFeedback2 = false,
                          .flushesFirst = true,
                          .ownRecord = true,
                          .eventFailure = kEventFailure,
                          .uncheckEndsDrawerTest = true},
};

const PrinterModel kParallel{
    .formName = "StarParallelform",
    .commands = &protocol::starCommands(),
    .family = PortFamily::PrinterParallel,
    .caption = "Star Micronics Parallel Printer Test",
    .heading = "Star Printer Cash Drawer Test",
    .emulationHint =
        "If the Star printer is set to emulate any other receipt printer brand, "
        "click \"Back\" and select the test for the emulated brand.  ",
    .triggers = characterTriggers(),
    .sequence = characterParallelSequence(),
};

}  // namespace

const PrinterBrand& starPrinter() {
    static const PrinterBrand kBrand{.selector = {.frame = "Frame1",
                                                  .frameCaption = "Star Printer Interface",
                                                  .parallelOption = "StarParallel",
                                                  .serialOption = "StarSerial",
                                                  .menu = "mSPI",
                                                  .menuCaption = "Star Micronics",
                                                  .parallelItem = "mSPPI",
                                                  .serialItem = "mSPSI"},
                                     .serial = kSerial,
                                     .parallel = kParallel};
    return kBrand;
}

}  // namespace screens
