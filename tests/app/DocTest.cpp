#include "ScriptedPrompts.h"
#include "TestSupport.h"

#include "app/CNotesDoc.h"
#include "framework/CView.h"
#include "store/StoreErrors.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class CountingView : public CView {
public:
    void onInitialUpdate() override { ++initial; }
    void onUpdate(CView*) override { ++updates; }
    int initial = 0;
    int updates = 0;
};

void typePassword(QDialog& d, const QString& text)
{
    ScriptedPrompts::setText(d, 1014, text);
    ScriptedPrompts::click(d, ScriptedPrompts::IDOK);
}

void cancel(QDialog& d)
{
    ScriptedPrompts::click(d, ScriptedPrompts::IDCANCEL);
}

class DocTest : public ::testing::Test {
protected:
    void SetUp() override { doc.addView(&view); }
    void TearDown() override { doc.removeView(&view); }

    // A database file with a root, one note and the given password.
    QString makeDatabase(const std::string& name, const std::u16string& password, const std::u16string& title)
    {
        NotesMgr mgr;
        mgr.setDbTitle(title);
        mgr.setDbDescription(u"about " + title);
        mgr.addRecord(-1, 1, title, u"");
        mgr.addRecord(0, 0, u"note of " + title, u"text");
        mgr.setPassword(password);
        const std::string path = dir.file(name);
        mgr.save(path);
        return QString::fromStdString(path);
    }

    TempDir dir;
    MemoryProfile profile;
    CNotesDoc doc{&profile};
    CountingView view;
};

TEST_F(DocTest, NewDatabaseHasTheUntitledRoot)
{
    doc.store().setPassword(u"carried over");
    ASSERT_TRUE(doc.fileNew());
    const auto& recs = doc.store().records();
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs.at(0).parentId, -1);
    EXPECT_EQ(recs.at(0).isFolder, 1);
    EXPECT_EQ(recs.at(0).title, u"Untitled");
    EXPECT_EQ(doc.title(), "Untitled");
    EXPECT_TRUE(doc.pathName().isEmpty());
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.store().password(), u"carried over");
    EXPECT_EQ(view.initial, 1);
    EXPECT_GE(view.updates, 1);
}

TEST_F(DocTest, WrongPasswordsThenTheRightOne)
{
    const QString path = makeDatabase("a.nte", u"right", u"Alpha");
    doc.fileNew();
    ScriptedPrompts prompts;
    for (const char* wrong : {"wrong", "Right", " right"})
        prompts.expectDialog("Enter Password", [wrong](QDialog& d) { typePassword(d, wrong); });
    prompts.expectDialog("Enter Password", [](QDialog& d) { typePassword(d, "right"); });
    ASSERT_TRUE(doc.openDocumentFile(path));
    prompts.verify();
    EXPECT_EQ(doc.store().dbTitle(), u"Alpha");
    EXPECT_EQ(doc.store().records().size(), 2u);
    EXPECT_EQ(doc.title(), "a.nte");
    EXPECT_EQ(doc.pathName(), QFileInfo(path).absoluteFilePath());
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(view.initial, 2);
    EXPECT_EQ(doc.store().recentFiles().front(), path.toStdU16String());
}

TEST_F(DocTest, CancelKeepsThePreviousDatabaseWhole)
{
    const QString a = makeDatabase("a.nte", u"apple", u"Alpha");
    const QString b = makeDatabase("b.nte", u"berry", u"Beta");
    {
        ScriptedPrompts prompts;
        prompts.expectDialog("Enter Password", [](QDialog& d) { typePassword(d, "apple"); });
        ASSERT_TRUE(doc.openDocumentFile(a));
    }
    doc.store().addRecord(0, 0, u"unsaved", u"");
    doc.setModifiedFlag(true);
    const StoreSnapshot before = snapshot(doc.store());

    ScriptedPrompts prompts;
    prompts.expectMessage("Save changes to a.nte?", QMessageBox::No)
        .expectDialog("Enter Password", [](QDialog& d) { typePassword(d, "typed for b"); })
        .expectDialog("Enter Password", cancel);
    EXPECT_FALSE(doc.openDocumentFile(b));
    prompts.verify();
    EXPECT_EQ(snapshot(doc.store()), before);  // records, header, password, recent files
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.title(), "a.nte");
}

