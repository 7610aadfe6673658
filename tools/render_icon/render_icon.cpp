// Build tool: draws the logo into one PNG icon of the desktop entry.
// Usage: render_icon SIZE FILE
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QString>
#include <cstdio>

#include "gui/logo_icon.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: render_icon SIZE FILE\n");
        return 2;
    }
    bool isNumber = false;
    const int size = QString::fromLocal8Bit(argv[1]).toInt(&isNumber);
    if (!isNumber || size < 1 || size > 4096) {
        std::fprintf(stderr, "render_icon: size must be 1 to 4096 pixels, not '%s'\n", argv[1]);
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[2]);
    // A missing folder or a full disk must fail the build, not leave an icon out of the package.
    if (!QDir().mkpath(QFileInfo(file).absolutePath()) || !gui::logoImage(size).save(file, "PNG")) {
        std::fprintf(stderr, "render_icon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
