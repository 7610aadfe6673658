// The round lamp a Shape control shows: a filled disc with a thin dark rim. Like every child
// widget it paints no background, so its container shows around the disc.
#pragma once

#include <QColor>
#include <QWidget>

namespace gui {

class LampWidget final : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    QColor fillColor() const { return m_fill; }
    void setFillColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_fill = Qt::red;
};

}  // namespace gui
