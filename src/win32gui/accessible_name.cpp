// A thin IAccessible over Windows' standard one: every question goes through to it but the
// name, the role, a button's checked state and its default action, which are told here for
// every kind the same way, whatever Windows' own description of the class knows (Wine's knows
// no button).
#include "win32gui/accessible_name.h"

#include <oleacc.h>

#include <string>

#include "win32gui/wide_text.h"

namespace win32gui {

namespace {

bool isSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// What each kind is to an accessibility tool.
LONG roleOf(toolkit::ControlKind kind) {
    switch (kind) {
        case toolkit::ControlKind::Label:
            return ROLE_SYSTEM_STATICTEXT;
        case toolkit::ControlKind::Frame:
            return ROLE_SYSTEM_GROUPING;
        case toolkit::ControlKind::Shape:
        case toolkit::ControlKind::Image:
            return ROLE_SYSTEM_GRAPHIC;
        case toolkit::ControlKind::CommandButton:
            return ROLE_SYSTEM_PUSHBUTTON;
        case toolkit::ControlKind::OptionButton:
            return ROLE_SYSTEM_RADIOBUTTON;
        case toolkit::ControlKind::CheckBox:
            return ROLE_SYSTEM_CHECKBUTTON;
        case toolkit::ControlKind::TextBox:
            return ROLE_SYSTEM_TEXT;
        case toolkit::ControlKind::ComboBox:
            return ROLE_SYSTEM_COMBOBOX;
        default:
            return 0;
    }
}

// COM objects end by Release(), never by a delete through the interface, which has no virtual
// destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class NamedAccessible final : public IAccessible {
public:
    NamedAccessible(IAccessible* inner, HWND hwnd, std::wstring name, toolkit::ControlKind kind)
        : m_inner(inner), m_hwnd(hwnd), m_name(std::move(name)), m_kind(kind) {}
    NamedAccessible(const NamedAccessible&) = delete;
    NamedAccessible& operator=(const NamedAccessible&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(IDispatch)) ||
            IsEqualIID(riid, __uuidof(IAccessible))) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // The rest (the window behind it, the children's enumeration) is the standard one's.
        return m_inner->QueryInterface(riid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_references); }
    ULONG STDMETHODCALLTYPE Release() override {
        const long left = --m_references;
        if (left == 0) {
            m_inner->Release();
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return m_inner->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return m_inner->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return m_inner->GetIDsOfNames(riid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argument) override {
        return m_inner->Invoke(member, riid, locale, flags, parameters, result, exception,
                               argument);
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return m_inner->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return m_inner->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override {
        return m_inner->get_accChild(child, dispatch);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!isSelf(child))
            return m_inner->get_accName(child, name);
        if (name == nullptr)
            return E_POINTER;
        *name = SysAllocString(m_name.c_str());
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return m_inner->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return m_inner->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!isSelf(child) || roleOf(m_kind) == 0)
            return m_inner->get_accRole(child, role);
        if (role == nullptr)
            return E_POINTER;
        role->vt = VT_I4;
        role->lVal = roleOf(m_kind);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        const HRESULT result = m_inner->get_accState(child, state);
        if (SUCCEEDED(result) && isSelf(child) && state->vt == VT_I4 && isButton() &&
            SendMessageW(m_hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            state->lVal |= STATE_SYSTEM_CHECKED;
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return m_inner->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return m_inner->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return m_inner->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return m_inner->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return m_inner->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!isSelf(child) || !isButton())
            return m_inner->get_accDefaultAction(child, action);
        if (action == nullptr)
            return E_POINTER;
        *action = SysAllocString(m_kind == toolkit::ControlKind::CommandButton ? L"Press"
                                 : m_kind == toolkit::ControlKind::CheckBox    ? L"Check"
                                                                               : L"Select");
        return *action != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return m_inner->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return m_inner->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return m_inner->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override {
        return m_inner->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!isSelf(child) || !isButton())
            return m_inner->accDoDefaultAction(child);
        // A click, as the button's own description in Windows does it: the model hears it once.
        PostMessageW(m_hwnd, BM_CLICK, 0, 0);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return m_inner->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return m_inner->put_accValue(child, value);
    }

private:
    ~NamedAccessible() = default;
    bool isButton() const {
        return m_kind == toolkit::ControlKind::CommandButton ||
               m_kind == toolkit::ControlKind::OptionButton ||
               m_kind == toolkit::ControlKind::CheckBox;
    }

    IAccessible* m_inner;
    HWND m_hwnd;
    std::wstring m_name;
    toolkit::ControlKind m_kind;
    long m_references = 1;
};
#pragma GCC diagnostic pop

}  // namespace

LRESULT accessibleObject(HWND hwnd, WPARAM wParam, LPARAM lParam, const toolkit::Control& control) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT)
        return 0;
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&standard)))) {
        return 0;
    }
    auto* named =
        new NamedAccessible(standard, hwnd, widen(control.accessibleName()), control.kind());
    const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, named);
    named->Release();
    // A failure is an error code below zero: Windows then answers with its own object.
    return result > 0 ? result : 0;
}

}  // namespace win32gui
