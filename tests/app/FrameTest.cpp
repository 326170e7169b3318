#include "ScriptedPrompts.h"
#include "TestSupport.h"

#include "app/CMainFrame.h"
#include "app/CNotesDoc.h"
#include "app/CToolBarEx.h"
#include "app/WindowPlacement.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"
#include "framework/SettingsProfile.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QHelpEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>
#include <QToolTip>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override { open(); }

    void open()
    {
        settings = std::make_unique<SettingsProfile>(QString::fromStdString(dir.file("settings.ini")));
        router = std::make_unique<CommandRouter>();
        doc = std::make_unique<CNotesDoc>(settings.get());
        frame = std::make_unique<CMainFrame>(*doc, *router, settings.get());
        doc->fileNew();
        frame->restoreLayout();
        frame->show();
    }

    void closeAndReopen()
    {
        frame->close();
        frame.reset();
        doc.reset();
        router.reset();
        settings.reset();
        open();
    }

    TempDir dir;
    std::unique_ptr<SettingsProfile> settings;
    std::unique_ptr<CommandRouter> router;
    std::unique_ptr<CNotesDoc> doc;
    std::unique_ptr<CMainFrame> frame;
};

// "text|id" per entry, "-" for a separator.
QStringList describe(QMenu* menu)
{
    QStringList out;
    for (QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text() + QLatin1Char('|') + a->data().toString());
    return out;
}

TEST_F(FrameTest, MenuBarAsTabled)
{
    QStringList titles;
    std::vector<QStringList> menus;
    for (QAction* a : frame->menuBar()->actions()) {
        titles << a->text();
        menus.push_back(describe(a->menu()));
    }
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "T&ools", "&View", "&Help"}));
    ASSERT_EQ(menus.size(), 5u);
    EXPECT_EQ(menus[0], (QStringList{"&New\tCtrl+N|57600", "&Open...\tCtrl+O|57601", "&Save\tCtrl+S|57603",
                                     "Save &As...|57604", "-", "E&xit|57665"}));
    EXPECT_EQ(menus[1], (QStringList{"Cu&t\tCtrl+X|57635", "&Copy\tCtrl+C|57634", "&Paste\tCtrl+V|57637", "-",
                                     "Find...\t Ctrl+F|57636", "Find Next\tF3|32784"}));
    EXPECT_EQ(menus[2], (QStringList{"New Folder|32771", "New Note|32773", "Delete|32775", "-",
                                     "Database Properties|32777"}));
    EXPECT_EQ(menus[3], (QStringList{"Preview Pane|32795"}));
    EXPECT_EQ(menus[4], (QStringList{"Overview of Ardentix Lock Leaf (PDF)|32793", "Ardentix Lock Leaf Manual|32794",
                                     "-", "Lockleaf on the &Web|32789", "-", "&About Ardentix Lockleaf...|57664"}));
}

TEST_F(FrameTest, Accelerators)
{
    const std::pair<int, QList<QKeySequence>> table[] = {
        {cmd::FILE_NEW, {QKeySequence("Ctrl+N")}},
        {cmd::FILE_OPEN, {QKeySequence("Ctrl+O")}},
        {cmd::FILE_SAVE, {QKeySequence("Ctrl+S")}},
        {cmd::EDIT_CUT, {QKeySequence("Ctrl+X"), QKeySequence("Shift+Del")}},
        {cmd::EDIT_COPY, {QKeySequence("Ctrl+C"), QKeySequence("Ctrl+Ins")}},
        {cmd::EDIT_PASTE, {QKeySequence("Ctrl+V"), QKeySequence("Shift+Ins")}},
        {cmd::EDIT_FIND, {QKeySequence("Ctrl+F")}},
        {cmd::FIND_NEXT, {QKeySequence("F3")}},
        {cmd::EDIT_UNDO, {QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}},
        {cmd::NEXT_PANE, {QKeySequence("F6")}},
        {cmd::PREV_PANE, {QKeySequence("Shift+F6")}},
    };
    for (const auto& [id, keys] : table)
        EXPECT_EQ(router->action(id)->shortcuts(), keys) << id;
    // Undo and the pane keys have no handler: never enabled.
    for (int id : {cmd::EDIT_UNDO, cmd::NEXT_PANE, cmd::PREV_PANE}) {
        EXPECT_FALSE(router->action(id)->isEnabled()) << id;
        EXPECT_FALSE(router->execute(id));
    }
}

