// The logo as a picture and as an icon engine, so that every size is drawn, not scaled.
#include "gui/logo_icon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

#include "gui/logo.h"

namespace gui {

namespace {

class LogoIconEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        paintLogo(*painter, QRectF(rect));
    }

    // The default would paint onto an uninitialised pixmap: the corners must stay transparent.
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        return QPixmap::fromImage(logoImage(std::min(size.width(), size.height())));
    }

    QIconEngine* clone() const override { return new LogoIconEngine; }
};

}  // namespace

QImage logoImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintLogo(painter, QRectF(0, 0, size, size));
    return image;
}

QIcon logoIcon() {
    return QIcon(new LogoIconEngine);
}

}  // namespace gui
