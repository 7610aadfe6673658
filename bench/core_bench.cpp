// Google Benchmark cases of the program's core: the cost of one status tick and of one printer
// test sequence, on the fake backend and on a pseudo-terminal through the POSIX backend. A
// sequence also reports its bytes and their time on the wire at 9600 baud (10 bits a byte).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

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
    const bool sequence = name.ends_with("sequence");
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
        {"modem-tick", Fake},          {"modem-tick-changing", Fake},
        {"modem-tick", Pty},           {"epson-tick", Fake},
        {"epson-tick-changing", Fake}, {"epson-tick", Pty},
        {"star-tick", Fake},           {"star-tick", Pty},
        {"epson-sequence", Fake},      {"epson-sequence", Pty},
        {"star-sequence", Fake},       {"star-sequence", Pty},
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