TEST_F(DocTest, FileErrorOnOpenKeepsTheModifiedDatabase)
{
    doc.fileNew();
    doc.store().addRecord(0, 0, u"unsaved", u"");
    doc.setModifiedFlag(true);
    const StoreSnapshot before = snapshot(doc.store());
    ScriptedPrompts prompts;
    prompts.expectMessage("Save changes to Untitled?", QMessageBox::No);
    EXPECT_THROW(doc.openDocumentFile(QString::fromStdString(dir.file("missing.nte"))), FileException);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(snapshot(doc.store()), before);
}

TEST_F(DocTest, EmptyPasswordDatabaseAfterOneWithAPassword)
{
    const QString a = makeDatabase("a.nte", u"pa", u"Alpha");
    const QString e = makeDatabase("e.nte", u"", u"Empty");
    ScriptedPrompts prompts;
    prompts.expectDialog("Enter Password", [](QDialog& d) { typePassword(d, "pa"); });
    ASSERT_TRUE(doc.openDocumentFile(a));
    // The prompt refuses an empty entry, so the database cannot be opened now.
    prompts.expectDialog("Enter Password", [](QDialog& d) {
        typePassword(d, "");
        EXPECT_TRUE(d.result() == QDialog::Rejected);
        cancel(d);
    });
    prompts.expectMessage("The password cannot be empty.", QMessageBox::Ok, QMessageBox::Critical);
    EXPECT_FALSE(doc.openDocumentFile(e));
    prompts.verify();
    EXPECT_EQ(doc.store().dbTitle(), u"Alpha");

    // Once the held password is empty again it opens without a prompt.
    doc.store().setPassword(u"");
    EXPECT_TRUE(doc.openDocumentFile(e));
    EXPECT_EQ(doc.store().dbTitle(), u"Empty");
}

TEST_F(DocTest, SamePasswordOpensWithoutAPrompt)
{
    const QString a = makeDatabase("a.nte", u"shared", u"Alpha");
    const QString b = makeDatabase("b.nte", u"shared", u"Beta");
    {
        ScriptedPrompts prompts;
        prompts.expectDialog("Enter Password", [](QDialog& d) { typePassword(d, "shared"); });
        ASSERT_TRUE(doc.openDocumentFile(a));
    }
    ScriptedPrompts none;
    ASSERT_TRUE(doc.openDocumentFile(b));
    EXPECT_EQ(doc.store().dbTitle(), u"Beta");
    // The open database again: nothing is read, nothing asked.
    doc.store().addRecord(0, 0, u"in memory", u"");
    doc.setModifiedFlag(true);
    EXPECT_TRUE(doc.openDocumentFile(b));
    EXPECT_EQ(doc.store().records().size(), 3u);
}

TEST_F(DocTest, FirstSaveAsksForPropertiesProposingTheBaseName)
{
    doc.fileNew();
    const QString path = QString::fromStdString(dir.file("Diary.nte"));
    ScriptedPrompts prompts;
    prompts.expectSaveFile(path, "Untitled.nte")
        .expectDialog("Database Properties", [](QDialog& d) {
            EXPECT_EQ(ScriptedPrompts::text(d, 1000), "Diary");
            EXPECT_EQ(ScriptedPrompts::text(d, 1002), "");
            EXPECT_EQ(ScriptedPrompts::text(d, 1008), "");
            EXPECT_EQ(ScriptedPrompts::text(d, 1009), "");
            ScriptedPrompts::setText(d, 1008, "pw");
            ScriptedPrompts::setText(d, 1009, "pw");
            ScriptedPrompts::click(d, ScriptedPrompts::IDOK);
        });
    ASSERT_TRUE(doc.fileSave());
    prompts.verify();
    EXPECT_EQ(doc.store().dbTitle(), u"Diary");
    EXPECT_EQ(doc.store().findRecord(0)->title, u"Diary");
    EXPECT_EQ(doc.title(), "Diary.nte");
    EXPECT_FALSE(doc.isModified());

    NotesMgr reader;
    reader.setPassword(u"pw");
    reader.load(path.toStdString());
    EXPECT_EQ(reader.dbTitle(), u"Diary");

    // A titled database saves without the dialog.
    doc.setModifiedFlag(true);
    ASSERT_TRUE(doc.fileSave());
    EXPECT_TRUE(QFileInfo::exists(path + ".bak"));
}

TEST_F(DocTest, CancelledPropertiesOnSaveAsWriteAndRemoveNothing)
{
    doc.fileNew();
    doc.store().addRecord(0, 0, u"n", u"");
    doc.setModifiedFlag(true);
    const std::string existing = dir.file("keep.nte");
    writeFile(existing, hex("01 02 03"));
    ScriptedPrompts prompts;
    prompts.expectSaveFile(QString::fromStdString(existing)).expectDialog("Database Properties", cancel);
    EXPECT_FALSE(doc.fileSaveAs());
    EXPECT_EQ(readFile(existing), hex("01 02 03"));
    EXPECT_TRUE(doc.isModified());
    EXPECT_TRUE(doc.store().dbTitle().empty());
    EXPECT_TRUE(doc.pathName().isEmpty());
}

