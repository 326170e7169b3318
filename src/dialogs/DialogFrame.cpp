#include "dialogs/DialogFrame.h"

#include "framework/DialogUnits.h"

#include <QDialog>
#include <QPushButton>

namespace dialogframe {

QPushButton* addButton(QDialog* dialog, const QString& text, int id, const QRect& pixels)
{
    auto* button = new QPushButton(text, dialog);
    placeControl(button, id, pixels);
    return button;
}

void fixSize(QDialog* dialog, const QSize& pixels)
{
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog->setFixedSize(pixels);
    dialog->setSizeGripEnabled(false);
}

} // namespace dialogframe
