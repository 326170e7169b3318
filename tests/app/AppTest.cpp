#include "ScriptedPrompts.h"
#include "TestSupport.h"

#include "app/CMainFrame.h"
#include "app/CNotesApp.h"
#include "app/CNotesDoc.h"
#include "app/CStartUpDlg.h"
#include "app/FileTypeRegistration.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"
#include "framework/SettingsProfile.h"
#include "store/Utf.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSettings>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class AppTest : public ::testing::Test {
protected:
    CNotesApp::Options options()
    {
        CNotesApp::Options o;
        o.settingsFile = QString::fromStdString(dir.file("settings.ini"));
        o.dataHome = QString::fromStdString(dir.file("data"));
        o.programPath = QStringLiteral("/opt/lock leaf/bin/leafdesk");
        o.refresher = [this](const QString&) { ++refreshes; };
        return o;
    }

    QString makeDatabase(const std::string& name, const std::u16string& password)
    {
        NotesMgr mgr;
        mgr.setDbTitle(u"Title of " + utf::fromUtf8(name));
        mgr.addRecord(-1, 1, mgr.dbTitle(), u"");
        mgr.setPassword(password);
        mgr.save(dir.file(name));
        return QString::fromStdString(dir.file(name));
    }

    static void chooseEmpty(QDialog& d) { ScriptedPrompts::click(d, CStartUpDlg::ID_EMPTY); }

    TempDir dir;
    int refreshes = 0;
};

TEST_F(AppTest, FileTypeIsWrittenAtEveryStartAndRefreshedOnlyTheFirstTime)
{
    for (int run = 0; run < 3; ++run) {
        if (run == 2)
            QFile::remove(QString::fromStdString(dir.file("data/applications/lockleaf.desktop")));
        ScriptedPrompts prompts;
        prompts.expectDialog("Ardentix Lockleaf", chooseEmpty);
        CNotesApp app(options());
        ASSERT_TRUE(app.initInstance({}));
    }
    EXPECT_EQ(refreshes, 1);

    QFile desktop(QString::fromStdString(dir.file("data/applications/lockleaf.desktop")));
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    const QString entry = QString::fromUtf8(desktop.readAll());
    EXPECT_TRUE(entry.contains("\nExec=\"/opt/lock leaf/bin/leafdesk\" %f\n")) << entry.toStdString();
    EXPECT_TRUE(entry.contains("\nMimeType=application/x-lockleaf-database;\n"));
    QFile mime(QString::fromStdString(dir.file("data/mime/packages/lockleaf.xml")));
    ASSERT_TRUE(mime.open(QIODevice::ReadOnly));
    const QString package = QString::fromUtf8(mime.readAll());
    EXPECT_TRUE(package.contains("<comment>Lockleaf Database File</comment>"));
    EXPECT_TRUE(package.contains("<glob pattern=\"*.nte\"/>"));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(dir.file("data/icons/hicolor/256x256/apps/lockleaf.png"))));
}

TEST_F(AppTest, ExecLineQuotesReservedCharacters)
{
    FileTypeRegistration r(QString::fromStdString(dir.file("d")), QStringLiteral("/a\"b/$x\\y%z"));
    r.setRefresher({});
    ASSERT_TRUE(r.run());
    QFile f(r.desktopEntryPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("Exec=\"/a\\\\\"b/\\\\$x\\\\\\\\y%%z\" %f\n"));
}

TEST_F(AppTest, ChooserDropsAMissingRecentFile)
{
    const QString good = makeDatabase("good.nte", u"");
    const QString missing = QString::fromStdString(dir.file("deleted.nte"));
    {
        QSettings s(QString::fromStdString(dir.file("settings.ini")), QSettings::IniFormat);
        s.setValue("RecentFiles/File0", missing);
        s.setValue("RecentFiles/File1", good);
    }
    {
        ScriptedPrompts prompts;
        prompts.expectDialog("Ardentix Lockleaf", [&](QDialog& d) {
            auto* list = d.findChild<QListWidget*>("1017");
            ASSERT_NE(list, nullptr);
            ASSERT_EQ(list->count(), 3);
            EXPECT_EQ(list->item(0)->text(), "Recent Files...");
            auto& chooser = static_cast<CStartUpDlg&>(d);
            chooser.openRecentLine(0);  // the heading: nothing happens
            chooser.openRecentLine(1);  // the missing file: message, line removed, dialog stays
            ASSERT_EQ(list->count(), 2);
            EXPECT_EQ(list->item(1)->text(), good);
            chooser.openRecentLine(1);
        });
        prompts.expectMessage(missing + " was not found.", QMessageBox::Ok, QMessageBox::Critical);
        CNotesApp app(options());
        ASSERT_TRUE(app.initInstance({}));
        prompts.verify();
        EXPECT_EQ(app.doc().store().dbTitle(), u"Title of good.nte");
    }
    QSettings s(QString::fromStdString(dir.file("settings.ini")), QSettings::IniFormat);
    EXPECT_EQ(s.value("RecentFiles/File0").toString(), good);
    EXPECT_EQ(s.value("RecentFiles/File1").toString(), "");
}

TEST_F(AppTest, FirstStartShowsOnlyTheRecentHeading)
{
    ScriptedPrompts prompts;
    prompts.expectDialog("Ardentix Lockleaf", [](QDialog& d) {
        auto* list = d.findChild<QListWidget*>("1017");
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->count(), 1);
        ScriptedPrompts::click(d, CStartUpDlg::ID_EMPTY);
        EXPECT_EQ(d.result(), QDialog::Accepted);
    });
    CNotesApp app(options());
    ASSERT_TRUE(app.initInstance({}));
    EXPECT_EQ(app.frame().windowTitle(), "Untitled - Lockleaf");
    EXPECT_TRUE(app.frame().isVisible());
}

TEST_F(AppTest, CommandLineDatabaseOpensWithoutTheChooser)
{
    const QString path = makeDatabase("cmd.nte", u"");
    ScriptedPrompts none;
    CNotesApp app(options());
    ASSERT_TRUE(app.initInstance({path}));
    EXPECT_EQ(app.frame().windowTitle(), "cmd.nte - Lockleaf");
}

TEST_F(AppTest, CancelledOrFailedCommandLineOpenEndsTheProgram)
{
    const QString locked = makeDatabase("locked.nte", u"secret");
    {
        ScriptedPrompts prompts;
        prompts.expectDialog("Enter Password", [](QDialog& d) { ScriptedPrompts::click(d, ScriptedPrompts::IDCANCEL); });
        CNotesApp app(options());
        EXPECT_FALSE(app.initInstance({locked}));
    }
    const QString missing = QString::fromStdString(dir.file("missing.nte"));
    ScriptedPrompts prompts;
    prompts.expectMessage(missing + " was not found.", QMessageBox::Ok, QMessageBox::Critical);
    CNotesApp app(options());
    EXPECT_FALSE(app.initInstance({missing}));
}

TEST_F(AppTest, AboutBoxNamesTheVersion)
{
    ScriptedPrompts prompts;
    prompts.expectDialog("Ardentix Lockleaf", chooseEmpty);
    CNotesApp app(options());
    ASSERT_TRUE(app.initInstance({}));
    prompts.expectDialog("About Ardentix Lockleaf", [](QDialog& d) {
        bool found = false;
        for (auto* label : d.findChildren<QLabel*>())
            found = found || label->text() == "Ardentix Lockleaf 3.1";
        EXPECT_TRUE(found);
        ScriptedPrompts::click(d, ScriptedPrompts::IDOK);
    });
    EXPECT_TRUE(app.router().execute(cmd::APP_ABOUT));
}

} // namespace
