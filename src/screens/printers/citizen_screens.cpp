#include "screens/printers/citizen_screens.h"

namespace screens {

namespace {

const char* const kHint =
    "If the Citizen printer is set to emulate any other receipt printer brand, click \"Back\" "
    "and select the test for the emulated brand.";

// The drawer characters: BEL opens drawer 1, FS is its alternate, SUB opens drawer 2.
constexpr std::uint8_t kBel = 0x07;
constexpr std::uint8_t kFs = 0x1C;
constexpr std::uint8_t kSub = 0x1A;

const char* const kDrawer1Caption = " Primary Trigger Character is Hex '07' ";
const char* const kDrawer2Caption = " Trigger Character is Hex '1A' ";
const char* const kAlternateCaption = "Alternate Trigger Character is Hex '1C' ";

const PrinterModel kSerial{
    .formName = "CITIZENSerialform",
    .family = PortFamily::PrinterSerial,
    .caption = "Citizen Serial Printer Test",
    .heading = "Citizen Printer Cash Drawer Test",
    .emulationHint = kHint,
    .drawerFrameName = "Drawer_Frame",
    .drawer1Caption = kDrawer1Caption,
    .drawer2Caption = kDrawer2Caption,
    .alternateCaption = kAlternateCaption,
    .primaryChar1 = kBel,
    .alternateChar1 = kFs,
    .primaryChar2 = kSub,
    .testDrawerOff = {.triggers = TriggerReset::ClearDisableAndHide},
    .page = PageSource::Sentences42,
    .sequence =
        {
            // Every statement ends with FF STX; only the last pair goes unchecked, with the
            // page end ESC P 0 and the drawer character.
            SequenceStep::sendPage({0x0C, 0x02}, kPageFailure),
            SequenceStep::send({0x0C, 0x02}, kUnchecked),
            SequenceStep::send({0x1B, 0x50, 0x00}, kUnchecked),
            SequenceStep::sendDrawerCommand(kUnchecked),
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
    .drawer1Caption = kDrawer1Caption,
    .drawer2Caption = kDrawer2Caption,
    .alternateCaption = kAlternateCaption,
    .primaryChar1 = kBel,
    .alternateChar1 = kFs,
    .primaryChar2 = kSub,
    .page = PageSource::Text1,
    .eventFailure = {.text = "Failed to create OverLapped event", .red = false},
    .sequence =
        {
            // ESC @ (initialise), the page, ESC a 8 (feed 8 lines), ESC d 0 (cut).
            SequenceStep::send({0x1B, 0x40}, {"Failure to write to printer"}),
            SequenceStep::sendPage({}, kPageFailure),
            SequenceStep::send({0x1B, 0x61, 0x08, 0x1B, 0x64, 0x00},
                               {"Failure to write to printer"}),
            SequenceStep::sendDrawerCommand({"Failure to write to Cash drawer"}),
        },
};

}  // namespace

CITIZENSerialform::CITIZENSerialform(toolkit::Application& app, Context& context)
    : PrinterScreen(app, context, kSerial) {}

CITIZENParallelform::CITIZENParallelform(toolkit::Application& app, Context& context)
    : PrinterScreen(app, context, kParallel) {}

}  // namespace screens
