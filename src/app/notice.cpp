#include "app/notice.h"

namespace app {

using namespace toolkit;

namespace {

const char* const kHeading = "Notice!  Please read...";

const char* const kFirstParagraph =
    "This software is offered as a test and demonstration program \"as is\", and by choosing "
    "<ACCEPT> you accept that neither Dunmere Cash Drawer Corporation nor its affiliates or "
    "employees claim that this software is suitable for any particular purpose.";

const char* const kSecondParagraph =
    "You understand that Dunmere Cash Drawer Corporation, its affiliates and its employees are "
    "not liable to you or to any third party for damages, losses, costs or expenses incurred by "
    "using this software.";

}  // namespace

Notice::Notice(Application& app, Program& program) : Form(app, "Notice"), m_program(program) {
    setCaption("Notice! Read before continuing...");
    setBackColor(colors::kRed);
    setSize(560, 370);

    message3.setGeometry(20, 16, 520, 36);
    message3.setFont(Font{"Arial", 18, true, false});
    message3.setForeColor(colors::kYellow);

    message1.setGeometry(30, 66, 500, 100);
    message1.setFont(Font{"Arial", 11.25, true, false});
    message1.setForeColor(colors::kYellow);
    message1.setWordWrap(true);

    message2.setGeometry(30, 186, 500, 80);
    message2.setFont(Font{"Arial", 11.25, true, false});
    message2.setWordWrap(true);

    for (Label* label : {&message3, &message1, &message2}) {
        label->setAlignment(Align::Center);
        label->setTransparent(true);
    }

    Accept.setCaption("Accept");
    Accept.setGeometry(110, 296, 150, 44);
    Accept.setFont(Font{"Arial", 15.75, true, false});
    Accept.onClick = [this] { Accept_Click(); };

    refuse.setCaption("Refuse");
    refuse.setToolTip("Exit");
    refuse.setGeometry(300, 296, 150, 44);
    refuse.setFont(Font{"Arial", 15.75, true, false});
    refuse.onClick = [this] { refuse_Click(); };
}

void Notice::load() {
    message1.setCaption(kFirstParagraph);
    message2.setCaption(kSecondParagraph);
    message3.setCaption(kHeading);
}

void Notice::Accept_Click() {
    m_program.showSelector();
    close();
}

void Notice::refuse_Click() {
    close();
    app().end();
}

}  // namespace app
