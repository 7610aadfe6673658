// Painting the named pictures.
#include "gui/picture_widget.h"

#include <QPainter>

#include "gui/logo.h"

namespace gui {

void PictureWidget::setPicture(const QString& picture) {
    if (picture == m_picture)
        return;
    m_picture = picture;
    update();
}

void PictureWidget::paintEvent(QPaintEvent*) {
    if (m_picture == QLatin1String("logo")) {
        QPainter painter(this);
        paintLogo(painter, QRectF(rect()));
    }
}

}  // namespace gui
