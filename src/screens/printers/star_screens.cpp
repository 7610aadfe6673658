#include "screens/printers/star_screens.h"

namespace screens {

namespace {

const char* const kHint =
    "If the Star printer is set to emulate any other receipt printer brand, click \"Back\" and "
    "select the test for the emulated brand.";

// The drawer characters: BEL opens drawer 1, FS is its alternate, SUB opens drawer 2.
constexpr std::uint8_t kBel = 0x07;
constexpr std::uint8_t kFs = 0x1C;
constexpr std::uint8_t kSub = 0x1A;

const char* const kAlternateCaption = "Alternate Trigger Character is Hex '1C' ";
const char* const kDrawer2Caption = " Trigger Character is Hex '1A' ";

// Bit 7 of the reply to ENQ is set while the drawer is closed.
DrawerReading judgeEnqReply(std::uint8_t reply) {
    return reply < 0x80 ? DrawerReading::Open : DrawerReading::Closed;
}

const PrinterModel kSerial{
    .formName = "StarSerialform",
    .family = PortFamily::PrinterSerial,
    .caption = "Star Micronics Serial Printer Test",
    .heading = "Star Printer Cash Drawer Test",
    .emulationHint = kHint,
    .drawer1Caption = " Primary Trigger Character is Hex '07'",
    .drawer2Caption = kDrawer2Caption,
    .alternateCaption = kAlternateCaption,
    .primaryChar1 = kBel,
    .alternateChar1 = kFs,
    .primaryChar2 = kSub,
    .testDrawerOff = {.triggers = TriggerReset::Clear},
    .page = PageSource::Sentences48,
    .eventFailure = {"failure to create event"},
    .sequence =
        {
            SequenceStep::sendPage({0x0A, 0x0A}, kPageFailure),
            // ESC a 8 (feed 8 lines), ESC d 0 (cut).
            SequenceStep::send({0x1B, 0x61, 0x08, 0x1B, 0x64}, kPageFailure),
            SequenceStep::send({0x00}, {"Failure to write to printer.(", true}),
            SequenceStep::flush(),
            SequenceStep::sendDrawerCommand({"Failure to write to Cash Drawer.(", true}),
        },
    .status = StatusModel{.captionName = "Status3",
                          .caption = "Drawer Indicates:",
                          .request = {0x05},
                          .greensFeedback2 = false,
                          .flushesFirst = true,
                          .ownRecord = true,
                          .eventFailure = {"failure to create event"},
                          .judge = judgeEnqReply,
                          .uncheckEndsDrawerTest = true},
};

const PrinterModel kParallel{
    .formName = "StarParallelform",
    .family = PortFamily::PrinterParallel,
    .caption = "Star Micronics Parallel Printer Test",
    .heading = "Star Printer Cash Drawer Test",
    .emulationHint =
        "If the Star printer is set to emulate any other receipt printer brand, "
        "click \"Back\" and select the test for the emulated brand.  ",
    .drawer1Caption = " Primary Trigger Character is Hex '07' ",
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

StarSerialform::StarSerialform(toolkit::Application& app, Context& context)
    : PrinterScreen(app, context, kSerial) {}

StarParallelform::StarParallelform(toolkit::Application& app, Context& context)
    : PrinterScreen(app, context, kParallel) {}

}  // namespace screens
