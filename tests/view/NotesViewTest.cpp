#include "TestSupport.h"

#include "dialogs/CPreviewDlg.h"
#include "framework/CDocument.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"
#include "framework/DialogUnits.h"
#include "store/NotesMgr.h"
#include "view/CNotesView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidgetItemIterator>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TestDoc : public CDocument {
public:
    bool onOpenDocument(const QString&) override { return true; }
    bool onSaveDocument(const QString&) override { return true; }
};

// The icon index an item shows, by identity with the view's icons.
int shownImage(const QTreeWidgetItem* item)
{
    for (int i = 0; i < 4; ++i)
        if (CNotesView::icon(i).cacheKey() == item->icon(0).cacheKey())
            return i;
    return -1;
}

NoteRecord record(int32_t id, int32_t parentId, int32_t isFolder, std::u16string title)
{
    NoteRecord r;
    r.id = id;
    r.parentId = parentId;
    r.isFolder = isFolder;
    r.title = std::move(title);
    return r;
}

class NotesViewTest : public ::testing::Test {
protected:
    NotesViewTest() { view.setPreview(&preview); }

    int add(int parent, bool isFolder, std::u16string title, std::u16string text = {})
    {
        return store.addRecord(parent, isFolder ? 1 : 0, std::move(title), std::move(text));
    }

    // "depth:title" of every item, top to bottom; "+" marks expanded ones.
    std::vector<std::string> shown()
    {
        std::vector<std::string> out;
        for (QTreeWidgetItemIterator it(&view); *it; ++it) {
            int depth = 0;
            for (auto* p = (*it)->parent(); p; p = p->parent())
                ++depth;
            out.push_back(std::to_string(depth) + ":" + (*it)->text(0).toStdString()
                          + ((*it)->isExpanded() ? "+" : ""));
        }
        return out;
    }

    QString previewed()
    {
        return controlById<QLineEdit>(&preview, CPreviewDlg::IDC_TITLE)->text() + "|"
               + controlById<QPlainTextEdit>(&preview, CPreviewDlg::IDC_TEXT)->toPlainText();
    }

    void select(int id)
    {
        QTreeWidgetItem* item = view.itemForId(id);
        ASSERT_NE(item, nullptr) << id;
        view.setCurrentItem(item);
    }

    TestDoc doc;
    NotesMgr store;
    CPreviewDlg preview;
    CNotesView view{doc, store};
    const int root = store.addRecord(-1, 1, u"Untitled", u"");
};

TEST_F(NotesViewTest, ANewDatabaseIsOneExpandedHouseWithNothingSelected)
{
    view.onInitialUpdate();
    EXPECT_EQ(shown(), (std::vector<std::string>{"0:Untitled+"}));
    EXPECT_EQ(shownImage(view.topLevelItem(0)), CNotesView::IMAGE_ROOT);
    EXPECT_EQ(view.selectedId(), -1);
    EXPECT_EQ(previewed(), "|");
}

TEST_F(NotesViewTest, SiblingsAreFoldersFirstThenTitlesByCodeUnitAndSubtreesDepthFirst)
{
    add(root, false, u"a");
    const int b = add(root, true, u"b");
    add(root, false, u"Z");
    add(root, true, u"B");
    add(root, false, u"Same");
    add(b, false, u"inner note");
    add(add(b, true, u"Inner"), false, u"Deep");
    add(root, true, u"Same");
    view.rebuildTree();
    EXPECT_EQ(shown(), (std::vector<std::string>{"0:Untitled+", "1:B", "1:Same", "1:b", "2:Inner", "3:Deep",
                                                 "2:inner note", "1:Same", "1:Z", "1:a"}));
    EXPECT_EQ(shownImage(view.topLevelItem(0)->child(1)), CNotesView::IMAGE_FOLDER);
    EXPECT_EQ(shownImage(view.topLevelItem(0)->child(3)), CNotesView::IMAGE_NOTE);
}

