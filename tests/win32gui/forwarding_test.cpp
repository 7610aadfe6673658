// What the user does to the windows reaches the model once, through its door.
#include <windows.h>
// After windows.h, which it builds on.
#include <oleacc.h>

#include <utility>

#include "fixture.h"
#include "win32gui/wide_text.h"

using namespace toolkit;
using win32test::Log;
using win32test::RendererTest;
using win32test::SampleForm;

namespace {

bool checked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

TEST_F(RendererTest, ClicksReachTheModelAndTheModelDecidesWhatTheyShow) {
    HWND first = control("first");
    HWND second = control("second");
    HWND check = control("check");
    click(control("go"));
    click(first);
    click(first);  // the selected option: its handler runs again
    click(second);
    pump();
    EXPECT_FALSE(checked(first));
    EXPECT_TRUE(checked(second));
    click(check);
    pump();
    EXPECT_TRUE(form.check.value() && checked(check));
    click(check);
    pump();
    EXPECT_FALSE(checked(check));
    // Arrow keys select the neighbouring option, round the group.
    key(second, VK_DOWN);
    key(first, VK_HOME);  // a key that is no arrow selects nothing
    pump();
    EXPECT_TRUE(form.first.value() && checked(first));
    EXPECT_EQ(GetFocus(), first);
    // Labels, the picture and a frame's bare area are clickable; a label in a frame is its own.
    for (const char* name : {"heading", "logo", "note"})
        click(control(name));
    click(control("group"), POINT{230, 90});
    click(control("group"), POINT{30, 34});  // on the option inside: not the frame's
    pump();
    EXPECT_EQ(form.log, (Log{"go", "first", "first", "second", "check:on", "check:off", "first",
                             "heading", "logo", "note", "group"}));

    // The arrows pass over an option the user cannot reach.
    form.first.setEnabled(false);
    form.second.setValue(true);
    form.log.clear();
    key(second, VK_UP);
    pump();
    EXPECT_TRUE(checked(second));
    EXPECT_TRUE(form.log.empty());

    // A handler that runs long keeps the window painted and shows the busy cursor until it ends.
    bool painted = false;
    bool busy = false;
    form.go.onClick = [&] {
        InvalidateRect(control("heading"), nullptr, TRUE);
        app.keepPainting();
        app.keepPainting();
        RECT dirty{};
        painted = !GetUpdateRect(control("heading"), &dirty, FALSE);
        busy = SendMessageW(control("go"), WM_SETCURSOR, reinterpret_cast<WPARAM>(control("go")),
                            MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)) == TRUE;
    };
    click(control("go"));
    pump();
    EXPECT_TRUE(painted && busy);
    EXPECT_FALSE(SendMessageW(control("go"), WM_SETCURSOR, reinterpret_cast<WPARAM>(control("go")),
                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
}

TEST_F(RendererTest, AnAccessibilityToolsActionReachesTheModelOnceAndItHearsTheModelsNames) {
    form.first.setAccessibleName("Serial Port 1 (COM1) option");
    const std::pair<const char*, LONG> controls[] = {{"first", ROLE_SYSTEM_RADIOBUTTON},
                                                     {"check", ROLE_SYSTEM_CHECKBUTTON},
                                                     {"note", ROLE_SYSTEM_STATICTEXT},
                                                     {"group", ROLE_SYSTEM_GROUPING}};
    for (const auto& [name, expectedRole] : controls) {
        IAccessible* accessible = nullptr;
        ASSERT_EQ(AccessibleObjectFromWindow(control(name), static_cast<DWORD>(OBJID_CLIENT),
                                             __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&accessible)),
                  S_OK)
            << name;
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR spoken = nullptr;
        ASSERT_EQ(accessible->get_accName(self, &spoken), S_OK);
        EXPECT_EQ(std::wstring(spoken), win32gui::widen(form.find(name)->accessibleName())) << name;
        SysFreeString(spoken);
        VARIANT role{};
        accessible->get_accRole(self, &role);
        EXPECT_EQ(role.lVal, expectedRole) << name;
        VARIANT state{};
        accessible->get_accState(self, &state);
        EXPECT_EQ(state.lVal & STATE_SYSTEM_CHECKED, 0) << name;
        if (std::string(name) == "first" || std::string(name) == "check") {
            BSTR action = nullptr;
            accessible->get_accDefaultAction(self, &action);
            EXPECT_EQ(std::wstring(action), std::string(name) == "first" ? L"Select" : L"Check");
            SysFreeString(action);
            accessible->accDoDefaultAction(self);
            pump();
            accessible->get_accState(self, &state);
            EXPECT_EQ(state.lVal & STATE_SYSTEM_CHECKED, STATE_SYSTEM_CHECKED) << name;
        }
        accessible->Release();
        pump();
    }
    EXPECT_EQ(form.log, (Log{"first", "check:on"}));
    EXPECT_TRUE(checked(control("first")) && checked(control("check")));
}

TEST_F(RendererTest, TypingIsOneChangePerKeyAndLeavingTheBoxRaisesLostFocus) {
    HWND box = control("box");
    click(box);
    type(box, "12");
    click(control("other"));
    pump();
    EXPECT_EQ(form.log, (Log{"key:1", "box:1", "key:2", "box:12", "box:lost"}));

    // A handler that corrects the text: the box shows the correction, typing goes on from it.
    click(box);
    pump();
    form.log.clear();
    form.box.onChange = [this] {
        form.log.push_back("box:" + form.box.text());
        if (form.box.text().size() > 3)
            form.box.setText(form.box.text().substr(0, 3));
    };
    type(box, "45");
    pump();
    EXPECT_EQ(win32test::windowText(box), L"124");
    key(box, VK_BACK);
    pump();
    EXPECT_EQ(form.log,
              (Log{"key:4", "box:124", "key:5", "box:1245", "box:124", "key:\b", "box:12"}));
}

TEST_F(RendererTest, AClickAfterALostFocusHandlerPulledTheFocusBackRaisesItOnce) {
    form.box.onLostFocus = [this] {
        form.log.push_back("box:lost");
        form.box.setFocus();
    };
    click(control("box"));
    pump();
    for (int round = 0; round < 2; ++round) {  // each pull is carried out, not just the first
        click(control("go"));
        pump();
        for (int wait = 0; wait < 50 && GetFocus() != control("box"); ++wait) {
            Sleep(10);
            pump();
        }
        EXPECT_EQ(GetFocus(), control("box"));
    }
    EXPECT_EQ(form.log, (Log{"box:lost", "go", "box:lost", "go"}));
    EXPECT_TRUE(form.box.hasFocus());
}

TEST_F(RendererTest, PickingAListEntryRunsItsHandlerEvenWhenItIsShownAlready) {
    HWND list = control("list");
    click(list);
    pump();
    SendMessageW(list, CB_SHOWDROPDOWN, FALSE, 0);
    form.log.clear();
    key(list, VK_DOWN);  // on the closed list
    pump();
    ASSERT_EQ(form.list.listIndex(), 0);
    // Choose the shown entry again from the open list.
    SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(list, &info));
    RECT entry{};
    SendMessageW(info.hwndList, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&entry));
    click(info.hwndList, POINT{(entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2});
    pump();
    EXPECT_EQ(form.log, (Log{"list:9600", "list:9600"}));
}

