// The frame every test screen shares: port opens, moves and closes with their messages, the
// maker's serial set-up, the modem-status poll and the message timer.
#include <gtest/gtest.h>

#include <cerrno>

#include "screens/common/screen_checks.h"
#include "screens/common/serial_interface_screen.h"

using namespace support;
using namespace toolkit::colors;
using screens::PortFamily;

namespace {

// The least screen of each family: it loads like every screen and does nothing else.
template <PortFamily family>
class PlainScreen final : public screens::TestScreen {
public:
    PlainScreen(toolkit::Application& app, screens::Context& context)
        : TestScreen(app, context, "PlainScreen", family) {}
    void load() override { selectFirstPort(); }
};
using Parallel = PlainScreen<PortFamily::PrinterParallel>;

class SerialScreen final : public screens::SerialInterfaceScreen {
public:
    SerialScreen(toolkit::Application& app, screens::Context& context,
                 InterfaceTraits traits = kMaker)
        : SerialInterfaceScreen(app, context, "SerialScreen", traits) {}
    void load() override {
        Status_timer.setEnabled(true);
        selectFirstPort();
    }
    void pickBaud(std::int16_t baud) {
        m_port.baudRate = baud;
        SetupPort();
    }
    using SerialInterfaceScreen::kAlder;
    using SerialInterfaceScreen::kCedar;
};

struct Frame : ::testing::Test {
    ScreenHarness h;
};

}  // namespace

TEST_F(Frame, LoadingOpensPortOneWithoutClosingAndMovesCloseBeforeOpening) {
    // The load's message, and its going after four seconds: the printer screens' pictures and
    // tests.
    auto& s = h.open<Parallel>();
    CaptionLog log(s.Feedback1);
    h.app.click(s.port2Option);
    h.app.click(s.port1Option);
    EXPECT_EQ(log.captions[0], "Printer successfully closed.");
    EXPECT_EQ(h.fake.calls(), (Calls{"createFile(LPT1)", "closeHandle(1)", "createFile(LPT2)",
                                     "closeHandle(2)", "createFile(LPT1)"}));
}

TEST_F(Frame, AMissingPortIsDisabledForTheSessionAndItsLabelGreyed) {
    h.fake.setMissing("COM2");
    auto& s = h.open<SerialScreen>();
    CaptionLog log(s.Feedback1);
    h.app.click(s.port2Option);
    EXPECT_EQ(log.captions[1],
              "Unable to acquire handle for port \\\\.\\COM2. (" + std::to_string(ENOENT) + ")");
    // The set-up that follows every pick fails in turn on the handle that did not open.
    expectLine(s.Feedback1, "error acquiring comm setup. (" + std::to_string(EBADF) + ")", kRed);
    expectLine(s.Feedback2, "Port \\\\.\\COM2 has been disabled for this session.", kYellow);
    // The disabled option, its greyed label and tooltips, and the next poll (the warning green,
    // the failed open's handle failing it) are the Birch reference's to check.
}

TEST_F(Frame, PrinterScreensWordACloseFailureByItsCaller) {
    auto& s = h.open<Parallel>();
    CaptionLog log(s.Feedback1);
    h.fake.fail(Call::Close, 6, 0, 3);
    h.app.click(s.port2Option);
    h.app.click(s.port1Option);
    h.app.click(s.exit);
    EXPECT_EQ((Calls{log.captions[0], log.captions[2], log.captions[4]}),
              (Calls{"Unable to close print. (6)", "Unable to close Printer. (6)",
                     "Unable to close printer. (6)"}));
    EXPECT_EQ(h.navigator.shown, Calls{"TestForm"});
    EXPECT_TRUE(h.app.forms().empty());
}

// Port 1 held elsewhere: its option is disabled at load, and moving on closes the handle
// that failed to open before port 2 opens.
TEST_F(Frame, ABusyPortOneFailsAtLoadAndMakerScreensCloseWithTheMakerWording) {
    h.fake.setBusy("LPT1");
    auto& s = h.open<PlainScreen<PortFamily::MakerParallel>>();
    EXPECT_EQ(s.Feedback1.caption(),
              "Unable to acquire handle for port LPT1. (" + std::to_string(EBUSY) + ")");
    EXPECT_FALSE(s.port1Option.enabled());
    CaptionLog log(s.Feedback1);
    h.app.click(s.port2Option);
    h.app.click(s.exit);
    EXPECT_EQ(log.captions,
              (Calls{"Unable to close port. (" + std::to_string(EBADF) + ")",
                     "Handle successfully acquired for port LPT2.", "Port successfully closed."}));
    // Each open of the Maple port clears its pending output before the success message.
    EXPECT_EQ(callsOf(h.fake.calls(), {"createFile(LPT2)", "purgeComm"}),
              (Calls{"createFile(LPT2)", "purgeComm(1, 4)"}));
}

