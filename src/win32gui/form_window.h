// The Windows window of one toolkit form. It mirrors every property of the form and its
// controls, and forwards through the model's door only what the user did: a change the
// program makes (a ticked box, a new text, a moved focus) is never reported back.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/application.h"

namespace win32gui {

class FormWindow final : public toolkit::FormObserver, public toolkit::ControlObserver {
public:
    // titleSuffix follows the form's caption in the title bar (" - Demo").
    FormWindow(toolkit::Form& form, const std::string& titleSuffix);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // Registers the window classes of forms and of the controls painted here.
    static void registerClasses();
    // The window of a form, found through the form's observer; none if it has no window.
    static FormWindow* of(const toolkit::Form& form);
    // The form window a window belongs to (itself or one of its controls), or none.
    static FormWindow* owning(HWND hwnd);

    HWND hwnd() const { return m_hwnd; }
    // The window of a control; none for timers and menu items.
    HWND windowOf(const toolkit::Control& control) const;
    // The command number a menu item sends.
    UINT commandOf(const toolkit::Control& item) const;
    HMENU menuBar() const { return m_menuBar; }
    // The window that shows the controls' tooltips.
    HWND toolTips() const { return m_toolTips; }

    // Stops mirroring and forwarding for good: the form is about to be destroyed. The window
    // itself goes later, by a posted message: it may be inside one of its controls' messages.
    void detach();
    bool attached() const { return m_form != nullptr; }

    // A command beside the form's own (the wire log): in the window's context menu, and run
    // by its function key (VK_F12).
    void addCommand(const std::string& caption, UINT key, std::function<void()> run);

    // Keys on their way to this window, before Windows' own handling: the keys the form hears,
    // shortcuts and the arrows in an option group. True when nothing more is to be done.
    bool preTranslate(const MSG& message);

    // While a handler runs long, every window shows the busy cursor.
    static void setBusy(bool busy) { s_busy = busy; }

private:
    struct Slot {
        FormWindow* window;
        toolkit::Control* control;
        HWND hwnd;
    };
    struct Command {
        std::string caption;
        UINT key;
        std::function<void()> run;
    };

    static LRESULT CALLBACK formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK paintedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR data);

    LRESULT formMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // What every control's window answers alike: the busy cursor, its accessible object.
    static std::optional<LRESULT> sharedMessage(const Slot& slot, UINT message, WPARAM wParam,
                                                LPARAM lParam);
    LRESULT paintedMessage(Slot& slot, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT controlMessage(Slot& slot, UINT message, WPARAM wParam, LPARAM lParam);
    // What the controls tell their parent, the form window or a frame: clicks, edits, picks,
    // colours, owner drawing. False for what is none of these.
    bool notification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void command(WPARAM wParam, LPARAM lParam);

    void formChanged(toolkit::Form& form, toolkit::Property property) override;
    void propertyChanged(toolkit::Control& control, toolkit::Property property) override;

    void addControl(toolkit::Control& control);
    void buildMenu();
    void mirrorTitle();
    void fixSize();
    void mirrorToolTip(const Slot& slot);
    void showCommands(LPARAM at);

    // Runs a user action through the door; false once the action has taken the form away.
    template <class Action>
    bool forward(Action&& action);
    // Puts the property back as the model has it, after the model had its say on an action.
    void resync(toolkit::Control& control, toolkit::Property property);
    void focusGained(Slot& slot);
    void focusLost(Slot& slot, HWND next);
    void focusFromModel();
    // The window was activated, or took the keyboard itself: it goes on to a control.
    void restoreFocus();
    void applyModelFocus();
    bool stepThroughOptions(toolkit::Control& option, WPARAM key);
    Slot* slotOf(HWND hwnd) const;
    Slot* slotOfId(UINT id) const;

    toolkit::Form* m_form;
    toolkit::Application& m_app;
    std::wstring m_titleSuffix;
    HWND m_hwnd = nullptr;
    HWND m_toolTips = nullptr;
    HMENU m_menuBar = nullptr;
    std::vector<std::unique_ptr<Slot>> m_slots;
    std::unordered_map<HWND, Slot*> m_byWindow;
    std::unordered_map<const toolkit::Control*, Slot*> m_byControl;
    std::vector<Command> m_commands;
    // Above zero while the window applies a change the program made: whatever Windows reports
    // meanwhile (focus moves above all) is not the user's doing.
    int m_programChange = 0;
    // Above zero while a focus move of the user's is being forwarded: a move the model asks
    // for meanwhile waits until Windows has finished this one.
    int m_focusEvents = 0;
    bool m_focusPending = false;
    HWND m_lastFocus = nullptr;
    HWND m_pressed = nullptr;  // the painted control the mouse went down on
    static bool s_busy;
};

}  // namespace win32gui
