// The Citizen printer screens: single drawer characters (a primary and an alternate one for
// drawer 1); no drawer status.
#include "screens/printers/printer_table.h"

#include "screens/printers/drawer_characters.h"

namespace screens {

namespace {

const PrinterModel kSerial{
    .formName = "CITIZENSerialform",
    .commands = &protocol::citizenCommands(),
    .family = PortFamily::PrinterSerial,
    .caption = "Citizen Serial Printer Test",
    .heading = "Citizen Printer Cash Drawer Test",
    .emulationHint =
        "If the Citizen printer is set to emulate any other receipt printer brand, click \"Back\" "
        "and select the test for the emulated brand.",
    .drawerFrameName = "Drawer_Frame",
    .triggers = characterTriggers(),
    .testDrawerOff = {.triggers = TriggerReset::ClearDisableAndHide},
    .sequence =
        {
            .page = PageSource::Sentences42,
            // Every statement ends with FF STX; only the last pair goes unchecked, with the
            // page end ESC P 0 and the drawer character.
            .steps =
                {
                    SequenceStep::sendPage({0x0C, 0x02}, kPageFailure),
                    SequenceStep::send({0x0C, 0x02}, kUnchecked),
                    SequenceStep::send({0x1B, 0x50, 0x00}, kUnchecked),
                    SequenceStep::sendDrawerCommand(kUnchecked),
                },
        },
};

const PrinterModel kParallel{
    .formName = "CITIZENParallelform",
    .commands = &protocol::citizenCommands(),
    .family = PortFamily::PrinterParallel,
    .caption = "CITIZEN Parallel test form",
    .heading = "CITIZEN Printer Cash Drawer Test",
    .emulationHint =
        "If the Citizen printer is set to emulate any other receipt printer brand, "
        "click \"Back\" and select the test for the emulated brand.  ",
    .triggers = characterTriggers(),
    .sequence = characterParallelSequence(),
};

}  // namespace

const PrinterBrand& citizenPrinter() {
    static const PrinterBrand kBrand{.selector = {.frame = "Frame4",
                                                  .frameCaption = "Citizen Printer Interface",
                                                  .parallelOption = "CITIZENParallel",
                                                  .serialOption = "CITIZENserial",
                                                  .menu = "mCPI",
                                                  .menuCaption = "Citizen ",
                                                  .parallelItem = "mCPPI",
                                                  .serialItem = "mCPSI"},
                                     .serial = kSerial,
                                     .parallel = kParallel};
    return kBrand;
}

}  // namespace screens
