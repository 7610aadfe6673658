// A bare Qt 6 window of the size of a printer screen: the baseline the program's start-up time
// and memory are measured against.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare Qt window"));
    window.resize(600, 470);
    window.show();
    return app.exec();
}
