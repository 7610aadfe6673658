// What main() does alike on every platform: tells the command line from a window run, and sets
// the program up over this machine's ports as the user chose them, or over the demo's
// simulated devices.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/demo.h"
#include "app/port_choices.h"
#include "app/program.h"
#include "ports/backends/platform_port_system.h"
#include "sim/demo_port_system.h"
#include "toolkit/application.h"

namespace app {

enum class StartMode { Window, Demo, CommandLine };

// "--demo" alone is the demo; no argument the window; anything else the command line's.
StartMode startMode(const std::vector<std::string>& arguments);

class Startup {
public:
    // The ports as `choices` map them, or with `demo` the simulated devices.
    Startup(toolkit::Application& app, PortChoices& choices, bool demo);
    Startup(const Startup&) = delete;
    Startup& operator=(const Startup&) = delete;
    ~Startup();

    Program& program() { return *m_program; }
    // The demo's simulated ports, or none.
    sim::DemoPortSystem* demoPorts() { return m_demo ? &m_demo->ports() : nullptr; }
    // What every window's title ends with: the demo says so.
    std::string titleSuffix() const { return m_demo ? " - Demo" : ""; }

private:
    sim::MachineClock m_lineClock;
    std::unique_ptr<Demo> m_demo;
    std::unique_ptr<ports::PlatformPortSystem> m_portSystem;
    std::unique_ptr<Program> m_program;
};

}  // namespace app
