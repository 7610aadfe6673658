// Build tool: draws the logo into one PNG icon of the desktop entry, or into the Windows icon
// of drawertest.exe with every size Windows asks for.
// Usage: render_icon SIZE FILE
//        render_icon ico FILE
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QString>
#include <cstdio>

#include "gui/logo_icon.h"

namespace {

void putLe(QByteArray& out, quint32 value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// An .ico of 32-bit pictures with their alpha, each a bitmap as the icon format has it: the
// rows bottom up, then an all-clear mask (the alpha says what shows).
QByteArray icoFile() {
    const int sizes[] = {16, 24, 32, 48, 64, 128, 256};
    const int count = static_cast<int>(std::size(sizes));
    QByteArray header;
    QByteArray pictures;
    putLe(header, 0, 2);
    putLe(header, 1, 2);  // an icon
    putLe(header, static_cast<quint32>(count), 2);
    int offset = 6 + 16 * count;
    for (int size : sizes) {
        const QImage image = gui::logoImage(size).convertToFormat(QImage::Format_ARGB32);
        const int maskRow = ((size + 31) / 32) * 4;
        QByteArray picture;
        putLe(picture, 40, 4);
        putLe(picture, static_cast<quint32>(size), 4);
        putLe(picture, static_cast<quint32>(size * 2), 4);  // the colours and the mask
        putLe(picture, 1, 2);
        putLe(picture, 32, 2);
        putLe(picture, 0, 4);
        putLe(picture, static_cast<quint32>(size * size * 4 + maskRow * size), 4);
        putLe(picture, 0, 16);
        for (int y = size - 1; y >= 0; --y) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < size; ++x)
                putLe(picture, row[x], 4);  // B, G, R, A in memory order
        }
        picture.append(QByteArray(maskRow * size, '\0'));
        putLe(header, static_cast<quint32>(size & 0xFF), 1);  // 256 is written as 0
        putLe(header, static_cast<quint32>(size & 0xFF), 1);
        putLe(header, 0, 2);
        putLe(header, 1, 2);
        putLe(header, 32, 2);
        putLe(header, static_cast<quint32>(picture.size()), 4);
        putLe(header, static_cast<quint32>(offset), 4);
        offset += static_cast<int>(picture.size());
        pictures.append(picture);
    }
    return header + pictures;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: render_icon SIZE FILE\n       render_icon ico FILE\n");
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[2]);
    // A missing folder or a full disk must fail the build, not leave an icon out.
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
        std::fprintf(stderr, "render_icon: cannot write %s\n", argv[2]);
        return 1;
    }
    if (QString::fromLocal8Bit(argv[1]) == QLatin1String("ico")) {
        QFile out(file);
        const QByteArray ico = icoFile();
        if (!out.open(QIODevice::WriteOnly) || out.write(ico) != ico.size() || !out.flush()) {
            std::fprintf(stderr, "render_icon: cannot write %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    bool isNumber = false;
    const int size = QString::fromLocal8Bit(argv[1]).toInt(&isNumber);
    if (!isNumber || size < 1 || size > 4096) {
        std::fprintf(stderr, "render_icon: size must be 1 to 4096 pixels, not '%s'\n", argv[1]);
        return 2;
    }
    if (!gui::logoImage(size).save(file, "PNG")) {
        std::fprintf(stderr, "render_icon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
