// Building a form's window, mirroring the model's changes and forwarding the user's actions.
#include "win32gui/form_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "toolkit/controls.h"
#include "win32gui/accessible_name.h"
#include "win32gui/control_windows.h"
#include "win32gui/logo_picture.h"
#include "win32gui/painting.h"
#include "win32gui/wide_text.h"

namespace win32gui {

using toolkit::Control;
using toolkit::ControlKind;
using toolkit::Property;

bool FormWindow::s_busy = false;

namespace {

constexpr wchar_t kFormClass[] = L"DrawertestForm";
// Command numbers: the controls' from here on, in the form's order; the extra commands' apart.
constexpr UINT kFirstControlId = 100;
constexpr UINT kFirstCommandId = 0x7000;
// The focus the model asks for while Windows is moving it is put in place by this timer, which
// comes only once the queued input (the click that moved it) has been handled.
constexpr UINT_PTR kFocusTimer = 1;

// Counts a program change for as long as it is being applied.
class ProgramChange {
public:
    explicit ProgramChange(int& depth) : m_depth(depth) { ++m_depth; }
    ~ProgramChange() { --m_depth; }
    ProgramChange(const ProgramChange&) = delete;
    ProgramChange& operator=(const ProgramChange&) = delete;

private:
    int& m_depth;
};

// "F1" to "F24", as menu items name their shortcut; 0 for anything else.
UINT functionKey(const std::string& name) {
    if (name.size() < 2 || name[0] != 'F')
        return 0;
    int number = 0;
    for (char c : name.substr(1)) {
        if (c < '0' || c > '9')
            return 0;
        number = number * 10 + (c - '0');
    }
    return number >= 1 && number <= 24 ? static_cast<UINT>(VK_F1 + number - 1) : 0;
}

std::string keyName(UINT key) {
    return key >= VK_F1 && key <= VK_F24 ? "F" + std::to_string(key - VK_F1 + 1) : std::string();
}

bool isMenuItem(const Control& control) {
    return control.kind() == ControlKind::MenuItem;
}

}  // namespace

template <class Action>
bool FormWindow::forward(Action&& action) {
    if (!m_form)
        return false;
    action();
    // The action may have closed the form: then it is gone and this window detached.
    return m_form != nullptr;
}

void FormWindow::registerClasses() {
    WNDCLASSEXW form{};
    form.cbSize = sizeof(form);
    form.lpfnWndProc = formProc;
    form.hInstance = GetModuleHandleW(nullptr);
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.hIcon = logoIcon(true);
    form.hIconSm = logoIcon(false);
    form.lpszClassName = kFormClass;
    RegisterClassExW(&form);

    WNDCLASSEXW painted{};
    painted.cbSize = sizeof(painted);
    painted.lpfnWndProc = paintedProc;
    painted.hInstance = GetModuleHandleW(nullptr);
    painted.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    painted.lpszClassName = kPaintedClass;
    RegisterClassExW(&painted);
}

FormWindow::FormWindow(toolkit::Form& form, const std::string& titleSuffix)
    : m_form(&form), m_app(form.app()), m_titleSuffix(widen(titleSuffix)) {
    ProgramChange change(m_programChange);
    m_hwnd = CreateWindowExW(
        WS_EX_CONTROLPARENT, kFormClass, L"",
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, CW_USEDEFAULT,
        CW_USEDEFAULT, 100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    m_toolTips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    SendMessageW(m_toolTips, TTM_SETMAXTIPWIDTH, 0, 400);
    // Containers come before what they hold, so a control's container already has its window.
    for (Control* control : form.controls())
        addControl(*control);
    buildMenu();
    form.setObserver(this);
    mirrorTitle();
    fixSize();
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame{};
    GetWindowRect(m_hwnd, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(m_hwnd, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

FormWindow::~FormWindow() {
    detach();
    if (m_hwnd != nullptr) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
}

FormWindow* FormWindow::of(const toolkit::Form& form) {
    return dynamic_cast<FormWindow*>(form.observer());
}

FormWindow* FormWindow::owning(HWND hwnd) {
    HWND root = hwnd != nullptr ? GetAncestor(hwnd, GA_ROOT) : nullptr;
    if (root == nullptr)
        return nullptr;
    wchar_t name[32] = {};
    GetClassNameW(root, name, 32);
    if (std::wstring(name) != kFormClass)
        return nullptr;
    return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(root, GWLP_USERDATA));
}

HWND FormWindow::windowOf(const Control& control) const {
    auto found = m_byControl.find(&control);
    return found != m_byControl.end() ? found->second->hwnd : nullptr;
}

UINT FormWindow::commandOf(const Control& item) const {
    const auto& controls = item.form().controls();
    return kFirstControlId +
           static_cast<UINT>(std::find(controls.begin(), controls.end(), &item) - controls.begin());
}

void FormWindow::detach() {
    if (!m_form)
        return;
    // A form is shown once: this window is its observer and its controls'.
    m_form->setObserver(nullptr);
    for (Control* control : m_form->controls())
        control->setObserver(nullptr);
    for (auto& slot : m_slots)
        slot->control = nullptr;
    m_form = nullptr;
    KillTimer(m_hwnd, kFocusTimer);
}

void FormWindow::addCommand(const std::string& caption, UINT key, std::function<void()> run) {
    m_commands.push_back(Command{caption, key, std::move(run)});
}

// ---- building ----

void FormWindow::addControl(Control& control) {
    auto slot = std::make_unique<Slot>(Slot{this, &control, nullptr});
    if (isMenuItem(control)) {
        m_byControl[&control] = slot.get();
        m_slots.push_back(std::move(slot));
        control.setObserver(this);
        return;
    }
    auto container = m_byControl.find(control.container());
    HWND parent = container != m_byControl.end() ? container->second->hwnd : m_hwnd;
    HWND hwnd =
        createControlWindow(control, parent, static_cast<int>(commandOf(control)), slot.get());
    if (hwnd == nullptr)
        return;
    slot->hwnd = hwnd;
    if (control.kind() != ControlKind::Label && control.kind() != ControlKind::Frame &&
        control.kind() != ControlKind::Shape && control.kind() != ControlKind::Image) {
        SetWindowSubclass(hwnd, controlProc, 0, reinterpret_cast<DWORD_PTR>(slot.get()));
    }
    if (control.kind() == ControlKind::ComboBox) {
        // Its open list asks for its colours under its own window.
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        if (GetComboBoxInfo(hwnd, &info) && info.hwndList != nullptr)
            m_byWindow[info.hwndList] = slot.get();
    }
    m_byWindow[hwnd] = slot.get();
    m_byControl[&control] = slot.get();
    mirrorAllProperties(hwnd, control);
    mirrorToolTip(*slot);
    m_slots.push_back(std::move(slot));
    control.setObserver(this);
}

void FormWindow::buildMenu() {
    const auto& controls = m_form->controls();
    if (std::none_of(controls.begin(), controls.end(),
                     [](const Control* c) { return isMenuItem(*c); })) {
        return;
    }
    HMENU old = m_menuBar;
    m_menuBar = CreateMenu();
    std::unordered_map<const Control*, HMENU> menus;
    for (const Control* item : controls) {
        if (!isMenuItem(*item) || !item->isShown())
            continue;
        auto parent = menus.find(item->container());
        HMENU into = parent != menus.end() ? parent->second : m_menuBar;
        const bool opensMenu = std::any_of(controls.begin(), controls.end(), [&](const Control* c) {
            return isMenuItem(*c) && c->container() == item;
        });
        std::wstring text = literalCaption(item->caption());
        const std::string& shortcut = static_cast<const toolkit::MenuItem*>(item)->shortcut();
        if (!shortcut.empty())
            text += L"\t" + widen(shortcut);
        const UINT state = item->enabled() ? MF_ENABLED : MF_GRAYED;
        if (opensMenu) {
            HMENU menu = CreatePopupMenu();
            menus[item] = menu;
            AppendMenuW(into, MF_POPUP | MF_STRING | state, reinterpret_cast<UINT_PTR>(menu),
                        text.c_str());
        } else {
            AppendMenuW(into, MF_STRING | state, commandOf(*item), text.c_str());
        }
    }
    SetMenu(m_hwnd, m_menuBar);
    if (old != nullptr)
        DestroyMenu(old);
    DrawMenuBar(m_hwnd);
}

void FormWindow::mirrorTitle() {
    SetWindowTextW(m_hwnd, (widen(m_form->caption()) + m_titleSuffix).c_str());
}

void FormWindow::fixSize() {
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(m_hwnd, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE));
    RECT wanted{0, 0, m_form->width(), m_form->height()};
    AdjustWindowRectEx(&wanted, style, FALSE, exStyle);
    // The menu bar takes one row or more, as wide as the window is: the client area keeps the
    // form's height whatever it takes.
    int height = wanted.bottom - wanted.top;
    for (int round = 0; round < 2; ++round) {
        SetWindowPos(m_hwnd, nullptr, 0, 0, wanted.right - wanted.left, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client{};
        GetClientRect(m_hwnd, &client);
        height += m_form->height() - (client.bottom - client.top);
    }
}

void FormWindow::mirrorToolTip(const Slot& slot) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(slot.hwnd);
    SendMessageW(m_toolTips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (slot.control->toolTip().empty())
        return;
    std::wstring text = widen(slot.control->toolTip());
    tool.lpszText = text.data();
    SendMessageW(m_toolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// ---- the model's changes ----

void FormWindow::formChanged(toolkit::Form& /*form*/, Property property) {
    ProgramChange change(m_programChange);
    switch (property) {
        case Property::Caption:
            mirrorTitle();
            break;
        case Property::BackColor:
            RedrawWindow(m_hwnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
            break;
        case Property::Geometry:
            fixSize();
            break;
        default:
            break;
    }
}

void FormWindow::propertyChanged(Control& control, Property property) {
    if (property == Property::Focus) {
        focusFromModel();
        return;
    }
    ProgramChange change(m_programChange);
    if (isMenuItem(control)) {
        buildMenu();
        return;
    }
    auto found = m_byControl.find(&control);
    if (found == m_byControl.end())
        return;
    Slot& slot = *found->second;
    if (property == Property::ToolTip) {
        mirrorToolTip(slot);
    } else if (property == Property::Enabled && control.kind() == ControlKind::Frame) {
        // What a frame holds is greyed with it.
        for (auto& other : m_slots) {
            if (other->hwnd != nullptr)
                mirrorProperty(other->hwnd, *other->control, Property::Enabled);
        }
    } else {
        mirrorProperty(slot.hwnd, control, property);
    }
}

void FormWindow::resync(Control& control, Property property) {
    if (HWND hwnd = windowOf(control)) {
        ProgramChange change(m_programChange);
        mirrorProperty(hwnd, control, property);
    }
}

void FormWindow::focusFromModel() {
    if (m_focusEvents == 0) {
        applyModelFocus();
        return;
    }
    m_focusPending = true;
    SetTimer(m_hwnd, kFocusTimer, USER_TIMER_MINIMUM, nullptr);
}

void FormWindow::applyModelFocus() {
    HWND target = m_form->focused() ? windowOf(*m_form->focused()) : nullptr;
    if (target == nullptr || GetFocus() == target)
        return;
    ProgramChange change(m_programChange);
    SetFocus(target);
}

// ---- the user's actions ----

void FormWindow::restoreFocus() {
    if (!m_form || IsIconic(m_hwnd))
        return;
    // The keyboard goes where the model or the user last had it, else to the first control
    // that takes it, as a person tabbing into the window would.
    HWND target = m_form->focused() ? windowOf(*m_form->focused()) : nullptr;
    if (target == nullptr && m_lastFocus != nullptr && IsWindow(m_lastFocus))
        target = m_lastFocus;
    if (target == nullptr || !IsWindowEnabled(target) || !IsWindowVisible(target))
        target = GetNextDlgTabItem(m_hwnd, nullptr, FALSE);
    if (target != nullptr && target != GetFocus())
        SetFocus(target);
}

FormWindow::Slot* FormWindow::slotOf(HWND hwnd) const {
    auto found = m_byWindow.find(hwnd);
    return found != m_byWindow.end() ? found->second : nullptr;
}

FormWindow::Slot* FormWindow::slotOfId(UINT id) const {
    if (id < kFirstControlId || !m_form)
        return nullptr;
    const auto& controls = m_form->controls();
    const std::size_t index = id - kFirstControlId;
    if (index >= controls.size())
        return nullptr;
    auto found = m_byControl.find(controls[index]);
    return found != m_byControl.end() ? found->second : nullptr;
}

void FormWindow::command(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (lParam == 0 && id >= kFirstCommandId && id - kFirstCommandId < m_commands.size()) {
        // Run on a copy: the command may take this window away.
        const auto run = m_commands[id - kFirstCommandId].run;
        run();
        return;
    }
    Slot* slot = lParam != 0 ? slotOf(reinterpret_cast<HWND>(lParam)) : slotOfId(id);
    if (slot == nullptr || slot->control == nullptr || m_programChange > 0)
        return;
    Control& control = *slot->control;
    switch (control.kind()) {
        case ControlKind::MenuItem:
            if (lParam == 0)
                forward([&] { m_app.click(control); });
            break;
        case ControlKind::CommandButton:
            if (code == BN_CLICKED)
                forward([&] { m_app.click(control, toolkit::Focus::AlreadyMoved); });
            break;
        case ControlKind::OptionButton:
        case ControlKind::CheckBox:
            // These buttons never turn by themselves: the model decides what they show.
            if (code == BN_CLICKED &&
                forward([&] { m_app.click(control, toolkit::Focus::AlreadyMoved); })) {
                resync(control, Property::Value);
            }
            break;
        case ControlKind::TextBox:
            if (code == EN_CHANGE) {
                auto& box = static_cast<toolkit::TextBox&>(control);
                std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(slot->hwnd)) + 1,
                                  L'\0');
                text.resize(static_cast<std::size_t>(
                    GetWindowTextW(slot->hwnd, text.data(), static_cast<int>(text.size()))));
                if (forward([&] { m_app.edit(box, narrow(text), toolkit::Focus::AlreadyMoved); })) {
                    resync(box, Property::Text);
                }
            }
            break;
        case ControlKind::ComboBox: {
            // A pick from the open list (even of the entry shown), or an arrow key or the wheel
            // on the closed box: each ends the choice once. (A change of the selection is told
            // as well, but not always.)
            if (code == CBN_SELENDOK) {
                auto& list = static_cast<toolkit::ComboBox&>(control);
                const int index = static_cast<int>(SendMessageW(slot->hwnd, CB_GETCURSEL, 0, 0));
                if (forward([&] { m_app.pick(list, index, toolkit::Focus::AlreadyMoved); }))
                    resync(list, Property::ListIndex);
            }
            break;
        }
        default:
            break;
    }
}

bool FormWindow::notification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_COMMAND:
            command(wParam, lParam);
            result = 0;
            return true;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            Slot* slot = slotOf(item.hwndItem);
            if (slot == nullptr || slot->control == nullptr)
                return false;
            paintButton(item.hDC, item.rcItem, *slot->control, (item.itemState & ODS_SELECTED) != 0,
                        (item.itemState & ODS_FOCUS) != 0);
            result = TRUE;
            return true;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN: {
            Slot* slot = slotOf(reinterpret_cast<HWND>(lParam));
            if (slot == nullptr || slot->control == nullptr)
                return false;
            const Control& control = *slot->control;
            auto dc = reinterpret_cast<HDC>(wParam);
            const toolkit::Color back = backgroundOf(control);
            SetTextColor(
                dc, colorRef(enabledThroughout(control) ? control.foreColor() : kDisabledText));
            SetBkColor(dc, colorRef(back));
            result = reinterpret_cast<LRESULT>(brushFor(back));
            return true;
        }
        default:
            return false;
    }
}

void FormWindow::focusGained(Slot& slot) {
    if (m_programChange > 0 || slot.control == nullptr || !slot.control->takesFocus())
        return;
    ++m_focusEvents;
    // While a focus move the program asked for is pending (a lost-focus handler pulling the
    // focus back), the window Windows is giving the focus to is about to lose it again.
    if (!m_focusPending)
        forward([&] { m_app.focus(*slot.control); });
    --m_focusEvents;
}

void FormWindow::focusLost(Slot& slot, HWND next) {
    if (m_programChange > 0 || slot.control == nullptr ||
        slot.control->kind() != ControlKind::TextBox) {
        return;
    }
    // Another window (a message box, the wire log, another program) taking the keyboard is no
    // move within the form.
    // The form window itself takes it only on its way to a control, as it is activated.
    if (next == nullptr || !IsChild(m_hwnd, next))
        return;
    ++m_focusEvents;
    forward([&] { m_app.leave(*slot.control); });
    --m_focusEvents;
}

// The arrow keys move to the next option button of the same container and select it, as the
// classic toolkit does.
bool FormWindow::stepThroughOptions(Control& option, WPARAM key) {
    int step = 0;
    if (key == VK_DOWN || key == VK_RIGHT)
        step = 1;
    if (key == VK_UP || key == VK_LEFT)
        step = -1;
    if (step == 0 || (GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000) ||
        (GetKeyState(VK_SHIFT) & 0x8000)) {
        return false;
    }
    std::vector<Control*> group;
    for (Control* c : m_form->controls()) {
        if (c->kind() == ControlKind::OptionButton && c->container() == option.container() &&
            (c == &option || c->isUsable())) {
            group.push_back(c);
        }
    }
    const auto at = std::find(group.begin(), group.end(), &option) - group.begin();
    const auto size = static_cast<std::ptrdiff_t>(group.size());
    Control& next = *group[static_cast<std::size_t>((at + step + size) % size)];
    if (&next == &option)
        return true;
    // The focus move is the user's, and reaches the model as such.
    SetFocus(windowOf(next));
    if (forward([&] { m_app.click(next, toolkit::Focus::AlreadyMoved); }))
        resync(next, Property::Value);
    return true;
}

bool FormWindow::preTranslate(const MSG& message) {
    if (!m_form)
        return false;
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
        const auto key = static_cast<UINT>(message.wParam);
        for (Control* control : m_form->controls()) {
            if (isMenuItem(*control) &&
                functionKey(static_cast<toolkit::MenuItem*>(control)->shortcut()) == key &&
                key != 0) {
                forward([&] { m_app.click(*control); });
                return true;
            }
        }
        for (const Command& command : m_commands) {
            if (command.key == key) {
                const auto run = command.run;
                run();
                return true;
            }
        }
        if (message.message == WM_SYSKEYDOWN)
            return false;
        Slot* slot = slotOf(message.hwnd);
        if (slot && slot->control && slot->control->kind() == ControlKind::OptionButton &&
            stepThroughOptions(*slot->control, message.wParam)) {
            return true;
        }
        // The keys whose characters Windows' keyboard navigation takes before they become one:
        // the form hears them all the same.
        const char* text = key == VK_RETURN   ? "\r"
                           : key == VK_ESCAPE ? "\x1b"
                           : key == VK_TAB    ? "\t"
                                              : nullptr;
        if (text != nullptr)
            forward([&] { m_app.pressKey(*m_form, text); });
        return false;
    }
    if (message.message == WM_CHAR) {
        const auto c = static_cast<wchar_t>(message.wParam);
        if (c != L'\r' && c != L'\x1b' && c != L'\t')
            forward([&] { m_app.pressKey(*m_form, narrow(std::wstring(1, c))); });
    }
    return false;
}

void FormWindow::showCommands(LPARAM at) {
    if (m_commands.empty())
        return;
    POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (at == -1) {
        RECT client{};
        GetClientRect(m_hwnd, &client);
        point = {client.right / 2, client.bottom / 2};
        ClientToScreen(m_hwnd, &point);
    }
    HMENU menu = CreatePopupMenu();
    for (std::size_t i = 0; i < m_commands.size(); ++i) {
        std::wstring text = widen(m_commands[i].caption);
        const std::string key = keyName(m_commands[i].key);
        if (!key.empty())
            text += L"\t" + widen(key);
        AppendMenuW(menu, MF_STRING, kFirstCommandId + i, text.c_str());
    }
    const auto chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                                         point.x, point.y, 0, m_hwnd, nullptr));
    DestroyMenu(menu);
    if (chosen != 0)
        command(chosen, 0);
}

