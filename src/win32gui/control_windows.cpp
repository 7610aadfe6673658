#include "win32gui/control_windows.h"

#include <commctrl.h>

#include <algorithm>

#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "win32gui/logo_picture.h"
#include "win32gui/painting.h"
#include "win32gui/wide_text.h"

namespace win32gui {

using toolkit::ControlKind;
using toolkit::Property;

namespace {

// A drop-down list's window reaches below its box by its open list.
constexpr int kListHeight = 200;

DWORD editAlignment(toolkit::Align align) {
    switch (align) {
        case toolkit::Align::Center:
            return ES_CENTER;
        case toolkit::Align::Right:
            return ES_RIGHT;
        case toolkit::Align::Left:
            break;
    }
    return ES_LEFT;
}

std::wstring windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void mirrorCaption(HWND hwnd, const toolkit::Control& control) {
    switch (control.kind()) {
        case ControlKind::OptionButton:
        case ControlKind::CheckBox:
            SetWindowTextW(hwnd, literalCaption(control.caption()).c_str());
            break;
        case ControlKind::Label:
        case ControlKind::CommandButton:
        case ControlKind::Frame:
            // Painted here from the model's caption; the window text is what Windows tells of
            // the window elsewhere (in a list of windows, say).
            SetWindowTextW(hwnd, widen(control.caption()).c_str());
            InvalidateRect(hwnd, nullptr, TRUE);
            break;
        default:
            break;
    }
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
}

void mirrorGeometry(HWND hwnd, const toolkit::Control& control) {
    const toolkit::Rect r = control.geometry();
    if (control.kind() == ControlKind::ComboBox) {
        MoveWindow(hwnd, r.x, r.y, r.width, r.height + kListHeight, TRUE);
        // The closed box is as high as the control: its selection field, and a border of 3
        // pixels above and below.
        SendMessageW(hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), std::max(r.height - 6, 1));
        return;
    }
    MoveWindow(hwnd, r.x, r.y, r.width, r.height, TRUE);
}

void mirrorItems(HWND hwnd, const toolkit::ComboBox& list) {
    SendMessageW(hwnd, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : list.items()) {
        const std::wstring text = widen(item);
        SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(list.listIndex()), 0);
}

}  // namespace

std::wstring literalCaption(const std::string& caption) {
    std::wstring literal;
    for (wchar_t c : widen(caption)) {
        literal += c;
        if (c == L'&')
            literal += L'&';
    }
    return literal;
}

