#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QWidget;

// Every modal dialog, message box and file dialog of the program passes
// through here, so that tests can answer them from a script while the
// dialogs' own OK and Cancel handlers still run.
namespace prompts {

// The application name, the caption of every message box.
QString appName();

struct MessageRequest {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

struct FileRequest {
    enum class Kind { open, save };
    Kind kind = Kind::open;
    QString caption;       // "Open" or "Save As"
    QString initialPath;   // proposed file (save) or folder
    QStringList filters;   // "Lockleaf Files (*.nte)", "All Files (*.*)"
    QString defaultSuffix; // added to a saved name without one
};

// Answers the prompts instead of a user. A dialog is handed over already
// initialised and visible-in-principle; the responder acts on its controls
// and returns when the dialog has finished (or not: then it stays Rejected).
class Responder {
public:
    virtual ~Responder() = default;
    virtual void dialog(QDialog& dialog) = 0;
    virtual QMessageBox::StandardButton message(const MessageRequest& request) = 0;
    virtual std::optional<QString> file(const FileRequest& request) = 0;
};

// Installs a responder (not owned), or restores real prompts with null.
void setResponder(Responder* responder);
Responder* responder();

// Runs dialog modally; returns QDialog::Accepted or QDialog::Rejected.
int exec(QDialog& dialog);

// A message box with the application name as caption; returns the button pressed.
QMessageBox::StandardButton message(QWidget* parent, const QString& text,
                                    QMessageBox::Icon icon = QMessageBox::NoIcon,
                                    QMessageBox::StandardButtons buttons = QMessageBox::Ok);
// An error message with the stop icon.
void error(QWidget* parent, const QString& text);

// The file dialogs; empty when cancelled.
QString openFile(QWidget* parent, const QString& caption, const QStringList& filters);
QString saveFile(QWidget* parent, const QString& caption, const QString& proposedPath,
                 const QStringList& filters, const QString& defaultSuffix);

} // namespace prompts
