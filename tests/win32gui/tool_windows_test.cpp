// The windows beside the forms. The wire log's: F12 on a test screen opens it with the screen's
// calls, following live while shown; Ctrl+C and saving; on the selector F12 is its menu entry's
// key. The demo's simulated drawer: the device on the open port, its drawers opened by hand.
#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/demo.h"
#include "fixture.h"
#include "sim/printer.h"
#include "support/fake_port_system.h"
#include "support/reference_views.h"
#include "win32gui/message_window.h"
#include "win32gui/simulated_drawer_window.h"
#include "win32gui/wide_text.h"
#include "win32gui/wire_log_window.h"

namespace {

using win32gui::narrow;

std::string rows(HWND list) {
    std::string text;
    const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        wchar_t line[512] = {};
        LVITEMW item{};
        item.pszText = line;
        item.cchTextMax = 512;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        text += narrow(line) + "\n";
    }
    return text;
}

std::string clipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = narrow(static_cast<const wchar_t*>(GlobalLock(data)));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// Handles messages until the condition holds, for at most two seconds.
template <class Condition>
bool waitFor(win32gui::Win32WindowSystem& windows, Condition condition) {
    for (int i = 0; i < 200 && !condition(); ++i) {
        Sleep(10);
        windows.processPending();
    }
    return condition();
}

}  // namespace

TEST(WireLogWindow, F12OpensItOnATestScreenFollowingTheScreensCallsAndOnTheSelector) {
    toolkit::VirtualClock clock;
    toolkit::Application app{clock};
    win32gui::Win32WindowSystem windows{app};
    support::FakePortSystem fake;
    fake.useClock(clock);
    fake.attach("COM1", std::make_shared<sim::Printer>(protocol::epsonCommands()));
    app::Program program{app, fake, {}};
    win32gui::WireLogWindow log(program, windows);

    program.showScreen("EPSONSerialform");
    HWND screen = win32gui::FormWindow::of(*app.activeForm())->hwnd();
    win32test::key(screen, VK_F12);
    windows.processPending();
    ASSERT_TRUE(IsWindowVisible(log.hwnd()));
    EXPECT_NE(rows(log.lines()).find("call  open COM1: handle 1"), std::string::npos);

    app.click(*app.activeForm()->find("Trigger"));
    // The window looks again on its own.
    EXPECT_TRUE(waitFor(windows, [&] {
        return rows(log.lines()).find("GS V 1: partial cut") != std::string::npos;
    }));
    EXPECT_EQ(rows(log.lines()).size(),
              program.wireLog().text().size() - program.wireLog().heading().size() - 2);
    win32test::shoot(log.hwnd(), "WireLog");

    // Ctrl+C copies the rows picked, a line each.
    for (int row : {0, 1}) {
        LVITEMW picked{};
        picked.stateMask = picked.state = LVIS_SELECTED;
        SendMessageW(log.lines(), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&picked));
    }
    log.copySelection();
    EXPECT_EQ(clipboardText(), program.wireLog().line(0) + "\r\n" + program.wireLog().line(1));
    // Saved, the file holds the log as shown, in Windows' lines.
    const std::filesystem::path saved =
        std::filesystem::temp_directory_path() / "drawertest-wire-log-window.txt";
    EXPECT_EQ(log.saveTo(saved.wstring()), "");
    EXPECT_EQ(win32test::windowText(log.saved()), L"Saved to " + saved.wstring());
    {
        std::ifstream file(saved, std::ios::binary);
        std::stringstream content;
        content << file.rdbuf();
        std::string expected;
        for (char c : program.wireLog().text())
            expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
        EXPECT_EQ(content.str(), expected);
    }
    std::filesystem::remove(saved);
    // A failed save does not leave the earlier file shown as saved.
    const std::filesystem::path nowhere = saved.parent_path() / "no such folder" / "log.txt";
    EXPECT_NE(log.saveTo(nowhere.wstring()), "");
    EXPECT_EQ(win32test::windowText(log.saved()), L"Not saved to " + nowhere.wstring());

    // On the selector F12 is the key of its "Wire Log" entry.
    ShowWindow(log.hwnd(), SW_HIDE);
    app.click(*app.activeForm()->find("exit"));
    windows.processPending();
    win32test::key(win32gui::FormWindow::of(*app.activeForm())->hwnd(), VK_F12);
    windows.processPending();
    EXPECT_TRUE(IsWindowVisible(log.hwnd()));
}

TEST(SimulatedDrawerWindow, ShowsTheDeviceOnTheOpenPortAndOpensItsDrawersByHand) {
    toolkit::RealClock clock;
    toolkit::Application app{clock};
    win32gui::Win32WindowSystem windows{app};
    sim::MachineClock lineClock;
    app::Demo demo(app, lineClock);
    app::Program program{app, demo.ports(), app::Demo::portDevices()};
    program.addScreenListener(
        [&demo](const screens::ScreenEntry& screen) { demo.screenOpened(screen); });
    win32gui::SimulatedDrawerWindow drawers(demo.ports());
    EXPECT_EQ(win32test::windowText(drawers.device()).substr(0, 10), L"No port is");
    EXPECT_FALSE(IsWindowVisible(drawers.drawerButton(1)));

    program.showScreen("EPSONSerialform");
    windows.processPending();
    ASSERT_TRUE(waitFor(windows, [&] { return IsWindowVisible(drawers.drawerButton(2)) != 0; }));
    EXPECT_EQ(win32test::windowText(drawers.drawerButton(1)), L"Drawer 1: Closed");
    // The key 1 wherever the window has the keyboard, a click on the second drawer.
    win32test::key(drawers.log(), '1');
    win32test::click(drawers.drawerButton(2));
    windows.processPending();
    EXPECT_EQ(win32test::windowText(drawers.drawerButton(1)), L"Drawer 1: Open");
    EXPECT_EQ(win32test::windowText(drawers.drawerButton(2)), L"Drawer 2: Open");
    // What the printer does is told in the log.
    app.click(*app.activeForm()->find("Trigger"));
    EXPECT_TRUE(waitFor(windows, [&] {
        return win32test::windowText(drawers.log()).find(L"COM1 | ") != std::wstring::npos;
    }));
    win32test::shoot(drawers.hwnd(), "SimulatedDrawer");
}

TEST(AboutBox, TellsTheProgramItsVersionAndEachPortsDevice) {
    support::ViewProgram p;
    win32gui::Win32WindowSystem windows{p.app};
    support::reachView(p, support::referenceViews()[2]);  // the selector
    p.click("mAbout");
    windows.processPending();
    HWND box = FindWindowW(win32gui::MessageWindow::kClass, L"About");
    ASSERT_NE(box, nullptr);
    EXPECT_NE(win32test::windowText(GetDlgItem(box, 100)).find(L"COM1: /dev/ttyUSB0"),
              std::wstring::npos);
    win32test::shoot(box, "About");
    SendMessageW(box, WM_CLOSE, 0, 0);
    windows.processPending();
}