HWND createControlWindow(const toolkit::Control& control, HWND parent, int id, void* data) {
    const wchar_t* windowClass = kPaintedClass;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    switch (control.kind()) {
        case ControlKind::Label:
        case ControlKind::Shape:
        case ControlKind::Image:
            break;
        case ControlKind::Frame:
            // Tab and the arrow keys reach into it.
            exStyle = WS_EX_CONTROLPARENT;
            style |= WS_CLIPCHILDREN;
            break;
        case ControlKind::CommandButton:
            windowClass = WC_BUTTONW;
            style |= BS_OWNERDRAW | WS_TABSTOP;
            break;
        case ControlKind::OptionButton:
            windowClass = WC_BUTTONW;
            style |= BS_RADIOBUTTON | WS_TABSTOP;
            break;
        case ControlKind::CheckBox:
            windowClass = WC_BUTTONW;
            style |= BS_CHECKBOX | WS_TABSTOP;
            break;
        case ControlKind::TextBox:
            windowClass = WC_EDITW;
            style |= ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | editAlignment(control.alignment());
            break;
        case ControlKind::ComboBox:
            windowClass = WC_COMBOBOXW;
            style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
            break;
        case ControlKind::Timer:
        case ControlKind::MenuItem:
            return nullptr;
    }
    HWND hwnd = CreateWindowExW(exStyle, windowClass, L"", style, 0, 0, 0, 0, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
    return hwnd;
}

void paintControl(HDC dc, const RECT& rect, const toolkit::Control& control) {
    switch (control.kind()) {
        case ControlKind::Label:
            paintLabel(dc, rect, control);
            break;
        case ControlKind::Frame:
            paintFrame(dc, rect, control);
            break;
        case ControlKind::Shape: {
            const toolkit::Control* container = control.container();
            paintLamp(dc, rect, static_cast<const toolkit::Shape&>(control).fillColor(),
                      container ? backgroundOf(*container) : control.form().backColor());
            break;
        }
        case ControlKind::Image: {
            const toolkit::Control* container = control.container();
            const toolkit::Color background =
                container ? backgroundOf(*container) : control.form().backColor();
            FillRect(dc, &rect, brushFor(background));
            if (static_cast<const toolkit::Image&>(control).picture() == "logo")
                paintLogo(dc, rect, background);
            break;
        }
        default:
            break;
    }
}

void mirrorProperty(HWND hwnd, const toolkit::Control& control, Property property) {
    switch (property) {
        case Property::Caption:
            mirrorCaption(hwnd, control);
            break;
        case Property::ForeColor:
        case Property::BackColor:
        case Property::Transparent:
        case Property::FillColor:
        case Property::WordWrap:
        case Property::Picture:
            InvalidateRect(hwnd, nullptr, TRUE);
            break;
        case Property::Font:
            SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(control.font())), TRUE);
            if (control.kind() == ControlKind::ComboBox)
                mirrorGeometry(hwnd, control);
            break;
        case Property::Enabled:
            // Windows greys no child of a disabled window: each control follows its containers.
            EnableWindow(hwnd, enabledThroughout(control) ? TRUE : FALSE);
            InvalidateRect(hwnd, nullptr, TRUE);
            break;
        case Property::Visible:
            ShowWindow(hwnd, control.visible() ? SW_SHOWNA : SW_HIDE);
            break;
        case Property::Value:
            if (control.kind() == ControlKind::OptionButton) {
                SendMessageW(hwnd, BM_SETCHECK,
                             static_cast<const toolkit::OptionButton&>(control).value()
                                 ? BST_CHECKED
                                 : BST_UNCHECKED,
                             0);
            } else if (control.kind() == ControlKind::CheckBox) {
                SendMessageW(hwnd, BM_SETCHECK,
                             static_cast<const toolkit::CheckBox&>(control).value() ? BST_CHECKED
                                                                                    : BST_UNCHECKED,
                             0);
            }
            break;
        case Property::Text:
            if (control.kind() == ControlKind::TextBox) {
                const std::wstring text =
                    widen(static_cast<const toolkit::TextBox&>(control).text());
                // Setting the same text again would move the caret of a box being typed in.
                if (windowText(hwnd) != text) {
                    SetWindowTextW(hwnd, text.c_str());
                    // Typing goes on at the end of a corrected text. (Only in the box being
                    // typed in: a centred box scrolled to its end would hide its first
                    // characters.)
                    if (GetFocus() == hwnd) {
                        const auto end = static_cast<WPARAM>(text.size());
                        SendMessageW(hwnd, EM_SETSEL, end, static_cast<LPARAM>(end));
                    }
                }
            }
            break;
        case Property::Items:
            if (control.kind() == ControlKind::ComboBox)
                mirrorItems(hwnd, static_cast<const toolkit::ComboBox&>(control));
            break;
        case Property::ListIndex:
            if (control.kind() == ControlKind::ComboBox) {
                SendMessageW(
                    hwnd, CB_SETCURSEL,
                    static_cast<WPARAM>(static_cast<const toolkit::ComboBox&>(control).listIndex()),
                    0);
            }
            break;
        case Property::Geometry:
            mirrorGeometry(hwnd, control);
            break;
        case Property::Alignment:
            if (control.kind() == ControlKind::TextBox) {
                const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
                SetWindowLongPtrW(hwnd, GWL_STYLE,
                                  (style & ~static_cast<LONG_PTR>(ES_CENTER | ES_RIGHT)) |
                                      static_cast<LONG_PTR>(editAlignment(control.alignment())));
            }
            InvalidateRect(hwnd, nullptr, TRUE);
            break;
        case Property::ToolTip:
        case Property::Focus:
            break;
    }
}

void mirrorAllProperties(HWND hwnd, const toolkit::Control& control) {
    for (Property property : {Property::Font, Property::Caption, Property::Enabled,
                              Property::Visible, Property::Value, Property::Text, Property::Items,
                              Property::ListIndex, Property::Geometry, Property::Alignment}) {
        mirrorProperty(hwnd, control, property);
    }
}

}  // namespace win32gui
