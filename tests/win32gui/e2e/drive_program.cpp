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

#include "screens/printers/printer_screens.h"
#include "support/screen_harness.h"

namespace {

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "drive_program: %s\n", what.c_str());
    std::exit(1);
}

// A path as Wine's Windows side sees the machine's files.
std::wstring windowsPath(const std::string& path) {
    std::wstring result = path.starts_with("/") ? L"Z:" : L"";
    for (char c : path)
        result += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return result;
}

template <class Find>
HWND waitFor(const std::string& what, Find find) {
    for (int i = 0; i < 400; ++i) {
        if (HWND found = find())
            return found;
        Sleep(50);
    }
    fail("no " + what + " within 20 s");
}

HWND waitForWindow(const wchar_t* title) {
    return waitFor("window \"" + std::string(title, title + wcslen(title)) + "\"", [title] {
        HWND hwnd = FindWindowW(L"DrawertestForm", title);
        return hwnd != nullptr && IsWindowVisible(hwnd) ? hwnd : nullptr;
    });
}

// The control inside `parent` (at any depth) of a class that shows `text`.
HWND findControl(HWND parent, const wchar_t* windowClass, const wchar_t* text) {
    HWND child = nullptr;
    while ((child = FindWindowExW(parent, child, nullptr, nullptr)) != nullptr) {
        wchar_t name[64] = {};
        wchar_t shown[256] = {};
        GetClassNameW(child, name, 64);
        SendMessageW(child, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(shown));
        if (_wcsicmp(name, windowClass) == 0 && wcscmp(shown, text) == 0)
            return child;
        if (HWND inside = findControl(child, windowClass, text))
            return inside;
    }
    return nullptr;
}

void click(HWND control) {
    RECT client{};
    GetClientRect(control, &client);
    const LPARAM middle = MAKELPARAM(client.right / 2, client.bottom / 2);
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    PostMessageW(control, WM_LBUTTONUP, 0, middle);
}

void pressSpace(HWND window) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(VK_SPACE, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(window, WM_KEYDOWN, VK_SPACE, scan | 1);
    PostMessageW(window, WM_KEYUP, VK_SPACE, scan | 1 | (3LL << 30));
}

PROCESS_INFORMATION start(const std::string& program, const std::wstring& arguments) {
    // Every port mapped: none may reach a port of this machine.
    SetEnvironmentVariableW(L"DRAWERTEST_COM1", L"\\\\.\\COM5");
    SetEnvironmentVariableW(L"DRAWERTEST_COM2", L"\\\\.\\COM2");
    SetEnvironmentVariableW(L"DRAWERTEST_LPT1", L"LPT1");
    SetEnvironmentVariableW(L"DRAWERTEST_LPT2", L"LPT2");
    std::wstring command = L"\"" + windowsPath(program) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        fail("cannot start " + program);
    }
    return process;
}

void waitForEnd(const PROCESS_INFORMATION& process) {
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
        fail("the program did not end when its last window was closed");
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    if (status != 0)
        fail("the program ended with " + std::to_string(status));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// What the Epson serial screen sends for its test page, as its model sends it on the fake
// ports.
std::string expectedPage() {
    support::ScreenHarness harness;
    screens::openPrinterScreen(harness.app, harness.context,
                               screens::ScreenId::EPSONSerialform);
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
    click(waitFor("Test / Print", [&] { return findControl(screen, L"Button", L"Test / Print "); }));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        fail("usage: drive_program PROGRAM [--demo]");
    const bool demo = argc == 3 && std::string(argv[2]) == "--demo";
    const PROCESS_INFORMATION process = start(argv[1], demo ? L"--demo" : L"");
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
            [&]() -> HWND { return received().size() >= before.size() + expected.size() ? screen : nullptr; });
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
