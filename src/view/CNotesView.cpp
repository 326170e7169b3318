#include "view/CNotesView.h"

#include "dialogs/CPreviewDlg.h"
#include "framework/CDocument.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"
#include "store/NotesMgr.h"
#include "store/TreeOrder.h"
#include "view/TreeIcons.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QTreeWidgetItemIterator>

#include <array>

CNotesView::CNotesView(CDocument& doc, NotesMgr& store, QWidget* parent)
    : QTreeWidget(parent), doc_(doc), store_(store), reminderTimer_(this), urlOpener_(&QDesktopServices::openUrl)
{
    setColumnCount(1);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setUniformRowHeights(true);

    reminderTimer_.setObjectName(QStringLiteral("reminderTimer"));
    connect(&reminderTimer_, &QTimer::timeout, this, [this] {
        if (reminderScan_)
            reminderScan_();
    });
    connect(this, &QTreeWidget::itemSelectionChanged, this, &CNotesView::onSelectionChanged);

    doc_.addView(this);
}

CNotesView::~CNotesView()
{
    // The tree widget's own destructor may still report a selection change.
    disconnect(this, &QTreeWidget::itemSelectionChanged, this, &CNotesView::onSelectionChanged);
    if (router_) {
        for (int id : {cmd::HELP_OVERVIEW, cmd::HELP_MANUAL, cmd::HELP_WEBSITE})
            router_->remove(CommandRouter::Level::view, id);
    }
    doc_.removeView(this);
}

void CNotesView::setPreview(CPreviewDlg* preview)
{
    preview_ = preview;
}

void CNotesView::onInitialUpdate()
{
    onUpdate(nullptr);
    if (!iconsReady_) {
        for (int i = 0; i < treeicons::COUNT; ++i)
            treeicons::icon(i);
        setIconSize(QSize(16, 16));
        iconsReady_ = true;
    }
    rebuildTree();
    reminderTimer_.start(REMINDER_PERIOD_MS);
}

void CNotesView::onUpdate(CView*)
{
    rebuildTree();
}

void CNotesView::rebuildTree()
{
    clear();

    // The items are built detached and handed to the control in one step:
    // inserting into a live model would announce every row on its own.
    const treeorder::ChildMap children = treeorder::groupChildren(store_.records());
    QList<QTreeWidgetItem*> topLevel;
    std::vector<QTreeWidgetItem*> path;
    std::array<QIcon, treeicons::COUNT> icons;
    for (int i = 0; i < treeicons::COUNT; ++i)
        icons[i] = treeicons::icon(i);

    treeorder::walkTree(children, [&](const NoteRecord& record, int depth) {
        path.resize(depth);
        auto* item = new QTreeWidgetItem;
        item->setText(0, QString::fromStdU16String(record.title));
        item->setIcon(0, icons[imageIndex(record)]);
        item->setData(0, Qt::UserRole, record.id);
        if (depth == 0)
            topLevel.append(item);
        else
            path.back()->addChild(item);
        path.push_back(item);
    });
    addTopLevelItems(topLevel);

    if (QTreeWidgetItem* first = topLevelItem(0))
        first->setExpanded(true);
    setCurrentItem(nullptr);
    clearSelection();
    if (preview_)
        preview_->showRecord(nullptr);
}

int CNotesView::imageIndex(const NoteRecord& record)
{
    if (record.parentId == treeorder::ROOT_PARENT)
        return IMAGE_ROOT;
    if (record.isFolder != 0)
        return IMAGE_FOLDER;
    if (record.reminderEnabled != 0)
        return IMAGE_REMINDER;
    return IMAGE_NOTE;
}

QIcon CNotesView::icon(int index)
{
    return treeicons::icon(index);
}

int CNotesView::recordId(const QTreeWidgetItem* item)
{
    return item->data(0, Qt::UserRole).toInt();
}

QTreeWidgetItem* CNotesView::selectedItem() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? nullptr : selected.constFirst();
}

int CNotesView::selectedId() const
{
    const QTreeWidgetItem* item = selectedItem();
    return item ? recordId(item) : -1;
}

