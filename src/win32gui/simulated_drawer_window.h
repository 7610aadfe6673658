// The "Simulated drawer" window of the demo: the device on the port the open screen holds, the
// state of each of its drawers, and what the devices have printed and done. A person opens or
// closes a drawer by hand with a click on it, or with the keys 1 and 2. A tool window beside the
// program's forms, shown in demo mode only.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "sim/demo_port_system.h"

namespace win32gui {

class SimulatedDrawerWindow {
public:
    explicit SimulatedDrawerWindow(sim::DemoPortSystem& ports);
    ~SimulatedDrawerWindow();
    SimulatedDrawerWindow(const SimulatedDrawerWindow&) = delete;
    SimulatedDrawerWindow& operator=(const SimulatedDrawerWindow&) = delete;

    HWND hwnd() const { return m_hwnd; }
    HWND drawerButton(int drawer) const { return m_drawers[static_cast<std::size_t>(drawer - 1)]; }
    HWND log() const { return m_log; }
    HWND device() const { return m_device; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK childProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void toggle(int drawer);
    void record(const std::string& port, const sim::Notice& notice);
    // Shows the device on the open port and its drawers as they are now.
    void refresh();
    void layOut();

    sim::DemoPortSystem& m_ports;
    HWND m_hwnd = nullptr;
    HWND m_device = nullptr;
    std::array<HWND, 2> m_drawers{};
    HWND m_hint = nullptr;
    HWND m_log = nullptr;
};

}  // namespace win32gui
