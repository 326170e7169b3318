#pragma once

#include "dialogs/CPreviewDlg.h"
#include "framework/CView.h"

#include <QPointer>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <functional>

class CDocument;
class CommandRouter;
class NotesMgr;
struct NoteRecord;

// The tree of the open database's folders and notes, one item per record
// reachable from the top level (item data Qt::UserRole = record id). It
// feeds the preview pane with the selected record and runs the reminder
// timer. Registers itself with the document for its whole life; document
// and store must outlive it.
class CNotesView : public QTreeWidget, public CView {
    Q_OBJECT
public:
    static constexpr int REMINDER_PERIOD_MS = 20000;
    static constexpr int IMAGE_ROOT = 0;
    static constexpr int IMAGE_FOLDER = 1;
    static constexpr int IMAGE_NOTE = 2;
    static constexpr int IMAGE_REMINDER = 3;

    using UrlOpener = std::function<bool(const QUrl&)>;

    CNotesView(CDocument& doc, NotesMgr& store, QWidget* parent = nullptr);
    ~CNotesView() override;

    // The pane to keep up to date (not owned; may go first). Until it is set,
    // selection changes update nothing.
    void setPreview(CPreviewDlg* preview);
    CPreviewDlg* preview() const { return preview_; }

    // A database was created or opened: rebuild and (re)start the reminder timer.
    void onInitialUpdate() override;
    // The document changed as a whole: rebuild.
    void onUpdate(CView* sender) override;

    // Replaces every item by the store's tree in sibling order; only the
    // first top-level item is expanded, nothing is selected, the preview is
    // cleared.
    void rebuildTree();

    // The picture for a record: root 0, folder 1, note with reminder 3, note 2.
    static int imageIndex(const NoteRecord& record);
    static QIcon icon(int index);

    // The record id of the selected item, or -1 when none is selected.
    int selectedId() const;
    QTreeWidgetItem* selectedItem() const;
    // The first item carrying that record id, or null. Searches the tree.
    QTreeWidgetItem* itemForId(int id) const;
    static int recordId(const QTreeWidgetItem* item);

    // Run by the reminder timer every REMINDER_PERIOD_MS once started.
    void setReminderScan(std::function<void()> scan);
    const QTimer& reminderTimer() const { return reminderTimer_; }

    // The Help commands (overview, manual, web site) at view level. The
    // handlers are removed again when the view goes.
    void registerCommands(CommandRouter& router);
    // How files and the web site are opened; QDesktopServices by default.
    void setUrlOpener(UrlOpener opener);

    static QString websiteUrl();
    static QString overviewFileName();
    static QString manualFileName();

protected:
    // Dotted lines joining each item to its parent and siblings, and a
    // plus/minus box on folders with children; the top level has neither.
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;

private:
    void onSelectionChanged();
    void openHelpFile(const QString& fileName);

    CDocument& doc_;
    NotesMgr& store_;
    QPointer<CPreviewDlg> preview_;
    QTimer reminderTimer_;
    std::function<void()> reminderScan_;
    bool iconsReady_ = false;
    QPointer<CommandRouter> router_;
    UrlOpener urlOpener_;
};
