// The base of every control a form owns: its name, its place (form and container), the
// properties screens set, and the observer through which a renderer mirrors each change.
#pragma once

#include <functional>
#include <string>

#include "toolkit/color.h"

namespace toolkit {

class Form;
class Control;

struct Font {
    std::string name = "Arial";
    double size = 8.25;
    bool bold = false;
    bool underline = false;
    friend bool operator==(const Font&, const Font&) = default;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

enum class Align { Left, Center, Right };

enum class ControlKind {
    Label,
    CommandButton,
    OptionButton,
    CheckBox,
    TextBox,
    ComboBox,
    Frame,
    Shape,
    Image,
    Timer,
    MenuItem,
};

enum class Property {
    Caption,
    ForeColor,
    BackColor,
    FillColor,
    Font,
    Enabled,
    Visible,
    ToolTip,
    Value,      // option button, check box
    Text,       // text box
    Items,      // drop-down list entries
    ListIndex,  // drop-down list selection
    Geometry,
    Alignment,
    WordWrap,
    Transparent,
    Picture,
    Focus,
};

class ControlObserver {
public:
    virtual ~ControlObserver() = default;
    virtual void propertyChanged(Control& control, Property property) = 0;
};

using Handler = std::function<void()>;

class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    const std::string& name() const { return m_name; }
    ControlKind kind() const { return m_kind; }
    Form& form() const { return m_form; }
    Control* container() const { return m_container; }

    const std::string& caption() const { return m_caption; }
    void setCaption(std::string caption);
    Color foreColor() const { return m_foreColor; }
    void setForeColor(Color color);
    Color backColor() const { return m_backColor; }
    void setBackColor(Color color);
    const Font& font() const { return m_font; }
    void setFont(Font font);
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    bool visible() const { return m_visible; }
    void setVisible(bool visible);
    const std::string& toolTip() const { return m_toolTip; }
    void setToolTip(std::string toolTip);
    Rect geometry() const { return m_geometry; }
    void setGeometry(Rect geometry);
    void setGeometry(int x, int y, int width, int height) {
        setGeometry(Rect{x, y, width, height});
    }
    Align alignment() const { return m_alignment; }
    void setAlignment(Align alignment);
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool wordWrap);
    // A transparent control shows its container's background instead of its own.
    bool transparent() const { return m_transparent; }
    void setTransparent(bool transparent);
    // The name under which accessibility tools find the control: its caption unless a
    // screen names it after the label beside it.
    const std::string& accessibleName() const;
    void setAccessibleName(std::string name);

    // Visible itself and inside every container.
    bool isShown() const;
    // Shown, and enabled itself and in every container: the user can reach it.
    bool isUsable() const;
    // Controls that take the keyboard focus when the user clicks or edits them.
    bool takesFocus() const;
    bool hasFocus() const;
    // Moves the focus here from the program. Unlike a move by the user this runs no
    // lost-focus handler, so two boxes that each pull the focus back cannot loop forever.
    void setFocus();

    // The control's event handlers; which of them a kind raises is told by its class.
    Handler onClick;
    Handler onChange;
    Handler onLostFocus;

    void setObserver(ControlObserver* observer) { m_observer = observer; }
    ControlObserver* observer() const { return m_observer; }

protected:
    Control(Form& form, ControlKind kind, std::string name, Control* container);

    void changed(Property property);
    static void run(const Handler& handler) {
        if (handler)
            handler();
    }

private:
    friend class Application;
    // What a click by the user does to this kind of control.
    virtual void userClick() { run(onClick); }
    virtual void enabledChanged() {}

    Form& m_form;
    ControlKind m_kind;
    std::string m_name;
    Control* m_container;
    std::string m_caption;
    Color m_foreColor = colors::kBlack;
    Color m_backColor = colors::kLightBlue;
    Font m_font;
    bool m_enabled = true;
    bool m_visible = true;
    std::string m_toolTip;
    Rect m_geometry;
    Align m_alignment = Align::Left;
    bool m_wordWrap = false;
    bool m_transparent = false;
    std::string m_accessibleName;
    ControlObserver* m_observer = nullptr;
};

}  // namespace toolkit
