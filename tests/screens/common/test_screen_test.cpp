// The frame every test screen shares: port opens, moves and closes with their messages, the
// maker's serial set-up, the modem-status poll and the message timer.
#include <gtest/gtest.h>

#include <cerrno>

#include "screens/common/serial_interface_screen.h"
#include "support/screen_harness.h"

using namespace std::chrono_literals;
using namespace toolkit::colors;
using screens::CloseCaller;
using screens::PortFamily;
using support::Call;

namespace {

// The least screen of each family: it loads like every screen and does nothing else.
template <PortFamily family>
class PlainScreen final : public screens::TestScreen {
public:
    PlainScreen(toolkit::Application& app, screens::Context& context)
        : TestScreen(app, context, "PlainScreen", family) {}
    void load() override { SelectFirstPort(); }
};

class SerialScreen final : public screens::SerialInterfaceScreen {
public:
    SerialScreen(toolkit::Application& app, screens::Context& context, Variant variant)
        : SerialInterfaceScreen(app, context, "SerialScreen", variant) {}
    void load() override {
        Status_timer.setEnabled(true);
        SelectFirstPort();
    }
    void pickBaud(std::int16_t baud) {
        m_port.baudRate = baud;
        SetupPort();
    }
    using SerialInterfaceScreen::kAlder;
    using SerialInterfaceScreen::kCedar;
    using SerialInterfaceScreen::kMaker;
};

struct Frame : ::testing::Test {
    support::ScreenHarness h;
    template <class Screen, class... Args>
    Screen& open(Args&&... args) {
        return h.app.open<Screen>(h.context, std::forward<Args>(args)...);
    }
};

// Remembers every text a label is given, including those a later text replaces at once.
struct CaptionLog final : toolkit::ControlObserver {
    std::vector<std::string> texts;
    void propertyChanged(toolkit::Control& c, toolkit::Property p) override {
        if (p == toolkit::Property::Caption)
            texts.push_back(c.caption());
    }
};

}  // namespace

TEST_F(Frame, LoadingOpensPortOneWithoutClosingAnything) {
    auto& s = open<PlainScreen<PortFamily::PrinterParallel>>();
    EXPECT_EQ(h.fake.calls().front(), "createFile(LPT1)");
    EXPECT_EQ(s.Feedback1.caption(), "Handle successfully acquired for port LPT1.");
    EXPECT_EQ(s.Feedback1.foreColor(), kGreen);
    EXPECT_TRUE(s.port1Option.value());
    EXPECT_EQ(s.port1Option.name(), "LPT1");
    EXPECT_EQ(s.port2Label.caption(), "Parallel Port 2 (LPT2)");
    EXPECT_EQ(s.exit.caption(), "<< Back");

    h.runFor(4000ms);
    EXPECT_EQ(s.Feedback1.caption(), "");
}

TEST_F(Frame, AMissingPortIsDisabledForTheSessionAndItsLabelGreyed) {
    h.fake.setMissing("COM2");
    auto& s = open<SerialScreen>(SerialScreen::kMaker);
    CaptionLog log;
    s.Feedback1.setObserver(&log);
    h.app.click(s.port2Option);
    EXPECT_EQ(log.texts[1],
              "Unable to acquire handle for port \\\\.\\COM2. (" + std::to_string(ENOENT) + ")");
    // The set-up that follows every pick fails in turn on the handle that did not open.
    EXPECT_EQ(s.Feedback1.caption(), "error acquiring comm setup. (" + std::to_string(EBADF) + ")");
    EXPECT_EQ(s.Feedback1.foreColor(), kRed);
    EXPECT_EQ(s.Feedback2.caption(), "Port \\\\.\\COM2 has been disabled for this session.");
    EXPECT_EQ(s.Feedback2.foreColor(), kYellow);
    EXPECT_FALSE(s.port2Option.enabled());
    EXPECT_TRUE(s.port1Option.enabled());
    EXPECT_EQ(s.port2Label.foreColor(), kGrey);
    EXPECT_EQ(s.port2Label.toolTip(), "Port in use or not available.");
    EXPECT_EQ(s.port1Label.toolTip(), "Select if the drawer is attached to COM1:");

    // The next poll turns the warning green; the failed open's handle fails every poll.
    h.runFor(100ms);
    EXPECT_EQ(s.Feedback2.foreColor(), kGreen);
    EXPECT_EQ(s.Feedback1.caption(),
              "Error getting status information. (" + std::to_string(EBADF) + ")");
}

