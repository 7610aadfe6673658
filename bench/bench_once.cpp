// Runs one benchmark scenario a given number of times and nothing else, for counting what it
// costs from outside: its system calls (strace) and its instructions (callgrind). Running it
// with a count of 0 gives the cost of the set-up alone.
#include <cstdlib>
#include <iostream>
#include <string>

#include "scenarios.h"

int main(int argc, char** argv) {
    const std::string backend = argc == 4 ? argv[1] : "";
    if (backend != "fake" && backend != "pty") {
        std::cerr << "usage: bench_once fake|pty SCENARIO COUNT\nscenarios:";
        for (const std::string& name : bench::scenarioNames())
            std::cerr << " " << name;
        std::cerr << "\n";
        return 2;
    }
    const auto scenario = bench::makeScenario(
        argv[2], backend == "fake" ? bench::Backend::Fake : bench::Backend::Pty);
    if (!scenario) {
        std::cerr << "bench_once: no scenario " << argv[2] << " on " << backend << "\n";
        return 1;
    }
    const long count = std::atol(argv[3]);
    for (long i = 0; i < count; ++i)
        scenario->once();
    // The fake's count only: waiting for a pty's far end would add calls of its own.
    if (backend == "fake")
        std::cout << scenario->bytesSent() << " bytes sent\n";
    return 0;
}
