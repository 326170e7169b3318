#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

class QFont;

// Converts dialog-template coordinates to pixels from the dialog font:
// x · average character width / 4, y · character height / 8.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    int x(int units) const;
    int y(int units) const;
    QRect rect(int x, int y, int width, int height) const;
    QSize size(int width, int height) const;

private:
    int baseX_;
    int baseY_;
};

// Gives a control its template id (findable with controlById) and its place.
void placeControl(QWidget* control, int id, const QRect& pixels);
// The control with that template id among the children of dialog, or null.
template <typename T>
T* controlById(const QWidget* dialog, int id)
{
    return dialog->findChild<T*>(QString::number(id));
}
