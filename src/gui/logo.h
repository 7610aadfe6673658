// The maker's logo, drawn in code so that it scales to any box: the splash picture and, later,
// the desktop icon.
#pragma once

class QPainter;
class QRectF;

namespace gui {

// Paints the Dunmere logo (a cash drawer standing open) stretched to fill box.
void paintLogo(QPainter& painter, const QRectF& box);

}  // namespace gui