// ---- window procedures ----

LRESULT CALLBACK FormWindow::formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* window =
            static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return window->formMessage(message, wParam, lParam);
}

LRESULT FormWindow::formMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (notification(message, wParam, lParam, result))
        return result;
    switch (message) {
        case WM_ERASEBKGND: {
            if (!m_form)
                return 1;
            RECT client{};
            GetClientRect(m_hwnd, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, brushFor(m_form->backColor()));
            return 1;
        }
        case WM_CLOSE:
            // The model decides: closing the form destroys it, and with it this window.
            forward([&] { m_app.closeWindow(*m_form); });
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(m_hwnd, focus))
                    m_lastFocus = focus;
                return 0;
            }
            restoreFocus();
            return 0;
        case WM_SETFOCUS:
            restoreFocus();
            return 0;
        case WM_GETMINMAXINFO:
            // The form's size, however small: Windows would keep room for the title bar's
            // buttons.
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {1, 1};
            return 0;
        case WM_TIMER:
            if (wParam == kFocusTimer) {
                KillTimer(m_hwnd, kFocusTimer);
                m_focusPending = false;
                if (m_form)
                    applyModelFocus();
                return 0;
            }
            break;
        case WM_CONTEXTMENU:
            showCommands(lParam);
            return 0;
        case WM_SETCURSOR:
            if (s_busy) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case WM_GETOBJECT:
            break;
        default:
            break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::paintedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* slot = reinterpret_cast<Slot*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (slot == nullptr || slot->window == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return slot->window->paintedMessage(*slot, message, wParam, lParam);
}

