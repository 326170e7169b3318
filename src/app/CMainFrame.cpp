#include "app/CMainFrame.h"

#include "app/CNotesDoc.h"
#include "app/CToolBarEx.h"
#include "app/ToolbarArt.h"
#include "app/WindowPlacement.h"
#include "dialogs/CPreviewDlg.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"
#include "framework/ErrorReport.h"
#include "framework/SettingsProfile.h"
#include "view/CNotesView.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>

const QString CMainFrame::LAYOUT_SECTION = QStringLiteral("Layout");

namespace {

struct MenuEntry {
    const char* text;  // null: separator
    int id;
    QList<QKeySequence> keys;
};

struct Menu {
    const char* title;
    std::vector<MenuEntry> entries;
};

const std::vector<Menu>& menuTable()
{
    static const std::vector<Menu> table = {
        {"&File",
         {{"&New\tCtrl+N", cmd::FILE_NEW, {QKeySequence(Qt::CTRL | Qt::Key_N)}},
          {"&Open...\tCtrl+O", cmd::FILE_OPEN, {QKeySequence(Qt::CTRL | Qt::Key_O)}},
          {"&Save\tCtrl+S", cmd::FILE_SAVE, {QKeySequence(Qt::CTRL | Qt::Key_S)}},
          {"Save &As...", cmd::FILE_SAVE_AS, {}},
          {nullptr, 0, {}},
          {"E&xit", cmd::APP_EXIT, {}}}},
        {"&Edit",
         {{"Cu&t\tCtrl+X", cmd::EDIT_CUT, {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)}},
          {"&Copy\tCtrl+C", cmd::EDIT_COPY,
           {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}},
          {"&Paste\tCtrl+V", cmd::EDIT_PASTE,
           {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}},
          {nullptr, 0, {}},
          {"Find...\t Ctrl+F", cmd::EDIT_FIND, {QKeySequence(Qt::CTRL | Qt::Key_F)}},
          {"Find Next\tF3", cmd::FIND_NEXT, {QKeySequence(Qt::Key_F3)}}}},
        {"T&ools",
         {{"New Folder", cmd::NEW_FOLDER, {}},
          {"New Note", cmd::NEW_NOTE, {}},
          {"Delete", cmd::DELETE_ITEM, {}},
          {nullptr, 0, {}},
          {"Database Properties", cmd::DB_PROPERTIES, {}}}},
        {"&View", {{"Preview Pane", cmd::VIEW_PREVIEW, {}}}},
        {"&Help",
         {{"Overview of Ardentix Lock Leaf (PDF)", cmd::HELP_OVERVIEW, {}},
          {"Ardentix Lock Leaf Manual", cmd::HELP_MANUAL, {}},
          {nullptr, 0, {}},
          {"Lockleaf on the &Web", cmd::HELP_WEBSITE, {}},
          {nullptr, 0, {}},
          {"&About Ardentix Lockleaf...", cmd::APP_ABOUT, {}}}},
    };
    return table;
}

} // namespace

CMainFrame::CMainFrame(CNotesDoc& doc, CommandRouter& router, SettingsProfile* settings, QWidget* parent)
    : QMainWindow(parent), doc_(doc), router_(router), settings_(settings)
{
    setWindowIcon(toolbarart::programIcon());
    setAcceptDrops(true);

    buildMenus();
    toolBar_ = new CToolBarEx(router, this);
    addToolBar(Qt::TopToolBarArea, toolBar_);

    view_ = new CNotesView(doc, doc.store(), this);
    setCentralWidget(view_);

    preview_ = new CPreviewDlg;
    previewDock_ = new QDockWidget(this);
    previewDock_->setObjectName(QStringLiteral("59399"));
    previewDock_->setWidget(preview_);
    previewDock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
    previewDock_->setAllowedAreas(Qt::RightDockWidgetArea);
    // No title bar: the pane is fixed at the right.
    auto* noTitle = new QWidget(previewDock_);
    noTitle->setFixedSize(0, 0);
    previewDock_->setTitleBarWidget(noTitle);
    preview_->setFixedWidth(preview_->sizeHint().width());
    addDockWidget(Qt::RightDockWidgetArea, previewDock_);

    using L = CommandRouter::Level;
    router.add(L::frame, cmd::VIEW_PREVIEW, [this] { togglePreview(); },
               [this](CommandUi& ui) { ui.checked = previewVisible(); });
    router.add(L::frame, cmd::APP_EXIT, [this] { close(); });

    connect(&doc, &CDocument::titleChanged, this, &CMainFrame::updateTitle);
    updateTitle();
    router.updateAll();
}

