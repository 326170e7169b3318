#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QDialog;
class QPushButton;

// What the fixed-size modal dialogs built from a template share.
namespace dialogframe {

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// A push button with its template id, at a place in pixels.
QPushButton* addButton(QDialog* dialog, const QString& text, int id, const QRect& pixels);
// The client size in pixels, not resizable; caption and system menu only.
void fixSize(QDialog* dialog, const QSize& pixels);

} // namespace dialogframe