TEST_F(NotesViewTest, ImagesFollowTheRuleAndTheReminderFlagOnEveryRebuild)
{
    const int folder = add(root, true, u"Folder");
    const int plain = add(folder, false, u"Plain");
    const int timed = add(folder, false, u"Timed");
    store.findRecord(timed)->reminderEnabled = 1;
    store.findRecord(folder)->reminderEnabled = 1;
    store.findRecord(root)->isFolder = 0;
    store.findRecord(root)->reminderEnabled = 1;
    const auto images = [&] {
        view.rebuildTree();
        std::vector<int> out;
        for (int id : {root, folder, plain, timed})
            out.push_back(shownImage(view.itemForId(id)));
        return out;
    };
    EXPECT_EQ(images(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(images(), (std::vector<int>{0, 1, 2, 3}));
    store.findRecord(timed)->reminderEnabled = 0;
    EXPECT_EQ(images(), (std::vector<int>{0, 1, 2, 2}));
}

TEST_F(NotesViewTest, AnUpdateExpandsOnlyTheRootAndDropsSelectionAndPreview)
{
    const int f = add(root, true, u"F");
    const int sub = add(f, true, u"Sub");
    const int n = add(sub, false, u"N", u"text");
    view.onInitialUpdate();
    view.itemForId(f)->setExpanded(true);
    view.itemForId(sub)->setExpanded(true);
    select(n);
    ASSERT_EQ(previewed(), "N|text");

    doc.updateAllViews();
    EXPECT_EQ(shown(), (std::vector<std::string>{"0:Untitled+", "1:F", "2:Sub", "3:N"}));
    EXPECT_EQ(view.selectedId(), -1);
    EXPECT_EQ(view.currentItem(), nullptr);
    EXPECT_EQ(previewed(), "|");
}

TEST_F(NotesViewTest, ThePreviewShowsFoldersAndNotesButNeverTheRoot)
{
    store.findRecord(root)->text = u"root text";
    const int f = add(root, true, u"Recipes", u"Family\r\nfavourites");
    const int n = add(f, false, u"Soup", u"Tomatoes");
    const int gone = add(f, false, u"Gone", u"g");
    view.rebuildTree();
    select(f);
    EXPECT_EQ(previewed(), "Recipes|Family\nfavourites");
    select(n);
    EXPECT_EQ(previewed(), "Soup|Tomatoes");
    EXPECT_EQ(view.selectedId(), n);
    select(root);
    EXPECT_EQ(previewed(), "|");
    EXPECT_EQ(view.selectedId(), root);
    select(n);
    store.removeRecord(gone);
    select(gone);
    EXPECT_EQ(previewed(), "|");
}

TEST_F(NotesViewTest, WithoutAPaneOrAfterItWentSelectionIsHarmless)
{
    const int n = add(root, false, u"N", u"t");
    auto pane = std::make_unique<CPreviewDlg>();
    view.setPreview(nullptr);
    view.rebuildTree();
    select(n);
    EXPECT_EQ(previewed(), "|");
    view.setPreview(pane.get());
    pane.reset();
    view.rebuildTree();
    select(n);
    EXPECT_EQ(view.selectedId(), n);
}

TEST_F(NotesViewTest, RecordsUnreachableFromTheTopAreLeftOutWithoutHanging)
{
    store.findRecord(add(root, false, u"Orphan"))->parentId = 9999;
    const int a = add(root, true, u"Cycle A");
    store.findRecord(a)->parentId = add(a, true, u"Cycle B");
    const int self = add(root, true, u"Self");
    store.findRecord(self)->parentId = self;
    add(self, false, u"Below self");
    add(root, false, u"Kept");
    view.rebuildTree();
    EXPECT_EQ(shown(), (std::vector<std::string>{"0:Untitled+", "1:Kept"}));

    store.clear();
    view.rebuildTree();
    EXPECT_EQ(view.topLevelItemCount(), 0);
}

TEST_F(NotesViewTest, ARecordWithIdMinusOneDoesNotRepeatTheTopLevel)
{
    testing_support::readImage(store, testing_support::ImageWriter()
                                          .header(1, NotesMgr::DB_CHECK_WORD, 3, 3, u"T", u"", 4)
                                          .recordV3(record(-1, -1, 1, u"Minus"))
                                          .recordV3(record(0, -1, 1, u"Root"))
                                          .recordV3(record(1, 0, 0, u"Child"))
                                          .recordV3(record(2, -1, 0, u"Loose"))
                                          .filler()
                                          .bytes());
    view.onInitialUpdate();
    EXPECT_EQ(shown(), (std::vector<std::string>{"0:Minus+", "0:Root", "1:Child", "0:Loose"}));
    select(1);
    select(-1);
    EXPECT_EQ(view.selectedItem(), view.topLevelItem(0));
    EXPECT_EQ(previewed(), "|");
}

TEST_F(NotesViewTest, BranchLinesAndBoxesAreDrawnBelowTheTopLevel)
{
    const int f = add(root, true, u"F");
    const int n = add(f, false, u"N");
    view.rebuildTree();
    view.itemForId(f)->setExpanded(true);
    view.resize(300, 200);
    view.show();
    QApplication::processEvents();
    const QImage shot = view.viewport()->grab().toImage();
    const QRgb base = view.palette().color(QPalette::Base).rgb();
    const auto marksLeftOf = [&](int id) {
        const QRect row = view.visualItemRect(view.itemForId(id));
        int marks = 0;
        for (int y = row.top(); y <= row.bottom(); ++y)
            for (int x = 0; x < row.left(); ++x)
                marks += shot.pixel(x, y) != base;
        return marks;
    };
    EXPECT_GT(marksLeftOf(f), marksLeftOf(n)) << "the folder's box";
    EXPECT_GT(marksLeftOf(n), 0);
    EXPECT_FALSE(view.rootIsDecorated());
    EXPECT_EQ(view.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(view.dragDropMode(), QAbstractItemView::NoDragDrop);
}

TEST(NotesViewIcons, FourDistinctOpaquePicturesMadeOnce)
{
    std::vector<QImage> images;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(CNotesView::icon(i).cacheKey(), CNotesView::icon(i).cacheKey());
        const QImage image = CNotesView::icon(i).pixmap(16, 16).toImage();
        ASSERT_EQ(image.size(), QSize(16, 16));
        int opaque = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                opaque += qAlpha(image.pixel(x, y)) > 128;
        EXPECT_GT(opaque, 40) << i;
        for (const QImage& other : images)
            EXPECT_NE(image, other) << i;
        images.push_back(image);
    }
}

TEST_F(NotesViewTest, EachInitialUpdateRestartsTheOneReminderTimer)
{
    doc.updateAllViews();
    EXPECT_FALSE(view.reminderTimer().isActive());
    view.onInitialUpdate();
    doc.sendInitialUpdate();
    const auto timers = view.findChildren<QTimer*>("reminderTimer");
    ASSERT_EQ(timers.size(), 1);
    EXPECT_EQ(timers[0], &view.reminderTimer());
    EXPECT_TRUE(timers[0]->isActive());
    EXPECT_EQ(timers[0]->interval(), 20000);
    EXPECT_FALSE(timers[0]->isSingleShot());

    QMetaObject::invokeMethod(timers[0], "timeout", Qt::DirectConnection);
    int scans = 0;
    view.setReminderScan([&] { ++scans; });
    QMetaObject::invokeMethod(timers[0], "timeout", Qt::DirectConnection);
    EXPECT_EQ(scans, 1);
}

TEST(NotesViewLifetime, TheViewAndItsCommandsLeaveWithIt)
{
    TestDoc doc;
    NotesMgr store;
    CommandRouter router;
    store.addRecord(-1, 1, u"Untitled", u"");
    {
        CNotesView view(doc, store);
        view.registerCommands(router);
        doc.sendInitialUpdate();
        store.addRecord(0, 0, u"Added", u"");
        doc.updateAllViews();
        EXPECT_EQ(view.topLevelItem(0)->childCount(), 1);
        EXPECT_TRUE(router.query(cmd::HELP_WEBSITE).enabled);
    }
    doc.updateAllViews();
    doc.sendInitialUpdate();
    for (int id : {cmd::HELP_OVERVIEW, cmd::HELP_MANUAL, cmd::HELP_WEBSITE})
        EXPECT_FALSE(router.execute(id)) << id;
}

class NotesViewHelpTest : public NotesViewTest {
protected:
    NotesViewHelpTest()
    {
        view.registerCommands(router);
        view.setUrlOpener([this](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
    }
    CommandRouter router;
    std::vector<QUrl> opened;
};

TEST_F(NotesViewHelpTest, WebSiteOpensTheAddress)
{
    EXPECT_TRUE(router.execute(cmd::HELP_WEBSITE));
    EXPECT_EQ(opened, (std::vector<QUrl>{QUrl("https://www.example.com/lockleaf")}));
}

TEST_F(NotesViewHelpTest, HelpFilesOpenFromTheProgramFolderOnlyWhenPresent)
{
    for (const auto& [id, name] : {std::pair{cmd::HELP_OVERVIEW, "Overview-Lock-Leaf.pdf"},
                                   std::pair{cmd::HELP_MANUAL, "Lock-Leaf-Manual.chm"}}) {
        SCOPED_TRACE(name);
        const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(name);
        ASSERT_FALSE(QFile::exists(path)) << "left over from an earlier run";
        opened.clear();
        EXPECT_TRUE(router.execute(id));
        EXPECT_TRUE(opened.empty());

        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        router.execute(id);
        QFile::remove(path);
        EXPECT_EQ(opened, (std::vector<QUrl>{QUrl::fromLocalFile(path)}));
    }
}

} // namespace