TEST_F(Frame, ABusyPortOneFailsAtLoadAndPortTwoStillWorks) {
    h.fake.setBusy("LPT1");
    auto& s = open<PlainScreen<PortFamily::PrinterParallel>>();
    EXPECT_EQ(s.Feedback1.caption(),
              "Unable to acquire handle for port LPT1. (" + std::to_string(EBUSY) + ")");
    EXPECT_FALSE(s.port1Option.enabled());
    // Moving on closes the failed handle first: the printer wording of the port 2 option.
    h.app.click(s.port2Option);
    EXPECT_EQ(s.Feedback1.caption(), "Handle successfully acquired for port LPT2.");
    EXPECT_TRUE(h.fake.isOpen("LPT2"));
}

TEST_F(Frame, PrinterScreensWordACloseFailureByItsCaller) {
    auto& s = open<PlainScreen<PortFamily::PrinterParallel>>();
    CaptionLog log;
    s.Feedback1.setObserver(&log);
    h.fake.fail(Call::CloseHandle, 6, 0, 3);
    h.app.click(s.port2Option);
    h.app.click(s.port1Option);
    h.app.click(s.exit);
    const std::vector<std::string> closes = {log.texts[0], log.texts[2], log.texts[4]};
    EXPECT_EQ(closes, (std::vector<std::string>{"Unable to close print. (6)",
                                                "Unable to close Printer. (6)",
                                                "Unable to close printer. (6)"}));
    EXPECT_EQ(h.navigator.shown, (std::vector<std::string>{"TestForm"}));
}

TEST_F(Frame, PortMovesCloseTheCurrentPortAndOpenTheOther) {
    auto& s = open<PlainScreen<PortFamily::PrinterParallel>>();
    h.app.click(s.port2Option);
    h.app.click(s.port1Option);
    EXPECT_EQ(h.fake.calls(),
              (std::vector<std::string>{"createFile(LPT1)", "closeHandle(1)", "createFile(LPT2)",
                                        "closeHandle(2)", "createFile(LPT1)"}));
    EXPECT_EQ(s.Feedback1.caption(), "Handle successfully acquired for port LPT1.");
}

TEST_F(Frame, MakerScreensCloseWithTheMakerWording) {
    auto& s = open<PlainScreen<PortFamily::MakerParallel>>();
    CaptionLog log;
    s.Feedback1.setObserver(&log);
    h.app.click(s.port2Option);
    h.fake.fail(Call::CloseHandle, EBADF);
    h.app.click(s.port1Option);
    EXPECT_EQ(log.texts[0], "Port successfully closed.");
    EXPECT_EQ(log.texts[2], "Unable to close port. (" + std::to_string(EBADF) + ")");
    // Each open of the Maple port clears its pending output before the success message.
    EXPECT_EQ(h.fake.calls()[1], "purgeComm(1, 4)");
}

