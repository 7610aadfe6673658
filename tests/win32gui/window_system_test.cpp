// The window system's own duties: timers on the message queue, message boxes, the end of the
// message loop; the registry as the Ports dialog's store; and what is painted here.
#include "fixture.h"
#include "win32gui/logo_picture.h"
#include "win32gui/message_window.h"
#include "win32gui/painting.h"
#include "win32gui/registry_store.h"
#include "win32gui/wait_note.h"
#include "win32gui/wide_text.h"

using namespace toolkit;
using win32test::RendererTest;

TEST_F(RendererTest, ModelTimersTickOnTheMessageQueueUntilTheProgramEnds) {
    int ticks = 0;
    form.ticker.onTimer = [&] {
        if (++ticks == 3)
            app.end();
    };
    // Timers are started by handlers, as on every screen.
    form.go.onClick = [&] { form.ticker.setEnabled(true); };
    app.click(form.go);
    // Should the timers never fire, this ends the loop instead and the count tells.
    SetTimer(nullptr, 0, 10000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(1); });
    EXPECT_EQ(windows.run(), 0);
    EXPECT_EQ(ticks, 3);
    // Once the program is over, running does not wait for anything.
    EXPECT_EQ(windows.run(), 0);
}

TEST_F(RendererTest, AMessageBoxShowsWithoutHoldingUpTheHandlerAndEnterClosesIt) {
    app.showMessage("Drawer Test", "Port COM1 is not available.");
    HWND box = FindWindowW(win32gui::MessageWindow::kClass, nullptr);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(win32test::windowText(box), L"Drawer Test");
    EXPECT_EQ(win32test::windowText(GetDlgItem(box, 100)), L"Port COM1 is not available.");
    // Over the middle of the window it stands over, which takes no input meanwhile.
    RECT boxFrame{}, formFrame{};
    GetWindowRect(box, &boxFrame);
    GetWindowRect(window->hwnd(), &formFrame);
    EXPECT_NEAR(boxFrame.left + boxFrame.right, formFrame.left + formFrame.right, 2);
    EXPECT_NEAR(boxFrame.top + boxFrame.bottom, formFrame.top + formFrame.bottom, 2);
    EXPECT_FALSE(IsWindowEnabled(window->hwnd()));
    win32test::key(GetDlgItem(box, IDOK), VK_RETURN);
    pump();
    EXPECT_FALSE(IsWindow(box));
    EXPECT_TRUE(IsWindowEnabled(window->hwnd()));
}

TEST_F(RendererTest, AWaitShowsItsNoteOverTheWindowAndHearsItsButtonAlone) {
    std::vector<bool> answers;
    int clicks = 0;
    HWND note = nullptr;
    form.go.onClick = [&] {
        ++clicks;
        for (const int left : {8, 7, 6, 5}) {
            const std::string text =
                "\\\\.\\COM1 is still sending the last test (" + std::to_string(left) + " s left)";
            answers.push_back(app.keepWaiting(text, "Stop now"));
            note = FindWindowW(win32gui::WaitNote::kClass, nullptr);
            ASSERT_NE(note, nullptr);
            EXPECT_EQ(win32test::windowText(note), L"Still sending");
            EXPECT_EQ(win32test::windowText(GetDlgItem(note, win32gui::WaitNote::kTextId)),
                      win32gui::widen(text));
            // The window waits with the handler: a click on it is no second click.
            EXPECT_FALSE(IsWindowEnabled(window->hwnd()));
            if (left == 8) {
                win32test::shoot(note, "WaitNote");
                win32test::click(control("go"));
            }
            if (left == 7) {
                HWND stop = GetDlgItem(note, IDOK);
                EXPECT_EQ(win32test::windowText(stop), L"Stop now");
                win32test::click(stop);
            }
        }
    };
    click(control("go"));
    EXPECT_EQ(answers, (std::vector<bool>{false, false, true, true}));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(IsWindow(note)) << "the note goes when the handler ends";
    EXPECT_TRUE(IsWindowEnabled(window->hwnd()));
}

