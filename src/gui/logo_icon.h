// The logo as a picture of a given size and as the windows' icon, both from gui::paintLogo.
#pragma once

#include <QIcon>
#include <QImage>

namespace gui {

// The logo filling a size x size picture; what the tile leaves of the corners is transparent.
QImage logoImage(int size);

// The logo as an icon drawn at whatever size the desktop asks for, each size once.
QIcon logoIcon();

}  // namespace gui
