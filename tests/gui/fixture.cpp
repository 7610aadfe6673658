// The sample form's design properties and its logging handlers.
#include "fixture.h"

using namespace toolkit;

namespace guitest {

SampleForm::SampleForm(Application& app) : Form(app, "SampleForm") {
    setCaption("Sample Test");
    setSize(420, 300);

    heading.setGeometry(10, 8, 400, 28);
    heading.setCaption("Cash Drawer Sample");
    heading.setAlignment(Align::Center);
    heading.setForeColor(colors::kWhite);
    heading.setFont({"Arial", 15.75, true, false});

    go.setGeometry(300, 240, 100, 30);
    go.setCaption("<< Back");
    go.setToolTip("Back to main test selector.");
    go.setFont({"Arial", 9.75, true, false});

    group.setGeometry(10, 44, 250, 110);
    group.setCaption("Ports");
    group.setForeColor(colors::kWhite);
    first.setGeometry(10, 24, 200, 20);
    first.setCaption("Serial Port 1 (COM1)");
    first.setForeColor(colors::kWhite);
    second.setGeometry(10, 50, 200, 20);
    second.setCaption("Serial Port 2 (COM2)");
    note.setGeometry(10, 80, 120, 20);
    note.setCaption("Pick a port");
    note.setTransparent(true);
    note.setFont({"Arial", 8.25, false, true});

    check.setGeometry(10, 164, 200, 20);
    check.setCaption("Report  Drawer Status");
    box.setGeometry(10, 194, 80, 24);
    box.setBackColor(colors::kWhite);
    box.setAlignment(Align::Right);
    other.setGeometry(100, 194, 80, 24);
    other.setBackColor(colors::kWhite);
    list.setGeometry(190, 194, 90, 24);
    list.setBackColor(colors::kWhite);

    lamp.setGeometry(290, 60, 40, 40);
    lamp.setFillColor(colors::kGreen);
    logo.setGeometry(340, 50, 70, 70);
    logo.setPicture("logo");

    auto logged = [this](std::string entry) { return [this, entry] { log.push_back(entry); }; };
    heading.onClick = logged("heading");
    go.onClick = logged("go");
    group.onClick = logged("group");
    note.onClick = logged("note");
    first.onClick = logged("first");
    second.onClick = logged("second");
    logo.onClick = logged("logo");
    check.onClick = [this] { log.push_back(check.value() ? "check:on" : "check:off"); };
    box.onChange = [this] { log.push_back("box:" + box.text()); };
    box.onLostFocus = logged("box:lost");
    list.onClick = [this] { log.push_back("list:" + list.text()); };
    ticker.onTimer = logged("tick");
    mEpsonSerial.onClick = logged("mEpsonSerial");
    mAbout.onClick = logged("mAbout");
    onKeyPress = [this](const std::string& text) { log.push_back("key:" + text); };
}

void SampleForm::load() {
    list.setItems({"9600", "4800", "2400"});
}

}  // namespace guitest
