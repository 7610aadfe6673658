// The real drawertest.exe, driven from outside as a person would: each step waits for the
// window the person would see, finds the control by the text it shows and sends it the
// messages a key or a click sends. Its ports are all mapped: COM1 to Wine's COM5, whose
// pseudo-terminal scripts/wine-run opens, the others to ports that lead nowhere.
//   drive_program PROGRAM        splash, disclaimer, selector, the Epson serial screen's test
//                                page, whose bytes must arrive on the pseudo-terminal as the
//                                screen's own model sends them; back, and the title bar
//   drive_program PROGRAM --demo the demo: its drawer window tells what the simulated printer
//                                printed
// Exits 0 when every step was seen, 1 with the step that was not.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "screens/screen_table.h"
#include "support/screen_harness.h"
#include "windows_driver.h"

using namespace e2e;

namespace {

// What the Epson serial screen sends for its test page, as its model sends it on the fake
// ports.
std::string expectedPage() {
    support::ScreenHarness harness;
    screens::screenNamed("EPSONSerialform")->open(harness.app, harness.context);
    harness.fake.clearCalls();
    harness.app.click(*harness.app.activeForm()->find("Trigger"));
    const std::vector<std::uint8_t> bytes = harness.fake.bytesWritten();
    return std::string(bytes.begin(), bytes.end());
}

std::string received() {
    const char* peer = std::getenv("DRAWERTEST_WINE_PEER");
    if (peer == nullptr)
        fail("run under scripts/wine-run, whose pseudo-terminal is COM5");
    std::ifstream file(std::filesystem::path(windowsPath(std::string(peer) + "/received")),
                       std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

// Every window's title ends with the suffix: " - Demo" in the demo.
void throughTheDisclaimer(const std::wstring& suffix) {
    pressSpace(waitForWindow((L"Dunmere Cash Drawer Test Utility" + suffix).c_str()));
    HWND notice = waitForWindow((L"Notice! Read before continuing..." + suffix).c_str());
    click(waitFor("Accept", [&] { return findControl(notice, L"Button", L"Accept"); }));
}

HWND openEpsonSerial(const std::wstring& suffix) {
    HWND selector = waitForWindow((L"Main Test Selector" + suffix).c_str());
    HWND epson = findControl(selector, L"DrawertestPainted", L"Epson Printer Interface");
    click(waitFor("Epson's Serial Interface",
                  [&] { return findControl(epson, L"Button", L"Serial Interface"); }));
    return waitForWindow((L"Epson Serial Printer Test" + suffix).c_str());
}

void printThePage(HWND screen) {
    click(
        waitFor("Test / Print", [&] { return findControl(screen, L"Button", L"Test / Print "); }));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        fail("usage: drive_program PROGRAM [--demo]");
    const bool demo = argc == 3 && std::string(argv[2]) == "--demo";
    const PROCESS_INFORMATION process = start(windowsPath(argv[1]), demo ? L"--demo" : L"");
    const std::wstring suffix = demo ? L" - Demo" : L"";
    throughTheDisclaimer(suffix);
    if (demo) {
        HWND screen = openEpsonSerial(suffix);
        printThePage(screen);
        HWND drawers = waitFor("the simulated drawer window",
                               [] { return FindWindowW(nullptr, L"Simulated drawer"); });
        waitFor("the printed page in the drawer window", [&]() -> HWND {
            HWND log = FindWindowExW(drawers, nullptr, L"Edit", nullptr);
            wchar_t text[4096] = {};
            SendMessageW(log, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
            return wcsstr(text, L"COM1 | ") != nullptr ? log : nullptr;
        });
        PostMessageW(screen, WM_CLOSE, 0, 0);
        waitForEnd(process);
        std::printf("drive_program: the demo printed its page in the drawer window\n");
        return 0;
    }
    HWND screen = openEpsonSerial(suffix);
    const std::string expected = expectedPage();
    const std::string before = received();
    printThePage(screen);
    waitFor("the page's " + std::to_string(expected.size()) + " bytes on the pseudo-terminal",
            [&]() -> HWND {
                return received().size() >= before.size() + expected.size() ? screen : nullptr;
            });
    Sleep(200);  // nothing more may follow
    if (received().substr(before.size()) != expected)
        fail("the bytes on the pseudo-terminal are not the page the screen sends");
    click(waitFor("<< Back", [&] { return findControl(screen, L"Button", L"<< Back"); }));
    PostMessageW(waitForWindow(L"Main Test Selector"), WM_CLOSE, 0, 0);
    waitForEnd(process);
    std::printf("drive_program: %zu bytes of the test page arrived on COM5's pseudo-terminal\n",
                expected.size());
    return 0;
}
