#include "dialogs/CPreviewDlg.h"

#include "dialogs/DialogText.h"
#include "framework/DialogUnits.h"
#include "store/NoteRecord.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

constexpr int INSET = 2;
constexpr int TEMPLATE_WIDTH = 156;
constexpr int TEMPLATE_HEIGHT = 142;

} // namespace

CPreviewDlg::CPreviewDlg(QWidget* parent) : QWidget(parent)
{
    const DialogUnits du(font());

    auto* label = new QLabel(QStringLiteral("Title:"), this);
    label->setGeometry(du.rect(1, 4, 18, 8));

    titleEdit_ = new QLineEdit(this);
    titleEdit_->setReadOnly(true);
    placeControl(titleEdit_, IDC_TITLE, du.rect(20, 2, 134, 12));

    textEdit_ = new QPlainTextEdit(this);
    textEdit_->setReadOnly(true);
    textEdit_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    textEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    placeControl(textEdit_, IDC_TEXT, du.rect(1, 14, 153, 126));

    resize(du.size(TEMPLATE_WIDTH, TEMPLATE_HEIGHT));
}

void CPreviewDlg::showRecord(const NoteRecord* record)
{
    if (!record) {
        titleEdit_->clear();
        textEdit_->clear();
        return;
    }
    titleEdit_->setText(dialogtext::fromStore(record->title));
    // setText leaves the cursor at the end; a long title should show its start.
    titleEdit_->setCursorPosition(0);
    dialogtext::setControlText(*textEdit_, dialogtext::fromStore(record->text));
}

void CPreviewDlg::layoutControls()
{
    // Edges as exclusive coordinates: right = x + width, bottom = y + height.
    const int left = INSET;
    const int right = width() - INSET;
    const int bottom = height() - INSET;

    const QRect title = titleEdit_->geometry();
    titleEdit_->setGeometry(title.x(), title.y(), std::max(0, right - title.x()), title.height());

    const int textTop = title.y() + title.height() + INSET;
    textEdit_->setGeometry(left, textTop, std::max(0, right - left), std::max(0, bottom - textTop));
}

QSize CPreviewDlg::sizeHint() const
{
    return DialogUnits(font()).size(TEMPLATE_WIDTH, TEMPLATE_HEIGHT);
}

QSize CPreviewDlg::minimumSizeHint() const
{
    return DialogUnits(font()).size(TEMPLATE_WIDTH, 40);
}

void CPreviewDlg::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutControls();
}