TEST_F(FrameTest, ToolbarHasSeventeenSlotsWithTheirTooltips)
{
    QStringList slotIds;
    for (QAction* a : frame->toolBar().actions())
        slotIds << (a->isSeparator() ? QStringLiteral("-") : a->data().toString());
    EXPECT_EQ(slotIds, (QStringList{"57600", "57601", "57603", "-", "57635", "57634", "57637", "-", "32771", "32773",
                                  "32775", "-", "32795", "-", "32781", "-", "57664"}));
    EXPECT_EQ(frame->toolBar().iconSize(), QSize(24, 24));

    const std::pair<int, QString> tips[] = {{cmd::FILE_NEW, ""}, {cmd::FILE_OPEN, ""}, {cmd::FILE_SAVE, ""},
                                            {cmd::EDIT_CUT, "Cut"}, {cmd::EDIT_COPY, "Copy"},
                                            {cmd::EDIT_PASTE, "Paste"}, {cmd::NEW_FOLDER, "New Folder"},
                                            {cmd::NEW_NOTE, "New Note"}, {cmd::DELETE_ITEM, "Delete"},
                                            {cmd::VIEW_PREVIEW, "Preview pane"}, {cmd::TOOL_FIND, "Find"},
                                            {cmd::APP_ABOUT, "About"}};
    for (const auto& [id, tip] : tips) {
        QWidget* button = frame->toolBar().widgetForAction(router->action(id));
        ASSERT_NE(button, nullptr) << id;
        QToolTip::hideText();
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(button, &help);
        EXPECT_EQ(QToolTip::isVisible() ? QToolTip::text() : QString(), tip) << id;
    }
    QToolTip::hideText();
    // Every picture has a disabled variant of its own.
    const QIcon icon = router->action(cmd::EDIT_CUT)->icon();
    EXPECT_NE(icon.pixmap(24, QIcon::Normal).toImage(), icon.pixmap(24, QIcon::Disabled).toImage());
}

TEST_F(FrameTest, PreviewPaneCommandTogglesAndChecks)
{
    EXPECT_TRUE(frame->previewVisible());
    EXPECT_EQ(router->query(cmd::VIEW_PREVIEW).checked, std::optional<bool>(true));
    EXPECT_TRUE(router->execute(cmd::VIEW_PREVIEW));
    EXPECT_FALSE(frame->previewDock().isVisible());
    EXPECT_EQ(router->query(cmd::VIEW_PREVIEW).checked, std::optional<bool>(false));
    EXPECT_FALSE(router->action(cmd::VIEW_PREVIEW)->isChecked());
    router->execute(cmd::VIEW_PREVIEW);
    EXPECT_TRUE(frame->previewDock().isVisible());
    EXPECT_TRUE(router->action(cmd::VIEW_PREVIEW)->isChecked());
    // Docked at the right, fixed, spanning the height below the toolbar.
    EXPECT_EQ(frame->dockWidgetArea(&frame->previewDock()), Qt::RightDockWidgetArea);
    EXPECT_EQ(frame->previewDock().features(), QDockWidget::NoDockWidgetFeatures);
}