TEST_F(RendererTest, KeysMenusAndTheTitleBarReachTheModel) {
    click(control("box"));
    pump();
    form.log.clear();
    // Keys reach the form whichever control has them, besides their usual effect.
    key(control("box"), 'X');
    key(control("box"), VK_SHIFT);  // produces no character
    key(control("box"), VK_RETURN);
    pump();
    SendMessageW(window->hwnd(), WM_COMMAND, window->commandOf(form.mAbout), 0);
    SendMessageW(window->hwnd(), WM_COMMAND, window->commandOf(form.mEpsonSerial), 0);
    // A command beside the form's own, by its key and by the window's context menu.
    window->addCommand("Wire Log", VK_F12, [this] { form.log.push_back("F12"); });
    key(control("go"), VK_F12);
    pump();
    EXPECT_EQ(form.log, (Log{"key:x", "box:x", "key:\r", "mAbout", "mEpsonSerial", "F12"}));

    // Tab goes on to the next control, and the model hears of it; Enter and Escape on a button are
    // keys the form hears, no click (as in the Qt renderer's windows).
    click(control("go"));
    form.log.clear();
    key(control("go"), VK_TAB);
    ASSERT_NE(form.focused(), nullptr);
    EXPECT_NE(form.focused(), &form.go);
    EXPECT_EQ(GetFocus(), window->windowOf(*form.focused()));
    EXPECT_EQ(form.log, (Log{"key:\t"}));
    click(control("go"));
    form.log.clear();
    key(control("go"), VK_RETURN);
    key(control("go"), VK_ESCAPE);
    EXPECT_EQ(form.log, (Log{"key:\r", "key:\x1b"}));

    bool unloaded = false;
    form.onUnload = [&] { unloaded = true; };
    SendMessageW(window->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(unloaded);
    EXPECT_TRUE(app.ended());
    EXPECT_FALSE(IsWindowVisible(window->hwnd()));
}

TEST_F(RendererTest, AFormClosedByItsOwnControlLeavesSafely) {
    // As "<< Back" does: the next window opens and this one closes inside the click; then an
    // option whose click closes its form: the window must not look at it afterwards.
    SampleForm* next = nullptr;
    form.go.onClick = [&] {
        next = &app.open<SampleForm>();
        form.close();
    };
    HWND old = window->hwnd();
    click(control("go"));
    pump();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(app.forms(), (std::vector<Form*>{next}));
    EXPECT_FALSE(IsWindow(old));

    win32gui::FormWindow* nextWindow = win32gui::FormWindow::of(*next);
    HWND nextHwnd = nextWindow->hwnd();
    next->first.onClick = [&] {
        app.open<SampleForm>();
        next->close();
    };
    click(nextWindow->windowOf(next->first));
    pump();
    EXPECT_EQ(app.forms().size(), 1u);
    EXPECT_FALSE(IsWindow(nextHwnd));
}
