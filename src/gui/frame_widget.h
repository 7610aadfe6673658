// The widget of a Frame control: a group box drawn the classic way, an etched border with the
// caption set into its top line, and inside exactly the frame's own background.
#pragma once

#include <QGroupBox>

namespace gui {

class FrameWidget final : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace gui
