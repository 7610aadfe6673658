// The Alder screen: its load, switch display, opening-character checks, trigger writes with
// and without the printer text, and the way to the alternate screen. (The wiring choices: the
// reference pictures.)
#include "screens/interfaces/alder_form.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "screens/common/screen_checks.h"
#include "screens/interfaces/printer_texts.h"

using namespace support;
using namespace toolkit::colors;

namespace {

using AlderTest = ScreenTest<screens::Alderform>;

TEST_F(AlderTest, LoadSettlesOnCom1At9600WithCharacter7SentOnce) {
    EXPECT_EQ(s.port().settings, "COM1:9600,n,8,1");
    EXPECT_EQ(callsOf(h.fake.calls(), {"escape"}).back(), "escapeCommFunction(1, SETDTR)");
    // That it polls from load on is the soak's to check, for every screen.
    h.runFor(2000ms);
    trigger();
    EXPECT_EQ(h.fake.calls(), (Calls{"createEvent(true, false, \"0\")", "flushFileBuffers(1)",
                                     "writeFile(1, 07 00)", "closeEvent(1)"}));
    expectShownFourSeconds(s.Feedback1, "Trigger Character written to port.", kGreen);

    h.app.pick(s.Repeats, 1);  // 2
    h.app.edit(s.open_char, "65");
    trigger();
    EXPECT_EQ(h.fake.writes(), (std::vector<Bytes>{{0x41, 0x00}, {0x41, 0x00}}));
}

TEST_F(AlderTest, SwitchesFollowCharacterRepeatsAndBaudRate) {
    // The repeat count and the baud rate by their list indexes.
    for (const auto& [character, repeats, baud, row] :
         {std::tuple{"127", 1, 3, "v v v v v v v ^ v v"},
          std::tuple{"0", 0, 1, "^ ^ ^ ^ ^ ^ ^ v v ^"},
          std::tuple{"85", 1, 2, "v ^ v ^ v ^ v ^ ^ v"}}) {
        h.app.edit(s.open_char, character);
        h.app.pick(s.Repeats, repeats);
        h.app.pick(s.baudlist, baud);
        EXPECT_EQ(switchRow(s), row) << character;
    }
}

TEST_F(AlderTest, OpeningCharacterOutside0To127IsResetTo7) {
    const std::pair<const char*, int> cases[] = {{"", 7},      {"-1", 7},  {"128", 7},
                                                 {"127.5", 7}, {"abc", 0}, {"126.5", 126}};
    for (const auto& [text, stored] : cases) {
        h.app.edit(s.open_char, "20");
        h.runFor(4000ms);
        h.app.edit(s.open_char, text);
        EXPECT_EQ(s.openChar(), stored) << text;
        const bool reset = s.open_char.text() != text;
        EXPECT_EQ(s.Feedback1.caption(), reset ? "Valid characters are 0 through 127" : "");
    }

    // A reset shows both messages for four seconds from the last change.
    h.runFor(2000ms);
    h.app.edit(s.open_char, "128");
    EXPECT_EQ(s.open_char.text(), "7");
    EXPECT_EQ(switchRow(s), "v v v ^ ^ ^ ^ v ^ ^");
    expectLine(s.Feedback1, "Valid characters are 0 through 127", kRed);
    expectShownFourSeconds(s.Feedback2, "Open Character reset to factory default: 7", kGreen);
}

TEST_F(AlderTest, TestPrinterSendsTheTextThenNineLineFeedsWhateverFails) {
    h.app.pick(s.Repeats, 1);
    h.app.click(s.TestPrinter);
    EXPECT_EQ(s.Trigger.caption(), "Test/Print");
    h.fake.failWrites(EIO, 1, 1);  // the second repetition
    trigger();
    const std::string_view text = screens::alderPrinterText();
    std::vector<Bytes> expected{{0x07, 0x00}, {0x07, 0x00}};
    for (char c : text)
        expected.push_back({static_cast<std::uint8_t>(c)});
    expected.insert(expected.end(), 9, Bytes{0x0A});
    EXPECT_EQ(h.fake.writes(), expected);
    expectLine(s.Feedback1, "Error writing to port. (5)", kRed);
    // A flush before the characters, before the text and before the line feeds.
    const Calls& calls = h.fake.calls();
    EXPECT_EQ(callsOf(calls, {"flushFileBuffers"}).size(), 3u);
    EXPECT_EQ(calls[4], "flushFileBuffers(1)");
    EXPECT_EQ(calls[5 + text.size()], "flushFileBuffers(1)");

    // Without its event the bytes still go out; writes still under way show nothing.
    h.app.click(s.TestPrinter);
    h.fake.fail(Call::CreateEvent, ENOMEM);
    h.fake.failWrites(ports::kIoPending);
    trigger();
    EXPECT_EQ(h.fake.bytesWritten(), (Bytes{0x07, 0x00, 0x07, 0x00}));
    expectLine(s.Feedback1, "Failure to create overlapped event", kRed);
}

}  // namespace
