// The window shows the form as the model has it, and follows every change the program makes
// without reporting it back as a user action.
#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>

#include "fixture.h"
#include "win32gui/wide_text.h"

using namespace toolkit;
using win32test::Log;
using win32test::RendererTest;

namespace {

std::wstring menuText(HMENU menu, int position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
    return text;
}

SIZE clientSize(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    return {client.right, client.bottom};
}

}  // namespace

TEST_F(RendererTest, BuildsAFixedWindowWithItsTitleNoWindowForATimerAndTheMenusNested) {
    EXPECT_EQ(window->windowOf(form.ticker), nullptr);
    EXPECT_EQ(win32test::windowText(window->hwnd()), L"Sample Test");
    EXPECT_FALSE(GetWindowLongPtrW(window->hwnd(), GWL_STYLE) & WS_THICKFRAME);
    EXPECT_EQ(clientSize(window->hwnd()).cx, 420);
    EXPECT_EQ(clientSize(window->hwnd()).cy, 300);
    // Controls in a frame are the frame's children, placed within it.
    EXPECT_EQ(GetParent(control("first")), control("group"));

    // Menus: nested as in the model, captions exactly as stored, leaves on the bar itself.
    HMENU bar = window->menuBar();
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(menuText(bar, 0), L"Tests");
    EXPECT_EQ(menuText(bar, 1), L"About");
    HMENU tests = GetSubMenu(bar, 0);
    HMENU epson = GetSubMenu(tests, 0);
    EXPECT_EQ(menuText(tests, 0), L"Epson ");
    EXPECT_EQ(menuText(tests, 1), L"Maple && Co");
    EXPECT_EQ(menuText(epson, 0), L"Serial Interface");
    EXPECT_EQ(GetMenuItemID(epson, 0), window->commandOf(form.mEpsonSerial));
}

TEST_F(RendererTest, FollowsProgramChangesWithoutReportingThemBack) {
    // Each handler runs once, from the model; Windows' own notices of the change add nothing.
    form.box.setText("12");
    form.first.setValue(true);
    form.second.setValue(true);
    form.check.setValue(true);
    form.list.setListIndex(1);
    pump();
    EXPECT_EQ(form.log, (Log{"box:12", "first", "second", "check:on", "list:4800"}));
    EXPECT_EQ(win32test::windowText(control("box")), L"12");
    EXPECT_EQ(SendMessageW(control("first"), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(control("check"), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(control("list"), CB_GETCURSEL, 0, 0), 1);
    form.second.setValue(false);  // the model can clear every option
    EXPECT_EQ(SendMessageW(control("second"), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // What a frame holds goes and greys with it; lists, menus, captions and colours follow.
    form.group.setEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(control("first")));
    form.group.setEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(control("first")));
    form.group.setVisible(false);
    form.list.setItems({"19200"});
    form.mAbout.setEnabled(false);
    form.go.setCaption("Back & forth");
    EXPECT_FALSE(IsWindowVisible(control("first")));
    EXPECT_EQ(SendMessageW(control("list"), CB_GETCOUNT, 0, 0), 1);
    EXPECT_TRUE(GetMenuState(window->menuBar(), window->commandOf(form.mAbout), MF_BYCOMMAND) &
                MF_GRAYED);
    EXPECT_EQ(win32test::windowText(control("go")), L"Back & forth");
    form.setCaption("Renamed");
    EXPECT_EQ(win32test::windowText(window->hwnd()), L"Renamed");
    form.setBackColor(colors::kWhite);
    pump();
    HDC dc = GetDC(window->hwnd());
    EXPECT_EQ(GetPixel(dc, 415, 295), RGB(255, 255, 255));
    ReleaseDC(window->hwnd(), dc);
    // Too narrow for its menus: the bar wraps and the client area keeps the form's size.
    form.setSize(60, 200);
    pump();
    EXPECT_EQ(clientSize(window->hwnd()).cx, 60);
    EXPECT_EQ(clientSize(window->hwnd()).cy, 200);
    EXPECT_EQ(form.log.size(), 5u);
}

TEST_F(RendererTest, AnOptionsCaptionStandsOnItsOwnBackground) {
    // The letters stand on the option's colour, not on white cells.
    RedrawWindow(control("first"), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    HDC dc = GetDC(control("first"));
    int white = 0;
    for (int x = 24; x < 190; ++x) {
        for (int y = 0; y < 20; ++y)
            white += GetPixel(dc, x, y) == RGB(255, 255, 255) ? 1 : 0;
    }
    ReleaseDC(control("first"), dc);
    EXPECT_EQ(white, 0);
}

TEST_F(RendererTest, FocusMovesByTheProgramAreNotTheUsers) {
    form.other.setFocus();
    EXPECT_EQ(GetFocus(), control("other"));
    form.box.setFocus();
    EXPECT_EQ(GetFocus(), control("box"));
    // The user is in the box; disabling it takes the keyboard away, which is no leaving by the
    // user.
    click(control("box"));
    pump();
    form.log.clear();
    form.box.setEnabled(false);
    form.other.setFocus();
    pump();
    EXPECT_TRUE(form.log.empty());
}

TEST_F(RendererTest, ToolTipsFollowTheModel) {
    auto tip = [this](const char* name) {
        wchar_t text[128] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = window->hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(control(name));
        tool.lpszText = text;
        SendMessageW(window->toolTips(), TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
        return std::wstring(text);
    };
    form.go.setToolTip("Back to main test selector.");
    EXPECT_EQ(tip("go"), L"Back to main test selector.");
    form.go.setToolTip("");
    EXPECT_EQ(tip("go"), L"");
}
