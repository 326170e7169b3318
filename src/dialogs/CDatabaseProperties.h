#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// Edits the database title, description and password. The caller sets the
// four strings, shows the dialog with prompts::exec and reads them back
// after OK; the dialog never touches the store. The description uses the
// store's "\r\n" line breaks on both sides.
class CDatabaseProperties : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDC_TITLE = 1000;
    static constexpr int IDC_DESCRIPTION = 1002;
    static constexpr int IDC_PASSWORD = 1008;
    static constexpr int IDC_REPEAT = 1009;

    explicit CDatabaseProperties(QWidget* parent = nullptr);

    // Each getter gives the value taken at the last OK, or the one set.
    const QString& title() const { return title_; }
    void setTitle(const QString& title);
    const QString& description() const { return description_; }
    void setDescription(const QString& description);
    const QString& password() const { return password_; }
    void setPassword(const QString& password);
    const QString& repeat() const { return repeat_; }
    void setRepeat(const QString& repeat);

    // OK: takes all four boxes; refuses an empty title, then a repeat that
    // differs from the password, each with a message, keeping the dialog open.
    void accept() override;

protected:
    // Enter in the description presses OK; Ctrl+Enter starts a new line.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QString title_;
    QString description_;
    QString password_;
    QString repeat_;
    QLineEdit* titleEdit_;
    QPlainTextEdit* descriptionEdit_;
    QLineEdit* passwordEdit_;
    QLineEdit* repeatEdit_;
    QPushButton* okButton_;
};