TEST_F(Frame, MakerSetUpReportsEachStepAndRaisesTheLines) {
    auto& alder = open<SerialScreen>(SerialScreen::kAlder);
    // Set up before any rate was picked: the line rejects rate 0.
    EXPECT_EQ(alder.Feedback1.caption(),
              "Error writing comm settings. (" + std::to_string(EINVAL) + ")");
    EXPECT_EQ(alder.port().settings, "COM1:0,n,8,1");

    h.fake.clearCalls();
    alder.pickBaud(2400);
    EXPECT_EQ(alder.port().settings, "COM1:2400,n,8,1");
    EXPECT_EQ(alder.Feedback1.caption(), "DCB updated successfully");
    EXPECT_EQ(alder.Feedback1.foreColor(), kGreen);
    EXPECT_EQ(h.records.commDcb.baudRate, 2400u);
    EXPECT_EQ(h.fake.calls().back(), "escapeCommFunction(1, SETDTR)");

    h.fake.fail(Call::GetCommState, EIO);
    alder.pickBaud(2400);
    EXPECT_EQ(alder.Feedback1.caption(), "Error acquiring comm setup. (5)");

    auto& birch = open<SerialScreen>(SerialScreen::kMaker);  // COM1 is held: it fails to open
    h.app.click(birch.port2Option);
    h.fake.clearCalls();
    birch.pickBaud(4800);
    EXPECT_EQ(birch.port().settings, "COM2:4800,n,8,1");
    EXPECT_EQ(h.fake.calls().back(), "escapeCommFunction(2, SETRTS)");
    h.fake.fail(Call::SetCommState, EIO);
    birch.pickBaud(4800);
    EXPECT_EQ(birch.Feedback1.caption(), "error writing comm settings. (5)");
    h.fake.fail(Call::GetCommState, EIO);
    birch.pickBaud(4800);
    EXPECT_EQ(birch.Feedback1.caption(), "error acquiring comm setup. (5)");
}

TEST_F(Frame, TheModemStatusPollShowsEachLineAndTheDrawer) {
    auto& s = open<SerialScreen>(SerialScreen::kMaker);
    EXPECT_EQ(s.CTS_Label.toolTip(), "0");
    EXPECT_EQ(s.CTS.fillColor(), kRed);

    h.fake.setModemStatus(0xF0);
    h.runFor(100ms);
    EXPECT_EQ(s.cd_status.caption(), "Open");
    EXPECT_EQ(s.cd_status.foreColor(), kGreen);
    EXPECT_EQ(s.cd_status.toolTip(), "Drawer indicates open.");
    for (auto* lamp : {&s.CTS, &s.DSR, &s.CD})
        EXPECT_EQ(lamp->fillColor(), kGreen);
    EXPECT_EQ(s.CTS_Label.toolTip(), "CTS On");
    EXPECT_EQ(s.DSR_Label.toolTip(), "DSR On");
    EXPECT_EQ(s.CD_Label.toolTip(), "CD On");

    h.fake.setModemStatus(0x80);
    h.runFor(100ms);
    EXPECT_EQ(s.cd_status.caption(), "Closed");
    EXPECT_EQ(s.cd_status.foreColor(), kRed);
    EXPECT_EQ(s.cd_status.toolTip(), "Drawer indicates closed.");
    EXPECT_EQ(s.CTS.fillColor(), kRed);
    EXPECT_EQ(s.CTS_Label.toolTip(), "CTS Off");
    EXPECT_EQ(s.DSR_Label.toolTip(), "DSR Off");
    EXPECT_EQ(s.CD.fillColor(), kGreen);

    // A failing read is reported at every tick and leaves the display as it was.
    h.fake.fail(Call::GetCommModemStatus, EIO, 0, 2);
    h.runFor(4000ms);  // the message timer clears the line at 4 s ...
    EXPECT_EQ(s.Feedback1.caption(), "");
    h.fake.fail(Call::GetCommModemStatus, EIO, 0, 1);
    h.runFor(100ms);  // ... and the next failing poll writes it again
    EXPECT_EQ(s.Feedback1.caption(), "Error getting status information. (5)");
    EXPECT_EQ(s.cd_status.caption(), "Closed");
    EXPECT_EQ(s.CD.fillColor(), kGreen);
}

TEST_F(Frame, CedarShowsNoDrawerAndWordsItsStatusErrorItsOwnWay) {
    auto& s = open<SerialScreen>(SerialScreen::kCedar);
    h.fake.setModemStatus(0x40);
    h.runFor(100ms);
    EXPECT_EQ(s.cd_status.caption(), "");
    h.fake.fail(Call::GetCommModemStatus, EIO);
    h.runFor(100ms);
    EXPECT_EQ(s.Feedback1.caption(), "Error getting port status information. (5)");
}
