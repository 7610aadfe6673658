// The Ports dialog on Windows, over a registry layout of the test's own: a USB printer Windows
// knows only as a print queue is listed with what to do, and picking it chooses nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "app/ports_form.h"
#include "app/program.h"
#include "app/test_form.h"
#include "support/fake_port_system.h"

namespace {

struct NoStore final : app::ChoiceStore {
    std::string load(const std::string& /*port*/) const override { return {}; }
    std::string save(const std::string& port, const std::string& device) override {
        saved[port] = device;
        return {};
    }
    std::map<std::string, std::string> saved;
};

TEST(PortsDialogOnWindows, AUsbPrintQueueIsListedWithWhatToDoAndPickingItChoosesNothing) {
    const std::string base = "Software\\drawertest-tests-queues";
    HKEY key = nullptr;
    const std::string queue =
        base + "\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\TM-T20";
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, queue.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, "Port", 0, REG_SZ, reinterpret_cast<const BYTE*>("USB001"), 7);
    ::RegCloseKey(key);

    toolkit::VirtualClock clock;
    toolkit::Application app{clock};
    support::FakePortSystem ports;
    app::Program program{app, ports, {}};
    NoStore store;
    app::PortChoices choices([](const char*) -> const char* { return nullptr; }, store,
                             "HKCU\\" + base);
    program.setPortChoices(&choices);
    app.open<app::TestForm>(program);
    app.click(dynamic_cast<app::TestForm&>(*app.activeForm()).mPorts);
    auto& dialog = dynamic_cast<app::PortsForm&>(*app.activeForm());
    ::RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());

    for (app::PortsForm::Row* row : dialog.rows()) {
        ASSERT_EQ(row->found.items().size(), 2u) << row->port;
        EXPECT_EQ(row->found.items()[1], "TM-T20  (print queue on USB001, no COM port)")
            << row->port;
    }
    const std::string device = dialog.COM1.device.text();
    app.pick(dialog.COM1.found, 1);
    EXPECT_EQ(dialog.COM1.device.text(), device);
    EXPECT_EQ(dialog.COM1.state.caption(),
              "Print queue: install its virtual COM port driver, or use its network address");
    EXPECT_EQ(dialog.COM1.state.foreColor(), toolkit::colors::kRed);
    app.click(dialog.OK);
    for (const auto& [port, chosen] : store.saved)
        EXPECT_NE(chosen, "TM-T20") << port;
}

}  // namespace
