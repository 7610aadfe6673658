// What the core benchmarks measure, on the tests' fake port backend or on the real POSIX
// backend through a pseudo-terminal: one modem-status tick of the Alder screen, one drawer-status
// tick of a serial printer screen, one printer test sequence; a name ending in "-logged" runs
// with the wire log recording, as the program does. Each runs on the program's model with a
// virtual clock, so a tick costs no waiting for its 100 ms to pass.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace bench {

enum class Backend { Fake, Pty };

class Scenario {
public:
    virtual ~Scenario() = default;
    // One tick (100 ms of the program's time) or one click of "Test / Print ".
    virtual void once() = 0;
    // Between measurements: the fake forgets the calls it recorded, so long runs stay small.
    virtual void tidy() = 0;
    // Bytes that reached the device so far; waits for the pty's far end to take them.
    virtual std::uint64_t bytesSent() = 0;
};

// The names bench_once and the benchmarks know.
const std::vector<std::string>& scenarioNames();
// Null for an unknown name, or when no pseudo-terminal could be had.
std::unique_ptr<Scenario> makeScenario(const std::string& name, Backend backend);

}  // namespace bench