TEST(RegistryStore, KeepsAChoiceAsQtsSettingsDoAndForgetsItWhenEmpty) {
    const std::wstring key = L"Software\\drawertest\\tests\\ports";
    win32gui::RegistryStore store(key);
    EXPECT_EQ(store.save("COM1", "\\\\.\\COM7"), "");
    EXPECT_EQ(store.load("COM1"), "\\\\.\\COM7");
    wchar_t value[32] = {};
    DWORD bytes = sizeof(value);
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"COM1", RRF_RT_REG_SZ, nullptr, value,
                           &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(value), L"\\\\.\\COM7");
    EXPECT_EQ(store.save("COM1", ""), "");
    EXPECT_EQ(store.load("COM1"), "");
    EXPECT_EQ(store.save("LPT2", ""), "");  // nothing to forget is no failure
    EXPECT_EQ(store.load("LPT2"), "");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\drawertest\\tests");

    // A key the registry will not keep: the store says why, for the Ports dialog to tell.
    HKEY volatileKey = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\drawertest\\tests-volatile", 0, nullptr,
                        REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &volatileKey, nullptr),
        ERROR_SUCCESS);
    RegCloseKey(volatileKey);
    win32gui::RegistryStore unkept(L"Software\\drawertest\\tests-volatile\\ports");
    EXPECT_NE(unkept.save("COM1", "\\\\.\\COM7").find("tests-volatile\\ports cannot be written ("),
              std::string::npos);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\drawertest\\tests-volatile");
}

TEST(Painting, LampsTheLogoButtonsAndLabelsAreDrawnAsTheModelSays) {
    toolkit::VirtualClock clock;
    toolkit::Application app(clock);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 140, 140);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT lamp{0, 0, 24, 24};
    win32gui::paintLamp(dc, lamp, colors::kGreen, colors::kLightBlue);
    EXPECT_EQ(GetPixel(dc, 12, 12), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0x80, 0x80, 0xFF));  // the corner is background
    EXPECT_EQ(GetPixel(dc, 23, 23), RGB(0x80, 0x80, 0xFF));
    // Round about its middle: the same on each side.
    EXPECT_EQ(GetPixel(dc, 2, 8), GetPixel(dc, 21, 8));
    EXPECT_EQ(GetPixel(dc, 8, 2), GetPixel(dc, 8, 21));
    const COLORREF edge = GetPixel(dc, 12, 0);  // the ring, dark
    EXPECT_LT(GetRValue(edge) + GetGValue(edge), 0x80 + 0x80);

    const RECT logo{0, 0, 140, 140};
    win32gui::paintLogo(dc, logo, colors::kWhite);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));  // the tile's rounded corner
    const COLORREF tile = GetPixel(dc, 10, 70);         // the navy tile
    EXPECT_LT(GetRValue(tile), 0x60);
    EXPECT_GT(GetBValue(tile), GetRValue(tile));
    // Upright: the pale cabinet at the top, the golden drawer front at the bottom.
    const COLORREF cabinet = GetPixel(dc, 50, 40);
    const COLORREF front = GetPixel(dc, 30, 110);
    EXPECT_GT(GetRValue(cabinet), 0xD0);
    EXPECT_GT(GetBValue(cabinet), 0xD0);
    EXPECT_GT(GetRValue(front), 0xC0);
    EXPECT_LT(GetBValue(front), 0x80);

    // A command button in its own colour, lighter at the top; a label centred as it says.
    support::SampleForm form(app);
    const RECT button{0, 0, 100, 30};
    win32gui::paintButton(dc, button, form.go, false, false);
    const COLORREF top = GetPixel(dc, 50, 2);
    const COLORREF bottom = GetPixel(dc, 50, 27);
    EXPECT_NEAR(GetRValue(top), 0x80 + (0xFF - 0x80) * 0.7, 8);
    EXPECT_NEAR(GetRValue(bottom), 0x80 + (0xFF - 0x80) * 0.4, 8);
    EXPECT_NEAR(GetBValue(bottom), 0xFF, 8);
    form.heading.setCaption("x");
    form.heading.setAlignment(Align::Center);
    const RECT wide{0, 0, 140, 20};
    win32gui::paintLabel(dc, wide, form.heading);
    int firstInk = 140;
    for (int x = 0; x < 140 && firstInk == 140; ++x) {
        for (int y = 0; y < 20; ++y) {
            if (GetRValue(GetPixel(dc, x, y)) < 0x60)
                firstInk = x;
        }
    }
    EXPECT_GT(firstInk, 60);
    EXPECT_LT(firstInk, 75);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}