TEST_F(Frame, MakerSetUpReportsEachStepAndRaisesTheLines) {
    auto& alder = h.app.open<SerialScreen>(h.context, SerialScreen::kAlder);
    // Set up before any rate was picked: the line rejects rate 0.
    EXPECT_EQ(alder.Feedback1.caption(),
              "Error writing comm settings. (" + std::to_string(EINVAL) + ")");
    EXPECT_EQ(alder.port().settings, "COM1:0,n,8,1");

    h.fake.clearCalls();
    CaptionLog log(alder.Feedback1);
    alder.pickBaud(2400);
    EXPECT_EQ(log.captions, (Calls{"commsetup successfully acquired", "DCB updated successfully"}));
    EXPECT_EQ(alder.Feedback1.foreColor(), kGreen);
    EXPECT_EQ(h.records.commDcb.baudRate, 2400u);
    EXPECT_EQ(callsOf(h.fake.calls(), {"build", "escape"}),
              (Calls{"buildCommDcb(COM1:2400,n,8,1)", "escapeCommFunction(1, SETRTS)",
                     "escapeCommFunction(1, SETDTR)"}));
    h.fake.fail(Call::GetCommState, EIO);
    alder.pickBaud(2400);
    EXPECT_EQ(alder.Feedback1.caption(), "Error acquiring comm setup. (5)");

    // The rate stays with the screen when it moves to the other port.
    auto& birch = h.open<SerialScreen>();  // COM1 is held: it fails to open
    birch.pickBaud(4800);
    h.fake.clearCalls();
    h.app.click(birch.port2Option);
    EXPECT_EQ(birch.port().settings, "COM2:4800,n,8,1");
    EXPECT_EQ(h.fake.calls().back(), "escapeCommFunction(2, SETRTS)");
    h.fake.fail(Call::SetCommState, EIO);
    birch.pickBaud(4800);
    EXPECT_EQ(birch.Feedback1.caption(), "error writing comm settings. (5)");
}

TEST_F(Frame, TheModemStatusPollShowsEachLineAndTheDrawer) {
    auto& s = h.open<SerialScreen>();
    for (const auto& [word, open, cts, dsr, cd] :
         {std::tuple{0xF0u, true, true, true, true}, std::tuple{0x80u, false, false, false, true},
          std::tuple{0x40u, true, false, false, false},
          std::tuple{0x30u, false, true, true, false}}) {
        SCOPED_TRACE(word);
        h.fake.setModemStatus(word);
        h.runFor(100ms);
        expectLine(s.cd_status, open ? "Open" : "Closed", open ? kGreen : kRed);
        EXPECT_EQ(s.cd_status.toolTip(),
                  open ? "Drawer indicates open." : "Drawer indicates closed.");
        // Each lamp's tooltip follows its colour: the references show both.
        EXPECT_EQ(s.CTS.fillColor(), cts ? kGreen : kRed);
        EXPECT_EQ(s.DSR.fillColor(), dsr ? kGreen : kRed);
        EXPECT_EQ(s.CD.fillColor(), cd ? kGreen : kRed);
    }

    // A failing read is reported at every tick and leaves the display as it was.
    h.fake.fail(Call::ModemStatus, EIO, 0, 2);
    h.runFor(4000ms);  // the message timer clears the line at 4 s ...
    EXPECT_EQ(s.Feedback1.caption(), "");
    h.fake.fail(Call::ModemStatus, EIO, 0, 1);
    h.runFor(100ms);  // ... and the next failing poll writes it again
    expectLine(s.Feedback1, "Error getting status information. (5)", kRed);
    EXPECT_EQ(s.cd_status.caption(), "Closed");
    EXPECT_EQ(s.DSR.fillColor(), kGreen);
}

TEST_F(Frame, CedarWordsItsStatusErrorItsOwnWay) {
    auto& s = h.app.open<SerialScreen>(h.context, SerialScreen::kCedar);
    h.fake.fail(Call::ModemStatus, EIO);
    h.runFor(100ms);
    EXPECT_EQ(s.Feedback1.caption(), "Error getting port status information. (5)");
}