TEST_F(DocTest, FailedWriteLeavesTheDatabaseModified)
{
    doc.fileNew();
    doc.store().setDbTitle(u"titled");
    doc.setModifiedFlag(true);
    ScriptedPrompts prompts;
    prompts.expectSaveFile(QString::fromStdString(dir.file("no-such-folder/x.nte")));
    EXPECT_THROW(doc.fileSaveAs(), FileException);
    EXPECT_TRUE(doc.isModified());
    EXPECT_TRUE(doc.pathName().isEmpty());
}

TEST_F(DocTest, PropertiesWithoutChangeStillMarkModified)
{
    doc.fileNew();
    doc.store().setDbTitle(u"T");
    doc.store().setDbDescription(u"line 1\r\nline 2");
    doc.store().setPassword(u"secret");
    const int updatesBefore = view.updates;
    ScriptedPrompts prompts;
    prompts.expectDialog("Database Properties", [](QDialog& d) {
        EXPECT_EQ(ScriptedPrompts::text(d, 1008), "secret");
        EXPECT_EQ(ScriptedPrompts::text(d, 1009), "secret");
        ScriptedPrompts::click(d, ScriptedPrompts::IDOK);
    });
    doc.databaseProperties();
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.store().dbTitle(), u"T");
    EXPECT_EQ(doc.store().dbDescription(), u"line 1\r\nline 2");
    EXPECT_EQ(doc.store().password(), u"secret");
    EXPECT_EQ(doc.store().findRecord(0)->title, u"T");
    EXPECT_GT(view.updates, updatesBefore);

    doc.setModifiedFlag(false);
    prompts.expectDialog("Database Properties", cancel);
    doc.databaseProperties();
    EXPECT_FALSE(doc.isModified());
}

struct SaveQuestionCase {
    const char* name;
    QMessageBox::StandardButton answer;
    bool goesOn;
    bool saved;
};

void PrintTo(const SaveQuestionCase& c, std::ostream* os)
{
    *os << c.name;
}

class SaveQuestion : public DocTest, public ::testing::WithParamInterface<SaveQuestionCase> {};

TEST_P(SaveQuestion, OnNewAndOpen)
{
    const auto& c = GetParam();
    const QString other = makeDatabase("other.nte", u"", u"Other");
    for (bool viaOpen : {false, true}) {
        SCOPED_TRACE(viaOpen ? "open" : "new");
        const QString path = makeDatabase("mine.nte", u"", u"Mine");
        doc.store().setPassword(u"");
        ASSERT_TRUE(doc.openDocumentFile(path));
        doc.store().addRecord(0, 0, u"edited", u"");
        doc.setModifiedFlag(true);
        {
            ScriptedPrompts prompts;
            prompts.expectMessage("Save changes to mine.nte?", c.answer);
            const bool result = viaOpen ? doc.openDocumentFile(other) : doc.fileNew();
            EXPECT_EQ(result, c.goesOn);
        }
        NotesMgr onDisk;
        onDisk.load(path.toStdString());
        EXPECT_EQ(onDisk.records().size(), c.saved ? 3u : 2u);
        if (c.goesOn) {
            EXPECT_FALSE(doc.isModified());
            EXPECT_EQ(doc.store().dbTitle(), viaOpen ? u"Other" : u"");
        } else {
            EXPECT_TRUE(doc.isModified());
            EXPECT_EQ(doc.store().records().size(), 3u);
        }
        doc.setModifiedFlag(false);
        doc.fileNew();
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, SaveQuestion, ::testing::Values(
    SaveQuestionCase{"Yes", QMessageBox::Yes, true, true},
    SaveQuestionCase{"No", QMessageBox::No, true, false},
    SaveQuestionCase{"Cancel", QMessageBox::Cancel, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocTest, ClipNoteSurvivesNewAndOpen)
{
    const QString a = makeDatabase("a.nte", u"", u"Alpha");
    auto note = std::make_unique<NoteRecord>();
    note->title = u"copied";
    doc.setClipNote(std::move(note));
    doc.fileNew();
    ASSERT_TRUE(doc.openDocumentFile(a));
    ASSERT_NE(doc.clipNote(), nullptr);
    EXPECT_EQ(doc.clipNote()->title, u"copied");
}

} // namespace