std::optional<LRESULT> FormWindow::sharedMessage(const Slot& slot, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    if (message == WM_SETCURSOR && s_busy) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
    }
    if (message == WM_GETOBJECT && slot.control != nullptr) {
        if (LRESULT object = accessibleObject(slot.hwnd, wParam, lParam, *slot.control))
            return object;
    }
    return std::nullopt;
}

LRESULT FormWindow::paintedMessage(Slot& slot, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const std::optional<LRESULT> answer = sharedMessage(slot, message, wParam, lParam))
        return *answer;
    LRESULT result = 0;
    if (notification(message, wParam, lParam, result))
        return result;
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(slot.hwnd, &paint);
            if (slot.control != nullptr) {
                RECT client{};
                GetClientRect(slot.hwnd, &client);
                paintControl(dc, client, *slot.control);
            }
            EndPaint(slot.hwnd, &paint);
            return 0;
        }
        case WM_LBUTTONDOWN:
            m_pressed = slot.hwnd;
            SetCapture(slot.hwnd);
            return 0;
        case WM_LBUTTONUP: {
            const bool pressedHere = m_pressed == slot.hwnd;
            m_pressed = nullptr;
            if (GetCapture() == slot.hwnd)
                ReleaseCapture();
            RECT client{};
            GetClientRect(slot.hwnd, &client);
            const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            // A frame hears the clicks on its bare area only.
            const bool ownArea =
                slot.control != nullptr &&
                (slot.control->kind() != ControlKind::Frame ||
                 ChildWindowFromPointEx(slot.hwnd, at, CWP_SKIPINVISIBLE) == slot.hwnd);
            if (pressedHere && PtInRect(&client, at) && ownArea)
                forward([&] { m_app.click(*slot.control); });
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(slot.hwnd, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR /*id*/, DWORD_PTR data) {
    auto* slot = reinterpret_cast<Slot*>(data);
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, controlProc, 0);
    if (slot == nullptr || slot->window == nullptr)
        return DefSubclassProc(hwnd, message, wParam, lParam);
    return slot->window->controlMessage(*slot, message, wParam, lParam);
}

LRESULT FormWindow::controlMessage(Slot& slot, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const std::optional<LRESULT> answer = sharedMessage(slot, message, wParam, lParam))
        return *answer;
    switch (message) {
        case WM_SETFOCUS: {
            const LRESULT result = DefSubclassProc(slot.hwnd, message, wParam, lParam);
            focusGained(slot);
            return result;
        }
        case WM_KILLFOCUS: {
            const LRESULT result = DefSubclassProc(slot.hwnd, message, wParam, lParam);
            focusLost(slot, reinterpret_cast<HWND>(wParam));
            return result;
        }
        default:
            break;
    }
    return DefSubclassProc(slot.hwnd, message, wParam, lParam);
}

}  // namespace win32gui
