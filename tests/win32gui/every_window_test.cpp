// Every window of the program in the renderer, reached as the Qt renderer's reference pictures
// are: what it tells beyond what it shows (each control's tooltip, and the name a screen reader
// says, as Windows' accessibility hands it over) is what tests/gui/references holds for the Qt
// renderer; and its boxes show their text from the first character. With DRAWERTEST_SHOTS set to a
// folder, each window is also written there as a bitmap, title bar included, for a person to look
// at beside the reference picture.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "fixture.h"
#include "support/reference_views.h"
#include "win32gui/form_window.h"
#include "win32gui/wide_text.h"
#include "win32gui/win32_window_system.h"

namespace {

using support::View;
using win32gui::narrow;

std::string toolTipOf(const win32gui::FormWindow& window, HWND control) {
    wchar_t text[512] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = window.hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageW(window.toolTips(), TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
    return narrow(text);
}

std::string spokenNameOf(HWND control) {
    IAccessible* accessible = nullptr;
    if (AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                   reinterpret_cast<void**>(&accessible)) != S_OK) {
        return "(no accessible object)";
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string spoken;
    if (accessible->get_accName(self, &name) == S_OK && name != nullptr)
        spoken = narrow(name);
    SysFreeString(name);
    accessible->Release();
    return spoken;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    std::sort(result.begin(), result.end());
    return result;
}

class EveryWindow : public ::testing::TestWithParam<View> {};

TEST_P(EveryWindow, TellsTheToolTipsAndTheSpokenNamesTheReferencesHold) {
    const View& view = GetParam();
    support::ViewProgram p;
    win32gui::Win32WindowSystem windows{p.app};
    support::reachView(p, view);
    windows.processPending();
    toolkit::Form& form = *p.app.activeForm();
    const win32gui::FormWindow& window = *win32gui::FormWindow::of(form);
    std::string told;
    for (const toolkit::Control* control : form.controls()) {
        HWND hwnd = window.windowOf(*control);
        if (hwnd == nullptr)
            continue;
        // A box shows its text from the first character, as a person reads it.
        if (control->kind() == toolkit::ControlKind::TextBox &&
            !static_cast<const toolkit::TextBox*>(control)->text().empty()) {
            EXPECT_NE(static_cast<short>(LOWORD(SendMessageW(hwnd, EM_POSFROMCHAR, 0, 0))), -1)
                << control->name();
        }
        const std::string tip = toolTipOf(window, hwnd);
        const std::string name = spokenNameOf(hwnd);
        if (!(tip + name).empty())
            told += control->name() + ": " + tip + " | " + name + "\n";
    }
    std::ifstream reference(std::string(DRAWERTEST_REFERENCE_DIR "/") + view.name + ".txt");
    ASSERT_TRUE(reference) << view.name;
    std::stringstream expected;
    expected << reference.rdbuf();
    EXPECT_EQ(lines(told), lines(expected.str()));

    win32test::shoot(window.hwnd(), view.name);
}

INSTANTIATE_TEST_SUITE_P(Program, EveryWindow, ::testing::ValuesIn(support::referenceViews()),
                         [](const auto& param) { return support::testName(param.param); });

}  // namespace
