#pragma once

#include <QIcon>
#include <QPixmap>

// The toolbar pictures and the program icon, drawn in code with QPainter so
// that they stay sharp at any device pixel ratio. All of it needs a running
// QGuiApplication and is meant for the GUI thread only.
namespace toolbarart {

constexpr int PICTURE_SIZE = 24;
constexpr int PICTURE_COUNT = 12;

// Picture indexes, in toolbar order.
enum Picture {
    NEW = 0,       // a blank page with a folded corner
    OPEN = 1,      // an open folder
    SAVE = 2,      // a disk
    CUT = 3,       // scissors
    COPY = 4,      // two overlapping pages
    PASTE = 5,     // a clipboard with a page
    NEW_FOLDER = 6,
    NEW_NOTE = 7,
    DELETE_ITEM = 8,
    PREVIEW_PANE = 9,
    FIND = 10,
    ABOUT = 11,
};

// The normal picture, PICTURE_SIZE × PICTURE_SIZE logical pixels on a
// transparent background. An index out of range gives a transparent picture.
QPixmap picture(int index, qreal devicePixelRatio = 1.0);

// The same picture in light, low-contrast greys, for disabled commands.
QPixmap disabledPicture(int index, qreal devicePixelRatio = 1.0);

// Normal and disabled modes at 1x and 2x; made once and then cached.
QIcon icon(int index);

// The program's icon (a green leaf with a small golden padlock) at 16, 24,
// 32, 48, 64, 128 and 256 pixels; made once and then cached.
QIcon programIcon();

} // namespace toolbarart
