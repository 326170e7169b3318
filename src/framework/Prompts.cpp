#include "framework/Prompts.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>

namespace prompts {

namespace {

Responder* installed = nullptr;

} // namespace

QString appName()
{
    return QStringLiteral("Ardentix Lockleaf");
}

void setResponder(Responder* r)
{
    installed = r;
}

Responder* responder()
{
    return installed;
}

int exec(QDialog& dialog)
{
    // A dialog made without a parent is owned by the active main window, so
    // that it stays above it and is centred on it.
    if (!dialog.parentWidget()) {
        if (QWidget* owner = QApplication::activeWindow(); owner && owner != &dialog)
            dialog.setParent(owner, dialog.windowFlags());
    }
    if (!installed)
        return dialog.exec();
    bool finished = false;
    const auto connection = QObject::connect(&dialog, &QDialog::finished, [&] { finished = true; });
    dialog.setResult(QDialog::Rejected);
    // Shown, so that what needs a visible dialog (default button, focus) works.
    dialog.show();
    installed->dialog(dialog);
    if (dialog.isVisible())
        dialog.hide();
    QObject::disconnect(connection);
    return finished ? dialog.result() : QDialog::Rejected;
}

QMessageBox::StandardButton message(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                                    QMessageBox::StandardButtons buttons)
{
    if (installed)
        return installed->message({text, icon, buttons});
    QMessageBox box(icon, appName(), text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void error(QWidget* parent, const QString& text)
{
    message(parent, text, QMessageBox::Critical, QMessageBox::Ok);
}

QString openFile(QWidget* parent, const QString& caption, const QStringList& filters)
{
    if (installed)
        return installed->file({FileRequest::Kind::open, caption, {}, filters, {}}).value_or(QString());
    QFileDialog dialog(parent, caption);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString saveFile(QWidget* parent, const QString& caption, const QString& proposedPath,
                 const QStringList& filters, const QString& defaultSuffix)
{
    if (installed) {
        // The real dialog adds the default suffix to a name typed without one.
        QString chosen = installed->file({FileRequest::Kind::save, caption, proposedPath, filters, defaultSuffix})
                             .value_or(QString());
        if (!chosen.isEmpty() && QFileInfo(chosen).suffix().isEmpty() && !defaultSuffix.isEmpty())
            chosen += QLatin1Char('.') + defaultSuffix;
        return chosen;
    }
    QFileDialog dialog(parent, caption);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(defaultSuffix);
    if (!proposedPath.isEmpty())
        dialog.selectFile(proposedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace prompts
