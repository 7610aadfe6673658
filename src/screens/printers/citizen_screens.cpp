#include "screens/printers/citizen_screens.h"

#include "screens/printers/drawer_characters.h"

namespace screens {

namespace {

const PrinterModel kSerial{
    .formName = "CITIZENSerialform",
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

CITIZENSerialform::CITIZENSerialform(toolkit::Application& app, Context& context)
    : PrinterScreen(app, context, kSerial) {}

const PrinterModel& CITIZENSerialform::model() {
    return kSerial;
}

CITIZENParallelform::CITIZENParallelform(toolkit::Application& app, Context& context)
    : PrinterScreen(app, context, kParallel) {}

const PrinterModel& CITIZENParallelform::model() {
    return kParallel;
}

}  // namespace screens
