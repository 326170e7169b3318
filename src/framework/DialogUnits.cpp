#include "framework/DialogUnits.h"

#include <QFontMetrics>

namespace {

// The average width of the Latin letters, as dialog units are defined.
int averageCharWidth(const QFontMetrics& m)
{
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (m.horizontalAdvance(letters) / 26 + 1) / 2;
}

} // namespace

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetrics m(font);
    baseX_ = std::max(1, averageCharWidth(m));
    baseY_ = std::max(1, m.height());
}

int DialogUnits::x(int units) const
{
    return (units * baseX_ + 2) / 4;
}

int DialogUnits::y(int units) const
{
    return (units * baseY_ + 4) / 8;
}

QRect DialogUnits::rect(int x0, int y0, int width, int height) const
{
    return QRect(x(x0), y(y0), x(width), y(height));
}

QSize DialogUnits::size(int width, int height) const
{
    return QSize(x(width), y(height));
}

void placeControl(QWidget* control, int id, const QRect& pixels)
{
    if (id != 0)
        control->setObjectName(QString::number(id));
    control->setGeometry(pixels);
}
