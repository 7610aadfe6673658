// The widget of an Image control: the named picture, stretched to the control's box.
#pragma once

#include <QString>
#include <QWidget>

namespace gui {

class PictureWidget final : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    QString picture() const { return m_picture; }
    // The pictures the program knows: "logo". Any other name shows nothing.
    void setPicture(const QString& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_picture;
};

}  // namespace gui
