#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

// Asks for the password of a database that did not open with the one held.
// The caller shows it with prompts::exec and reads password() after OK;
// OK refuses an empty password.
class CPasswordDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDC_PASSWORD = 1014;

    explicit CPasswordDlg(QWidget* parent = nullptr);

    // The value taken from the box at the last OK, or the one set.
    const QString& password() const { return password_; }
    void setPassword(const QString& password);

    // OK: takes the box's text; an empty one is refused with a message and
    // the dialog stays open.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString password_;
    QLineEdit* passwordEdit_;
    QPushButton* okButton_;
};
