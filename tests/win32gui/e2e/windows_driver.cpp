#include "windows_driver.h"

#include <cstdio>
#include <cstdlib>

namespace e2e {

std::string narrow(const std::wstring& text) {
    std::string result;
    for (wchar_t c : text)
        result += c < 128 ? static_cast<char>(c) : '?';
    return result;
}

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    std::exit(1);
}

std::wstring windowsPath(const std::string& path) {
    std::wstring result = path.starts_with("/") ? L"Z:" : L"";
    for (char c : path)
        result += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return result;
}

HWND waitForWindow(const wchar_t* title) {
    return waitFor("window \"" + std::string(title, title + wcslen(title)) + "\"", [title] {
        HWND hwnd = FindWindowW(L"DrawertestForm", title);
        return hwnd != nullptr && IsWindowVisible(hwnd) ? hwnd : nullptr;
    });
}

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

PROCESS_INFORMATION start(const std::wstring& program, const std::wstring& arguments) {
    // Every port mapped: none may reach a port of this machine.
    SetEnvironmentVariableW(L"DRAWERTEST_COM1", L"\\\\.\\COM5");
    SetEnvironmentVariableW(L"DRAWERTEST_COM2", L"\\\\.\\COM2");
    SetEnvironmentVariableW(L"DRAWERTEST_LPT1", L"LPT1");
    SetEnvironmentVariableW(L"DRAWERTEST_LPT2", L"LPT2");
    std::wstring command = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        fail("cannot start " + narrow(program));
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

}  // namespace e2e