TEST_F(FrameTest, DroppedFilesOpenLikeFileOpen)
{
    NotesMgr mgr;
    mgr.setDbTitle(u"Dropped");
    mgr.addRecord(-1, 1, u"Dropped", u"");
    mgr.save(dir.file("dropped.nte"));
    doc->setModifiedFlag(true);

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.file("dropped.nte")))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    ScriptedPrompts prompts;
    prompts.expectMessage("Save changes to Untitled?", QMessageBox::No);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &drop);
    prompts.verify();
    EXPECT_EQ(doc->store().dbTitle(), u"Dropped");
    EXPECT_EQ(frame->windowTitle(), "dropped.nte - Lockleaf");

    // A file that cannot be opened shows its message; the database stays.
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.file("gone.nte")))});
    prompts.expectMessage(QString::fromStdString(dir.file("gone.nte")) + " was not found.", QMessageBox::Ok,
                          QMessageBox::Critical);
    QDragEnterEvent enter2(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &enter2);
    QDropEvent drop2(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &drop2);
    EXPECT_EQ(doc->store().dbTitle(), u"Dropped");
}

TEST_F(FrameTest, TitleFollowsTheDocument)
{
    EXPECT_EQ(frame->windowTitle(), "Untitled - Lockleaf");
    doc->setPathName(QString::fromStdString(dir.file("diary.nte")));
    EXPECT_EQ(frame->windowTitle(), "diary.nte - Lockleaf");
}

TEST_F(FrameTest, FirstStartGetsTheDefaultPlacement)
{
    EXPECT_EQ(frame->pos(), QPoint(150, 150));
    EXPECT_EQ(frame->size(), QSize(460, 340));
}

TEST_F(FrameTest, LayoutRoundTripComesBackNormal)
{
    frame->setGeometry(210, 120, 520, 410);
    const QRect normal = frame->geometry();
    frame->showMaximized();
    router->execute(cmd::VIEW_PREVIEW);  // hide
    closeAndReopen();

    const auto bytes = settings->readBinary("Layout", "Main", 44);
    ASSERT_TRUE(bytes.has_value());
    ASSERT_EQ(bytes->size(), 44);
    const auto placement = WindowPlacement::fromBytes(*bytes);
    ASSERT_TRUE(placement.has_value());
    EXPECT_EQ(static_cast<uint8_t>((*bytes)[0]), 44);
    EXPECT_EQ(placement->showCommand, WindowPlacement::SHOW_MAXIMIZED);
    EXPECT_EQ(placement->normal, normal);
    EXPECT_EQ(settings->readBinary("Layout", "Preview", 4), QByteArray("\0\0\0\0", 4));

    EXPECT_FALSE(frame->isMaximized());
    EXPECT_EQ(frame->geometry(), normal);
    EXPECT_FALSE(frame->previewVisible());
    EXPECT_EQ(router->query(cmd::VIEW_PREVIEW).checked, std::optional<bool>(false));
}

TEST_F(FrameTest, DamagedLayoutValuesGiveTheDefaults)
{
    frame->close();
    settings->writeBinary("Layout", "Main", QByteArray(43, '\x01'));
    settings->writeBinary("Layout", "Preview", QByteArray(8, '\0'));
    settings->sync();
    frame.reset();
    doc.reset();
    router.reset();
    settings.reset();
    open();
    EXPECT_EQ(frame->pos(), QPoint(150, 150));
    EXPECT_EQ(frame->size(), QSize(460, 340));
    EXPECT_TRUE(frame->previewVisible());
}

TEST_F(FrameTest, CancelledCloseKeepsTheWindowAndTheLaterPlacementIsStored)
{
    doc->setModifiedFlag(true);
    {
        ScriptedPrompts prompts;
        prompts.expectMessage("Save changes to Untitled?", QMessageBox::Cancel);
        EXPECT_FALSE(frame->close());
    }
    EXPECT_TRUE(frame->isVisible());
    frame->setGeometry(300, 200, 480, 360);
    {
        ScriptedPrompts prompts;
        prompts.expectMessage("Save changes to Untitled?", QMessageBox::No);
        EXPECT_TRUE(frame->close());
    }
    const auto placement = WindowPlacement::fromBytes(*settings->readBinary("Layout", "Main", 44));
    EXPECT_EQ(placement->normal, QRect(300, 200, 480, 360));
}

} // namespace
