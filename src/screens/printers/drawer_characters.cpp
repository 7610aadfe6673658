#include "screens/printers/drawer_characters.h"

namespace screens {

DrawerTriggers characterTriggers(const char* drawer1Caption) {
    return {.drawer1Caption = drawer1Caption,
            .drawer2Caption = " Trigger Character is Hex '1A' ",
            .alternateCaption = "Alternate Trigger Character is Hex '1C' ",
            .primaryChar1 = 0x07,    // BEL
            .alternateChar1 = 0x1C,  // FS
            .primaryChar2 = 0x1A};   // SUB
}

TestSequence characterParallelSequence() {
    const FailureText printerFailure{"Failure to write to printer"};
    return {.page = PageSource::Text1,
            // The colour stays as it is.
            .eventFailure = {.text = "Failed to create OverLapped event", .red = false},
            .steps = {
                SequenceStep::send({0x1B, 0x40}, printerFailure),
                SequenceStep::sendPage({}, kPageFailure),
                SequenceStep::send({0x1B, 0x61, 0x08, 0x1B, 0x64, 0x00}, printerFailure),
                SequenceStep::sendDrawerCommand({"Failure to write to Cash drawer"}),
            }};
}

}  // namespace screens
