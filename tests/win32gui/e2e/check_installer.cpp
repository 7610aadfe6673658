// The installer's round trip, for all users and for the one who installs: the setup, silent,
// puts the program and its console twin in its folder with its Start-menu entries and its entry
// in Windows' list of programs; the installed program starts (its splash comes up; closed by its
// title bar, it ends); the uninstaller, silent, takes all of it away again.
//   check_installer SETUP
// Exits 0 when every step was seen, 1 with the step that was not.
#include <windows.h>
// After windows.h, which they build on.
#include <shlobj.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "windows_driver.h"

using namespace e2e;

namespace {

struct Mode {
    const wchar_t* option;
    int startMenu;          // CSIDL of the Start menu's programs folder
    HKEY registry;          // where the list of programs is
    const wchar_t* folder;  // where the program goes, %variables% expanded
};

const Mode kModes[] = {
    {L"/AllUsers", CSIDL_COMMON_PROGRAMS, HKEY_LOCAL_MACHINE, L"%ProgramW6432%\\drawertest"},
    {L"/CurrentUser", CSIDL_PROGRAMS, HKEY_CURRENT_USER, L"%LOCALAPPDATA%\\Programs\\drawertest"},
};

constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\drawertest";
constexpr wchar_t kTitle[] = L"Dunmere Cash Drawer Test Utility";

void run(const std::wstring& program, const std::wstring& arguments) {
    std::wstring command = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        fail("cannot start " + narrow(command));
    }
    WaitForSingleObject(process.hProcess, 120000);
    DWORD status = 1;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (status != 0)
        fail(narrow(command) + " ended with " + std::to_string(status));
}

std::filesystem::path expand(const wchar_t* text) {
    wchar_t expanded[MAX_PATH] = {};
    ExpandEnvironmentStringsW(text, expanded, MAX_PATH);
    return expanded;
}

std::filesystem::path startMenu(const Mode& mode) {
    wchar_t folder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, mode.startMenu, nullptr, SHGFP_TYPE_CURRENT, folder);
    return folder;
}

bool listed(const Mode& mode) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(mode.registry, kUninstallKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void roundTrip(const std::wstring& setup, const Mode& mode) {
    const std::string name = narrow(mode.option);
    run(setup, std::wstring(L"/S ") + mode.option);
    const std::filesystem::path folder = expand(mode.folder);
    const std::filesystem::path menu = startMenu(mode);
    for (const std::filesystem::path& file :
         {folder / "drawertest.exe", folder / "drawertest.com", folder / "uninstall.exe",
          menu / (std::wstring(kTitle) + L".lnk"),
          menu / (std::wstring(kTitle) + L" (demo).lnk")}) {
        if (!std::filesystem::exists(file))
            fail(name + ": the setup did not install " + narrow(file.wstring()));
    }
    if (!listed(mode))
        fail(name + ": the program is not in Windows' list of programs");

    const PROCESS_INFORMATION program = start((folder / "drawertest.exe").wstring(), L"");
    PostMessageW(waitForWindow(kTitle), WM_CLOSE, 0, 0);
    waitForEnd(program);

    // The uninstaller runs on from a copy of itself, and the folder goes when it is done.
    run((folder / "uninstall.exe").wstring(), std::wstring(L"/S ") + mode.option);
    waitFor(name + " uninstalled", [&]() -> HWND {
        return std::filesystem::exists(folder) ? nullptr : GetDesktopWindow();
    });
    for (const std::filesystem::path& file : {menu / (std::wstring(kTitle) + L".lnk"),
                                              menu / (std::wstring(kTitle) + L" (demo).lnk")}) {
        if (std::filesystem::exists(file))
            fail(name + ": the uninstaller left " + narrow(file.wstring()));
    }
    if (listed(mode))
        fail(name + ": the uninstaller left the program in Windows' list of programs");
    std::printf("check_installer: %s: installed in %s, started, uninstalled, nothing left\n",
                name.c_str(), narrow(folder.wstring()).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        fail("usage: check_installer SETUP");
    for (const Mode& mode : kModes)
        roundTrip(windowsPath(argv[1]), mode);
    return 0;
}
