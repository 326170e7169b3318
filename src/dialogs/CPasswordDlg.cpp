#include "dialogs/CPasswordDlg.h"

#include "dialogs/DialogFrame.h"
#include "framework/DialogUnits.h"
#include "framework/Prompts.h"

#include <QLineEdit>
#include <QPushButton>

CPasswordDlg::CPasswordDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Enter Password"));
    const DialogUnits du(font());

    passwordEdit_ = new QLineEdit(this);
    passwordEdit_->setEchoMode(QLineEdit::Password);
    placeControl(passwordEdit_, IDC_PASSWORD, du.rect(7, 7, 105, 14));

    okButton_ = dialogframe::addButton(this, QStringLiteral("OK"), dialogframe::IDOK, du.rect(35, 25, 38, 14));
    okButton_->setDefault(true);
    auto* cancel = dialogframe::addButton(this, QStringLiteral("Cancel"), dialogframe::IDCANCEL,
                                          du.rect(73, 25, 39, 14));
    connect(okButton_, &QPushButton::clicked, this, &CPasswordDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CPasswordDlg::reject);

    dialogframe::fixSize(this, du.size(121, 46));
}

void CPasswordDlg::setPassword(const QString& password)
{
    password_ = password;
    passwordEdit_->setText(password);
}

void CPasswordDlg::accept()
{
    password_ = passwordEdit_->text();
    if (password_.isEmpty()) {
        prompts::error(this, QStringLiteral("The password cannot be empty."));
        passwordEdit_->setFocus();
        return;
    }
    QDialog::accept();
}

void CPasswordDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    passwordEdit_->setFocus(Qt::ActiveWindowFocusReason);
}
