#include "dialogs/CDatabaseProperties.h"

#include "dialogs/DialogFrame.h"
#include "dialogs/DialogText.h"
#include "framework/DialogUnits.h"
#include "framework/Prompts.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QLabel* addLabel(QWidget* parent, const QString& text, const QRect& pixels)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(pixels);
    return label;
}

QLineEdit* addPasswordEdit(QWidget* parent, int id, const QRect& pixels)
{
    auto* edit = new QLineEdit(parent);
    edit->setEchoMode(QLineEdit::Password);
    placeControl(edit, id, pixels);
    return edit;
}

} // namespace

CDatabaseProperties::CDatabaseProperties(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Database Properties"));
    const DialogUnits du(font());

    auto* titleLabel = addLabel(this, QStringLiteral("Title:"), du.rect(7, 10, 17, 8));
    titleEdit_ = new QLineEdit(this);
    placeControl(titleEdit_, IDC_TITLE, du.rect(25, 7, 154, 14));
    titleLabel->setBuddy(titleEdit_);

    descriptionEdit_ = new QPlainTextEdit(this);
    descriptionEdit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    descriptionEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    descriptionEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    descriptionEdit_->setTabChangesFocus(true);
    descriptionEdit_->installEventFilter(this);
    placeControl(descriptionEdit_, IDC_DESCRIPTION, du.rect(7, 24, 172, 78));

    auto* passwordLabel = addLabel(this, QStringLiteral("Password:"), du.rect(7, 108, 34, 8));
    passwordEdit_ = addPasswordEdit(this, IDC_PASSWORD, du.rect(44, 106, 49, 12));
    passwordLabel->setBuddy(passwordEdit_);
    auto* repeatLabel = addLabel(this, QStringLiteral("Repeat:"), du.rect(100, 108, 27, 8));
    repeatEdit_ = addPasswordEdit(this, IDC_REPEAT, du.rect(130, 106, 49, 12));
    repeatLabel->setBuddy(repeatEdit_);

    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    // A sunken line needs two pixels; one dialog unit may round to one.
    QRect line = du.rect(7, 124, 172, 1);
    line.setHeight(std::max(2, line.height()));
    separator->setGeometry(line);

    okButton_ = dialogframe::addButton(this, QStringLiteral("OK"), dialogframe::IDOK, du.rect(77, 132, 50, 14));
    okButton_->setDefault(true);
    auto* cancel = dialogframe::addButton(this, QStringLiteral("Cancel"), dialogframe::IDCANCEL,
                                          du.rect(129, 132, 50, 14));
    connect(okButton_, &QPushButton::clicked, this, &CDatabaseProperties::accept);
    connect(cancel, &QPushButton::clicked, this, &CDatabaseProperties::reject);

    dialogframe::fixSize(this, du.size(186, 153));
}

void CDatabaseProperties::setTitle(const QString& title)
{
    title_ = title;
    titleEdit_->setText(title);
}

void CDatabaseProperties::setDescription(const QString& description)
{
    description_ = description;
    dialogtext::setControlText(*descriptionEdit_, description);
}

void CDatabaseProperties::setPassword(const QString& password)
{
    password_ = password;
    passwordEdit_->setText(password);
}

void CDatabaseProperties::setRepeat(const QString& repeat)
{
    repeat_ = repeat;
    repeatEdit_->setText(repeat);
}

void CDatabaseProperties::accept()
{
    title_ = titleEdit_->text();
    description_ = dialogtext::controlText(*descriptionEdit_);
    password_ = passwordEdit_->text();
    repeat_ = repeatEdit_->text();
    if (title_.isEmpty()) {
        prompts::error(this, QStringLiteral("The title cannot be empty."));
        titleEdit_->setFocus();
        return;
    }
    // QString's == compares code unit by code unit, case included.
    if (password_ != repeat_) {
        prompts::error(this, QStringLiteral("The password confirmation does not match."));
        repeatEdit_->setFocus();
        return;
    }
    QDialog::accept();
}

bool CDatabaseProperties::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == descriptionEdit_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ControlModifier)
                descriptionEdit_->insertPlainText(QStringLiteral("\n"));
            else
                okButton_->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CDatabaseProperties::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    titleEdit_->setFocus(Qt::ActiveWindowFocusReason);
}