QTreeWidgetItem* CNotesView::itemForId(int id) const
{
    for (QTreeWidgetItemIterator it(const_cast<CNotesView*>(this)); *it; ++it) {
        if (recordId(*it) == id)
            return *it;
    }
    return nullptr;
}

void CNotesView::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const
{
    // Styles differ: some draw no lines at all. The tree draws its own so it
    // looks the same everywhere.
    const int indent = indentation();
    const bool rtl = isRightToLeft();
    // Column of depth d (d >= 1) next to the item: the innermost one.
    QRect cell(rtl ? rect.left() : rect.right() + 1 - indent, rect.top(), indent, rect.height());
    const auto stepOut = [&] { cell.translate(rtl ? indent : -indent, 0); };
    const auto hasMoreSiblings = [this](const QModelIndex& i) {
        return i.row() < model()->rowCount(i.parent()) - 1;
    };

    if (!index.parent().isValid())
        return;

    painter->save();
    QPen dots(palette().color(QPalette::Mid), 1);
    dots.setDashPattern({1.0, 1.0});
    dots.setCosmetic(true);
    painter->setPen(dots);
    painter->setRenderHint(QPainter::Antialiasing, false);

    const int midX = cell.left() + indent / 2;
    const int midY = cell.top() + cell.height() / 2;
    // 9 × 9 pixels with the pen's outline, centred on the line crossing.
    const QRect box(midX - 4, midY - 4, 8, 8);
    const int lineBottom = hasMoreSiblings(index) ? cell.bottom() : midY;
    painter->drawLine(midX, cell.top(), midX, lineBottom);
    painter->drawLine(midX, midY, rtl ? cell.left() : cell.right(), midY);

    for (QModelIndex ancestor = index.parent(); ancestor.parent().isValid(); ancestor = ancestor.parent()) {
        stepOut();
        if (hasMoreSiblings(ancestor)) {
            const int x = cell.left() + indent / 2;
            painter->drawLine(x, cell.top(), x, cell.bottom());
        }
    }

    if (model()->hasChildren(index)) {
        painter->setPen(palette().color(QPalette::Mid));
        painter->setBrush(palette().color(QPalette::Base));
        painter->drawRect(box);
        painter->setPen(palette().color(QPalette::Text));
        painter->drawLine(midX - 2, midY, midX + 2, midY);
        if (!isExpanded(index))
            painter->drawLine(midX, midY - 2, midX, midY + 2);
    }
    painter->restore();
}

void CNotesView::onSelectionChanged()
{
    if (!preview_)
        return;
    preview_->showRecord(nullptr);
    const QTreeWidgetItem* item = selectedItem();
    if (!item)
        return;
    const NoteRecord* record = store_.findRecord(recordId(item));
    if (!record || record->parentId == treeorder::ROOT_PARENT)
        return;
    preview_->showRecord(record);
}

void CNotesView::setReminderScan(std::function<void()> scan)
{
    reminderScan_ = std::move(scan);
}

void CNotesView::registerCommands(CommandRouter& router)
{
    router_ = &router;
    router.add(CommandRouter::Level::view, cmd::HELP_OVERVIEW, [this] { openHelpFile(overviewFileName()); });
    router.add(CommandRouter::Level::view, cmd::HELP_MANUAL, [this] { openHelpFile(manualFileName()); });
    router.add(CommandRouter::Level::view, cmd::HELP_WEBSITE, [this] { urlOpener_(QUrl(websiteUrl())); });
}

void CNotesView::setUrlOpener(UrlOpener opener)
{
    urlOpener_ = std::move(opener);
}

QString CNotesView::websiteUrl()
{
    return QStringLiteral("https://www.example.com/lockleaf");
}

QString CNotesView::overviewFileName()
{
    return QStringLiteral("Overview-Lock-Leaf.pdf");
}

QString CNotesView::manualFileName()
{
    return QStringLiteral("Lock-Leaf-Manual.chm");
}

void CNotesView::openHelpFile(const QString& fileName)
{
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(fileName);
    // The desktop would report a missing file with its own message; here a
    // missing help file shows nothing.
    if (QFileInfo::exists(path))
        urlOpener_(QUrl::fromLocalFile(path));
}
