// The renderer tests' form, with a control of every kind the user acts on and every handler
// logging: each renderer's tests show it in a window of theirs.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "toolkit/application.h"

namespace support {

using namespace std::chrono_literals;
using Log = std::vector<std::string>;

class SampleForm : public toolkit::Form {
public:
    explicit SampleForm(toolkit::Application& app) : Form(app, "SampleForm") {
        setCaption("Sample Test");
        setSize(420, 300);
        heading.setGeometry(10, 8, 400, 28);
        go.setGeometry(300, 240, 100, 30);
        go.setCaption("<< Back");
        group.setGeometry(10, 44, 250, 110);
        first.setGeometry(10, 24, 200, 20);
        first.setCaption("Serial Port 1 (COM1)");
        second.setGeometry(10, 50, 200, 20);
        second.setCaption("Serial Port 2 (COM2)");
        note.setGeometry(10, 80, 120, 20);
        note.setTransparent(true);
        check.setGeometry(10, 164, 200, 20);
        check.setCaption("Report  Drawer Status");
        box.setGeometry(10, 194, 80, 24);
        other.setGeometry(100, 194, 80, 24);
        list.setGeometry(190, 194, 90, 24);
        logo.setGeometry(340, 50, 70, 70);
        logo.setPicture("logo");

        // Every click logs the control's name; the values tell the rest.
        for (toolkit::Control* control : controls())
            control->onClick = [this, control] { log.push_back(control->name()); };
        check.onClick = [this] { log.push_back(check.value() ? "check:on" : "check:off"); };
        list.onClick = [this] { log.push_back("list:" + list.text()); };
        box.onChange = [this] { log.push_back("box:" + box.text()); };
        box.onLostFocus = [this] { log.push_back("box:lost"); };
        ticker.onTimer = [this] { log.push_back("tick"); };
        onKeyPress = [this](const std::string& text) { log.push_back("key:" + text); };
        list.setItems({"9600", "4800", "2400"});
    }

    toolkit::Label heading{*this, "heading"};
    toolkit::CommandButton go{*this, "go"};
    toolkit::Frame group{*this, "group"};
    toolkit::OptionButton first{*this, "first", &group};
    toolkit::OptionButton second{*this, "second", &group};
    toolkit::Label note{*this, "note", &group};
    toolkit::CheckBox check{*this, "check"};
    toolkit::TextBox box{*this, "box"};
    toolkit::TextBox other{*this, "other"};
    toolkit::ComboBox list{*this, "list"};
    toolkit::Image logo{*this, "logo"};
    toolkit::Timer ticker{*this, "ticker", 5ms, false};
    toolkit::MenuItem mTests{*this, "mTests", "Tests"};
    toolkit::MenuItem mEpson{*this, "mEpson", "Epson ", &mTests};
    toolkit::MenuItem mEpsonSerial{*this, "mEpsonSerial", "Serial Interface", &mEpson};
    toolkit::MenuItem mMaple{*this, "mMaple", "Maple & Co", &mTests};
    toolkit::MenuItem mAbout{*this, "mAbout", "About"};

    Log log;
    // Unloading destroys the form and its log with it: a test that closes the form listens here.
    std::function<void()> onUnload;

protected:
    void unload() override {
        if (onUnload)
            onUnload();
    }
};

}  // namespace support
