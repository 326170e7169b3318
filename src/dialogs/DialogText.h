#pragma once

#include <QString>

#include <string>

class QPlainTextEdit;

// Text passing between the store (UTF-16, "\r\n" line breaks) and the
// multi-line controls (one "\n" per line break).
namespace dialogtext {

QString fromStore(const std::u16string& text);

// "\r\n" becomes "\n"; nothing else changes.
QString toControl(QString text);
// setControlText then controlText gives back exactly the text put in, with
// "\r\n" line breaks: also no-break spaces and line separators, which the
// control's plain-text reading would change.
void setControlText(QPlainTextEdit& edit, const QString& storeText);
QString controlText(const QPlainTextEdit& edit);

} // namespace dialogtext
