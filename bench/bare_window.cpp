// The baselines the program's start-up time and memory are measured against: a bare Qt 6 window
// of the size of a printer screen, or with the argument "label" the same window showing one
// label of text (which loads the fonts and text layout that any window with words needs).
#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool label = argc > 1 && std::strcmp(argv[1], "label") == 0;
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare Qt window"));
    window.resize(600, 470);
    if (label) {
        auto* text = new QLabel(QStringLiteral("Dunmere Cash Drawer Test Utility"), &window);
        text->setFont(QFont(QStringLiteral("Arial"), 12, QFont::Bold));
        text->setGeometry(20, 20, 560, 30);
    }
    window.show();
    return app.exec();
}
