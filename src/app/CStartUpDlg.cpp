#include "app/CStartUpDlg.h"

#include "dialogs/DialogFrame.h"
#include "framework/CDocument.h"
#include "framework/DialogUnits.h"
#include "framework/ErrorReport.h"
#include "framework/Prompts.h"
#include "store/NotesMgr.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>

CStartUpDlg::CStartUpDlg(NotesMgr& store, Opener open, QWidget* parent)
    : QDialog(parent), store_(store), open_(std::move(open))
{
    setWindowTitle(prompts::appName());
    const DialogUnits du(font());
    dialogframe::fixSize(this, du.size(234, 148));

    auto* empty = new QPushButton(QStringLiteral("Empty Database"), this);
    placeControl(empty, ID_EMPTY, du.rect(7, 7, 80, 14));
    auto* existing = new QPushButton(QStringLiteral("Open Existing..."), this);
    placeControl(existing, ID_OPEN, du.rect(7, 25, 80, 14));
    // Enter always means OK here, never the focused button.
    for (QPushButton* b : {empty, existing}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    list_ = new QListWidget(this);
    placeControl(list_, ID_RECENT, du.rect(94, 7, 133, 134));
    list_->addItem(QStringLiteral("Recent Files..."));
    const auto& recent = store_.recentFiles();
    for (size_t i = 0; i < recent.size() && i < NotesMgr::MAX_RECENT_FILES; ++i)
        list_->addItem(QString::fromStdU16String(recent[i]));

    connect(empty, &QPushButton::clicked, this, &QDialog::accept);
    connect(existing, &QPushButton::clicked, this, &CStartUpDlg::openExisting);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { openRecentLine(list_->currentRow()); });
}

void CStartUpDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CStartUpDlg::openExisting()
{
    const QString path = prompts::openFile(this, QStringLiteral("Open"), CDocument::fileFilters());
    if (path.isEmpty())
        return;
    try {
        open_(path);
    } catch (const std::exception& e) {
        reportException(this, e);
        return;
    }
    accept();
}

void CStartUpDlg::openRecentLine(int line)
{
    if (line < 1 || line >= list_->count())
        return;
    const QString path = list_->item(line)->text();
    try {
        open_(path);
    } catch (const std::exception& e) {
        reportException(this, e);
        delete list_->takeItem(line);
        store_.removeRecentFile(static_cast<size_t>(line - 1));
        return;
    }
    accept();
}
