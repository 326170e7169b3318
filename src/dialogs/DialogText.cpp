#include "dialogs/DialogText.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace dialogtext {

QString fromStore(const std::u16string& text)
{
    return QString::fromStdU16String(text);
}

QString toControl(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

void setControlText(QPlainTextEdit& edit, const QString& storeText)
{
    edit.setPlainText(toControl(storeText));
}

QString controlText(const QPlainTextEdit& edit)
{
    // toPlainText() would turn no-break spaces into spaces and line
    // separators into "\n"; the raw text keeps them and marks each line
    // break as a paragraph separator.
    QString raw = edit.document()->toRawText();
    raw.replace(QChar(QChar::ParagraphSeparator), QStringLiteral("\r\n"));
    return raw;
}

} // namespace dialogtext
