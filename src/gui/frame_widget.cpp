// Painting the frame. Fusion's own group box shades its inside, which would make a white frame
// on a white window look grey behind white labels.
#include "gui/frame_widget.h"

#include <qdrawutil.h>
#include <QPainter>
#include <QStyle>

namespace gui {

void FrameWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const QString caption = title();
    QRect captionRect;
    if (!caption.isEmpty()) {
        const int width = metrics.horizontalAdvance(caption) + 4;
        captionRect = QRect(6, 0, std::min(width, this->width() - 12), metrics.height());
    }
    // The border runs through the middle of the caption line and breaks for the caption.
    const QRect border = rect().adjusted(0, metrics.height() / 2, 0, 0);
    painter.save();
    painter.setClipRegion(QRegion(rect()).subtracted(captionRect));
    qDrawShadeRect(&painter, border, palette(), true, 1, 0);
    painter.restore();
    if (!caption.isEmpty()) {
        style()->drawItemText(&painter, captionRect, Qt::AlignCenter | Qt::TextShowMnemonic,
                              palette(), isEnabled(), caption, QPalette::WindowText);
    }
}

}  // namespace gui
