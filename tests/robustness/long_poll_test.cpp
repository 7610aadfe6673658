// Long polling runs: a screen polls its drawer's state tick after tick on the virtual clock,
// the device changing its answer, staying silent, answering noise and now and then failing,
// and the program's memory does not grow, nor does it poll less than once a tick. (That no port
// or event is left open after any step is the soak's to check.)
// DRAWERTEST_POLL_TICKS sets the ticks per screen (20000 unless set).
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <iterator>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

#include "robustness/run_settings.h"
#include "screens/interfaces/alder_form.h"
#include "screens/printers/epson_screens.h"
#include "screens/printers/ithaca_screens.h"
#include "screens/printers/star_screens.h"
#include "support/screen_harness.h"

#if defined(__SANITIZE_ADDRESS__)
#define DRAWERTEST_HEAP_FROM_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DRAWERTEST_HEAP_FROM_SANITIZER 1
#endif
#endif
#ifdef DRAWERTEST_HEAP_FROM_SANITIZER
// The sanitizer's allocator interface; GCC ships the library but not its header.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace {

using namespace std::chrono_literals;
using support::Call;
using support::ScreenHarness;

// Bytes the program holds on the heap now. Under AddressSanitizer the allocator is the
// sanitizer's, and its count is exact; the resident size would also count what its
// quarantine keeps back.
std::size_t heapInUse() {
#ifdef DRAWERTEST_HEAP_FROM_SANITIZER
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

// What a run may grow by between its warm-up and its end: room for an allocator's bookkeeping,
// far less than one tick's worth of anything kept per tick.
constexpr std::ptrdiff_t kHeapNoise = 16 * 1024;
constexpr long long kWarmUpTicks = 2000;

struct PollCase {
    const char* name;
    screens::TestScreen& (*open)(ScreenHarness&);
    bool printer;  // polls through the printer once DrawerStatus is checked
};

// Test lists name a case by its screen.
void PrintTo(const PollCase& c, std::ostream* out) {
    *out << c.name;
}

template <class Screen>
screens::TestScreen& openScreen(ScreenHarness& h) {
    auto& screen = h.open<Screen>();
    if constexpr (std::is_base_of_v<screens::PrinterScreen, Screen>)
        h.app.click(*screen.DrawerStatus);
    return screen;
}

class LongPoll : public ::testing::TestWithParam<PollCase> {};

TEST_P(LongPoll, MemoryStaysAsItWasAfterWarmUpAndEveryTickPolls) {
    const PollCase& c = GetParam();
    const long long ticks = robustness::runSetting("DRAWERTEST_POLL_TICKS", 20000);
    ASSERT_GT(ticks, kWarmUpTicks);

    ScreenHarness h;
    ASSERT_GE(c.open(h).port().handle, 1);

    // Replies that mean open or closed to one printer or another, and noise.
    static const std::uint8_t kReplies[] = {0x12, 0x16, 0x08, 0x48, 0x00, 0x80, 0xFF, 0x93};
    static const std::uint32_t kWords[] = {0x00, 0x40, 0xF0, 0x10, 0x80, 0x30};
    long long polls = 0;
    const auto countPolls = [&] {
        for (const std::string& call : h.fake.calls())
            polls += call.starts_with(c.printer ? "purgeComm(" : "getCommModemStatus(") ? 1 : 0;
        h.fake.clearCalls();
    };

    std::size_t heapAfterWarmUp = 0;
    for (long long tick = 1; tick <= ticks; ++tick) {
        if (c.printer) {
            // Silent now and then: the next tick says so.
            if (tick % 13 != 0)
                h.fake.queueReplies({kReplies[tick / 7 % std::size(kReplies)]});
            if (tick % 1000 == 500)
                h.fake.fail(Call::Read, EIO);
        } else {
            h.fake.setModemStatus(kWords[tick / 37 % std::size(kWords)]);
            if (tick % 1000 == 500)
                h.fake.fail(Call::ModemStatus, EIO);
        }
        h.runFor(100ms);
        if (tick % 1000 == 0)
            countPolls();
        if (tick == kWarmUpTicks)
            heapAfterWarmUp = heapInUse();
    }
    countPolls();
    const std::size_t heapAtEnd = heapInUse();

    std::cout << c.name << ": " << ticks << " ticks, " << polls << " polls; heap "
              << heapAfterWarmUp << " bytes after warm-up, " << heapAtEnd << " at the end"
              << std::endl;
    EXPECT_EQ(polls, ticks) << "one poll per tick";
    EXPECT_LE(static_cast<std::ptrdiff_t>(heapAtEnd) - static_cast<std::ptrdiff_t>(heapAfterWarmUp),
              kHeapNoise);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, LongPoll,
    ::testing::Values(PollCase{"Alderform", openScreen<screens::Alderform>, false},
                      PollCase{"EPSONSerialform", openScreen<screens::EPSONSerialform>, true},
                      PollCase{"StarSerialform", openScreen<screens::StarSerialform>, true},
                      PollCase{"ITHACASerialform", openScreen<screens::ITHACASerialform>, true}),
    [](const ::testing::TestParamInfo<PollCase>& p) { return std::string(p.param.name); });

}  // namespace
