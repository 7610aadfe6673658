// Google Benchmark cases of the program's core: the cost of one status tick and of one printer
// test sequence, on the fake backend and on a pseudo-terminal through the POSIX backend, with
// and without the wire log recording. A sequence also reports its bytes and their time on the
// wire at 9600 baud (10 bits a byte). The wire log alone: one event in a full log, its memory,
// and its whole text.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "app/wire_log.h"
#include "scenarios.h"

namespace {

// The fake keeps every call it hears; it forgets them this often.
constexpr benchmark::IterationCount kTidyEvery = 256;
constexpr double kWireBitsPerByte = 10.0;
constexpr double kBaud = 9600.0;

void runScenario(benchmark::State& state, const std::string& name, bench::Backend backend) {
    const auto scenario = bench::makeScenario(name, backend);
    if (!scenario) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    scenario->once();  // the first tick or sequence warms the caches and the allocator
    scenario->tidy();
    const std::uint64_t before = scenario->bytesSent();
    const bool sequence = name.find("sequence") != std::string::npos;
    for (auto _ : state) {
        scenario->once();
        if (sequence || state.iterations() % kTidyEvery == 0) {
            state.PauseTiming();
            scenario->tidy();
            state.ResumeTiming();
        }
    }
    const double bytes =
        static_cast<double>(scenario->bytesSent() - before) /
        static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["bytes"] = bytes;
    if (sequence)
        state.counters["wire_ms"] = bytes * kWireBitsPerByte / kBaud * 1000.0;
}

// A byte written to an Epson printer, as the recorder tells it.
ports::PortCall byteWritten(std::uint8_t byte) {
    return {ports::PortCall::Kind::Write,
            ports::kSuccess,
            1,
            {1},
            std::string(1, static_cast<char>(byte))};
}

// A log of an Epson screen holding its kCapacity events: page characters and, every 457th, a
// drawer kick. Reports the heap it holds per event where glibc tells.
void fillLog(app::WireLog& log, benchmark::State& state) {
#if defined(__GLIBC__)
    const auto before = mallinfo2().uordblks;
#endif
    log.start(*screens::screenNamed("EPSONSerialform"));
    static const std::uint8_t kKick[] = {0x1B, 'p', 0, 80, 80};
    for (std::size_t i = 0; i < app::WireLog::kCapacity; ++i)
        log.portCall(byteWritten(i % 457 < 452 ? static_cast<std::uint8_t>('a' + i % 26)
                                               : kKick[i % 457 - 452]));
#if defined(__GLIBC__)
    state.counters["heap_bytes_per_event"] =
        static_cast<double>(mallinfo2().uordblks - before) / app::WireLog::kCapacity;
#else
    (void)state;
#endif
}

// One more one-byte write in a full log: named, stamped, kept, the oldest dropped.
void wireLogEvent(benchmark::State& state) {
    toolkit::VirtualClock clock;
    app::WireLog log(clock);
    fillLog(log, state);
    std::uint8_t byte = 0;
    for (auto _ : state)
        log.portCall(byteWritten(byte++ % 2 == 0 ? '\x1B' : 'd'));
}

// The text of a full log: what "Save..." writes.
void wireLogText(benchmark::State& state) {
    toolkit::VirtualClock clock;
    app::WireLog log(clock);
    fillLog(log, state);
    for (auto _ : state)
        benchmark::DoNotOptimize(log.text());
}

double minOf(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}
double maxOf(const std::vector<double>& v) {
    return *std::max_element(v.begin(), v.end());
}

void registerAll() {
    struct Case {
        const char* name;
        bench::Backend backend;
    };
    using enum bench::Backend;
    const Case cases[] = {
        {"modem-tick", Fake},
        {"modem-tick-changing", Fake},
        {"modem-tick", Pty},
        {"epson-tick", Fake},
        {"epson-tick-changing", Fake},
        {"epson-tick", Pty},
        {"star-tick", Fake},
        {"star-tick", Pty},
        {"epson-sequence", Fake},
        {"epson-sequence", Pty},
        {"star-sequence", Fake},
        {"star-sequence", Pty},
        // The same with the wire log recording: its cost is the difference.
        {"modem-tick-logged", Fake},
        {"epson-tick-logged", Fake},
        {"epson-tick-logged", Pty},
        {"epson-sequence-logged", Fake},
        {"epson-sequence-logged", Pty},
    };
    for (const Case& c : cases) {
        const std::string name = std::string(c.name) + (c.backend == Fake ? "/fake" : "/pty");
        const std::string scenario = c.name;
        const bench::Backend backend = c.backend;
        benchmark::RegisterBenchmark(
            name.c_str(),
            [scenario, backend](benchmark::State& state) { runScenario(state, scenario, backend); })
            ->Unit(benchmark::kMicrosecond)
            ->ComputeStatistics("min", minOf)
            ->ComputeStatistics("max", maxOf);
    }
    benchmark::RegisterBenchmark("wire-log-event", wireLogEvent)
        ->Unit(benchmark::kNanosecond)
        ->ComputeStatistics("min", minOf)
        ->ComputeStatistics("max", maxOf);
    benchmark::RegisterBenchmark("wire-log-text", wireLogText)
        ->Unit(benchmark::kMillisecond)
        ->ComputeStatistics("min", minOf)
        ->ComputeStatistics("max", maxOf);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
