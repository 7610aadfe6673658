// The logo as a picture and as an icon engine, so that every size is drawn, not scaled, and
// drawn once.
#include "gui/logo_icon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <map>

#include "gui/logo.h"

namespace gui {

namespace {

// Every window asks for the icon at the same few sizes, some more than once: each size is
// painted the first time it is asked for and kept.
class LogoIconEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    // The default would paint onto an uninitialised pixmap: the corners must stay transparent.
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        auto drawn = m_drawn.find(side);
        if (drawn == m_drawn.end())
            drawn = m_drawn.emplace(side, QPixmap::fromImage(logoImage(side))).first;
        return drawn->second;
    }

    QIconEngine* clone() const override { return new LogoIconEngine(*this); }

private:
    std::map<int, QPixmap> m_drawn;
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