CMainFrame::~CMainFrame()
{
    router_.remove(CommandRouter::Level::frame, cmd::VIEW_PREVIEW);
    router_.remove(CommandRouter::Level::frame, cmd::APP_EXIT);
}

void CMainFrame::buildMenus()
{
    for (const Menu& m : menuTable()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(m.title));
        connect(menu, &QMenu::aboutToShow, &router_, &CommandRouter::updateAll);
        for (const MenuEntry& e : m.entries) {
            if (!e.text) {
                menu->addSeparator();
                continue;
            }
            QAction* a = router_.action(e.id);
            a->setText(QString::fromUtf8(e.text));
            a->setShortcuts(e.keys);
            menu->addAction(a);
        }
    }
    // Keys bound to commands this program has no handler for: they stay
    // disabled, but the keys are taken.
    const std::pair<int, QList<QKeySequence>> unhandled[] = {
        {cmd::EDIT_UNDO, {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)}},
        {cmd::NEXT_PANE, {QKeySequence(Qt::Key_F6)}},
        {cmd::PREV_PANE, {QKeySequence(Qt::SHIFT | Qt::Key_F6)}},
    };
    for (const auto& [id, keys] : unhandled) {
        QAction* a = router_.action(id);
        a->setShortcuts(keys);
        addAction(a);
    }
}

void CMainFrame::updateTitle()
{
    setWindowTitle(doc_.title() + QStringLiteral(" - Lockleaf"));
}

bool CMainFrame::previewVisible() const
{
    return previewDock_->isVisibleTo(this);
}

void CMainFrame::togglePreview()
{
    previewDock_->setVisible(!previewVisible());
}

void CMainFrame::restoreLayout()
{
    view_->setPreview(preview_);

    std::optional<WindowPlacement> placement;
    if (settings_)
        if (auto bytes = settings_->readBinary(LAYOUT_SECTION, QStringLiteral("Main"), WindowPlacement::SIZE))
            placement = WindowPlacement::fromBytes(*bytes);
    // A placement that lies off every screen (a monitor since removed) is not used.
    bool onScreen = false;
    if (placement && placement->normal.isValid())
        for (QScreen* s : QGuiApplication::screens())
            onScreen = onScreen || s->availableVirtualGeometry().intersects(placement->normal);
    if (placement && onScreen) {
        // Whatever state the window was closed in, it comes back normal.
        setWindowState(Qt::WindowNoState);
        setGeometry(placement->normal);
    } else {
        move(150, 150);
        resize(460, 340);
    }

    if (settings_) {
        if (auto bytes = settings_->readBinary(LAYOUT_SECTION, QStringLiteral("Preview"), 4); bytes && bytes->size() == 4)
            previewDock_->setVisible(bytes->count('\0') != 4);
    }
    router_.updateAll();
}

void CMainFrame::saveLayout()
{
    if (!settings_)
        return;
    WindowPlacement p;
    p.showCommand = isMaximized()   ? WindowPlacement::SHOW_MAXIMIZED
                    : isMinimized() ? WindowPlacement::SHOW_MINIMIZED
                                    : WindowPlacement::SHOW_NORMAL;
    p.normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    settings_->writeBinary(LAYOUT_SECTION, QStringLiteral("Main"), p.toBytes());
    QByteArray visible(4, '\0');
    visible[0] = previewVisible() ? 1 : 0;
    settings_->writeBinary(LAYOUT_SECTION, QStringLiteral("Preview"), visible);
    settings_->sync();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    saveLayout();
    bool close = false;
    try {
        close = doc_.saveModified();
    } catch (const std::exception& e) {
        reportException(this, e);
    }
    if (close)
        event->accept();
    else
        event->ignore();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const auto urls = event->mimeData()->urls();
    event->acceptProposedAction();
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        try {
            doc_.openDocumentFile(url.toLocalFile());
        } catch (const std::exception& e) {
            reportException(this, e);
        }
    }
    router_.updateAll();
}
