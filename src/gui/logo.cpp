// The Dunmere logo: a cash drawer with its till pulled out, on a rounded navy tile.
#include "gui/logo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>

namespace gui {

namespace {

const QColor kNavy(0x14, 0x2C, 0x55);

// The open till seen from above: its back edge runs from x 20 to 80 at y 50, its front edge
// from 12 to 88 at y 66. Returns the point at fraction f across the till, at height y.
QPointF tillPoint(double f, double y) {
    const double spread = (y - 50.0) / 16.0 * 8.0;
    const double left = 20.0 - spread;
    const double right = 80.0 + spread;
    return {left + f * (right - left), y};
}

QPolygonF tillCell(double f0, double f1, double y0, double y1) {
    return QPolygonF({tillPoint(f0, y0), tillPoint(f1, y0), tillPoint(f1, y1), tillPoint(f0, y1)});
}

}  // namespace

void paintLogo(QPainter& painter, const QRectF& box) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 100 x 100 grid, stretched to the box like any picture.
    painter.translate(box.topLeft());
    painter.scale(box.width() / 100.0, box.height() / 100.0);
    painter.setPen(Qt::NoPen);

    QLinearGradient tile(0, 0, 0, 100);
    tile.setColorAt(0, QColor(0x2B, 0x55, 0x94));
    tile.setColorAt(1, kNavy);
    painter.setBrush(tile);
    painter.drawRoundedRect(QRectF(2, 2, 96, 96), 16, 16);

    // The cabinet, with the dark opening the till slides out of.
    painter.setBrush(QColor(0xE9, 0xEE, 0xF6));
    painter.drawRoundedRect(QRectF(16, 18, 68, 34), 4, 4);
    painter.setBrush(kNavy);
    painter.drawRect(QRectF(20, 47, 60, 3));
    // Its lock.
    painter.setBrush(QColor(0x9A, 0xA8, 0xBF));
    painter.drawEllipse(QPointF(74, 28), 4, 4);
    painter.setBrush(kNavy);
    painter.drawRoundedRect(QRectF(73.2, 25.6, 1.6, 4.8), 0.8, 0.8);

    // The till: notes in the four back compartments, coins in the front cups.
    painter.setBrush(QColor(0xC4, 0xCF, 0xE0));
    painter.drawPolygon(tillCell(0, 1, 50, 66));
    for (int i = 0; i < 4; ++i) {
        const double f0 = i / 4.0 + 0.025;
        const double f1 = (i + 1) / 4.0 - 0.025;
        painter.setBrush(QColor(0x3F, 0xB0, 0x5E));
        painter.drawPolygon(tillCell(f0, f1, 51, 57.5));
        painter.setBrush(QColor(0x2E, 0x8C, 0x49));
        painter.drawPolygon(tillCell(f0 + 0.08, f1 - 0.08, 53.2, 55.3));
        painter.setBrush(QColor(0xF2, 0xB6, 0x31));
        painter.drawEllipse(tillPoint((f0 + f1) / 2, 62), 3.6, 2.3);
    }
    painter.setPen(QPen(QColor(0x8A, 0x99, 0xB3), 1.0));
    for (int i = 1; i < 4; ++i)
        painter.drawLine(tillPoint(i / 4.0, 50), tillPoint(i / 4.0, 66));
    painter.drawLine(tillPoint(0, 58.5), tillPoint(1, 58.5));
    painter.setPen(Qt::NoPen);

    // Drawer front with its handle.
    QLinearGradient front(0, 66, 0, 84);
    front.setColorAt(0, QColor(0xF6, 0xC4, 0x4E));
    front.setColorAt(1, QColor(0xD9, 0x95, 0x12));
    painter.setBrush(front);
    painter.drawRoundedRect(QRectF(12, 66, 76, 18), 3, 3);
    painter.setBrush(kNavy);
    painter.drawRoundedRect(QRectF(40, 72.5, 20, 5), 2.5, 2.5);

    painter.restore();
}

}  // namespace gui
