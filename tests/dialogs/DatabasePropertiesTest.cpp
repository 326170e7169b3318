#include "ScriptedPrompts.h"

#include "dialogs/CDatabaseProperties.h"
#include "framework/DialogUnits.h"
#include "framework/Prompts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using P = CDatabaseProperties;
using S = ScriptedPrompts;

const QString CAPTION = QStringLiteral("Database Properties");
const QString TITLE_EMPTY = QStringLiteral("The title cannot be empty.");
const QString NO_MATCH = QStringLiteral("The password confirmation does not match.");

QPlainTextEdit* description(QDialog& d)
{
    return controlById<QPlainTextEdit>(&d, P::IDC_DESCRIPTION);
}

struct ValidationCase {
    const char* name;
    QString title, password, repeat;
    QString message;  // empty: OK closes the dialog
};

TEST(DatabasePropertiesTest, OkChecksTheTitleFirstThenTheExactRepeat)
{
    const std::vector<ValidationCase> cases{
        {"empty title and differing passwords", "", "one", "two", TITLE_EMPTY},
        {"passwords differing in case only", "Notes", "Secret", "secret", NO_MATCH},
        {"repeat a prefix of the password", "Notes", "secret", "secre", NO_MATCH},
        {"space against nothing", "Notes", "", " ", NO_MATCH},
        {"both passwords empty", "Notes", "", "", ""},
        {"a one-space title", " ", "pw", "pw", ""},
    };
    for (const ValidationCase& c : cases) {
        SCOPED_TRACE(c.name);
        S p;
        p.expectDialog(CAPTION, [&](QDialog& d) {
            S::setText(d, P::IDC_TITLE, c.title);
            S::setText(d, P::IDC_PASSWORD, c.password);
            S::setText(d, P::IDC_REPEAT, c.repeat);
            S::click(d, S::IDOK);
            if (d.result() == QDialog::Rejected)
                S::click(d, S::IDCANCEL);
        });
        if (!c.message.isEmpty())
            p.expectMessage(c.message, QMessageBox::Ok, QMessageBox::Critical);
        P dlg;
        dlg.setPassword("old");
        dlg.setRepeat("old");
        EXPECT_EQ(prompts::exec(dlg), c.message.isEmpty() ? QDialog::Accepted : QDialog::Rejected);
        if (c.message.isEmpty()) {
            EXPECT_EQ(dlg.title(), c.title);
            EXPECT_EQ(dlg.password(), c.password);
        }
    }
}

class DatabasePropertiesValues : public ::testing::Test {
protected:
    // Store line breaks, a blank line, a trailing break, a no-break space,
    // a line separator and a tab: all must come back as they were.
    const QString title = QStringLiteral("Family \u00e9t\u00e9 notes");
    const QString text = QStringLiteral("First line\r\nSecond\u00a0line\r\n\r\n\tIndented\u2028same\r\n");
    const QString password = QStringLiteral("Pa ss\u20ac");

    P dlg;
    void SetUp() override
    {
        dlg.setTitle(title);
        dlg.setDescription(text);
        dlg.setPassword(password);
        dlg.setRepeat(password);
    }
};

TEST_F(DatabasePropertiesValues, OkWithoutChangesReturnsTheCallersValues)
{
    S p;
    p.expectDialog(CAPTION, [&](QDialog& d) {
        EXPECT_EQ(description(d)->document()->blockCount(), 5);
        EXPECT_FALSE(S::text(d, P::IDC_DESCRIPTION).contains('\r'));
        for (int id : {P::IDC_PASSWORD, P::IDC_REPEAT}) {
            const QLineEdit* edit = controlById<QLineEdit>(&d, id);
            EXPECT_EQ(edit->text(), password);
            EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
        }
        S::click(d, S::IDOK);
    });
    EXPECT_EQ(prompts::exec(dlg), QDialog::Accepted);
    EXPECT_EQ(dlg.title(), title);
    EXPECT_EQ(dlg.description(), text);
    EXPECT_EQ(dlg.password(), password);
    EXPECT_EQ(dlg.repeat(), password);
}

TEST_F(DatabasePropertiesValues, CancelAfterEditingKeepsTheCallersValues)
{
    S p;
    p.expectDialog(CAPTION, [](QDialog& d) {
        S::setText(d, P::IDC_TITLE, "other");
        S::setText(d, P::IDC_DESCRIPTION, "changed");
        S::setText(d, P::IDC_PASSWORD, "x");
        S::click(d, S::IDCANCEL);
    });
    EXPECT_EQ(prompts::exec(dlg), QDialog::Rejected);
    EXPECT_EQ(dlg.title(), title);
    EXPECT_EQ(dlg.description(), text);
    EXPECT_EQ(dlg.password(), password);
}

// Keys as a user types them into the shown dialog.
class DatabasePropertiesKeys : public ::testing::Test {
protected:
    int run(const std::function<void(QDialog&)>& act, const QString& refusal = {})
    {
        S p;
        p.expectDialog(CAPTION, [&](QDialog& d) {
            d.show();
            act(d);
        });
        if (!refusal.isEmpty())
            p.expectMessage(refusal, QMessageBox::Ok, QMessageBox::Critical);
        dlg.setTitle("Notes");
        return prompts::exec(dlg);
    }
    P dlg;
};

TEST_F(DatabasePropertiesKeys, EnterInTheDescriptionPressesOkAndCtrlEnterBreaksTheLine)
{
    EXPECT_EQ(run([](QDialog& d) {
                  QTest::keyClicks(description(d), "one");
                  QTest::keyClick(description(d), Qt::Key_Return, Qt::ControlModifier);
                  QTest::keyClicks(description(d), "two");
                  EXPECT_TRUE(d.isVisible());
                  QTest::keyClick(description(d), Qt::Key_Enter, Qt::KeypadModifier);
              }),
              QDialog::Accepted);
    EXPECT_EQ(dlg.description(), "one\r\ntwo");
}

TEST_F(DatabasePropertiesKeys, EnterInTheDescriptionRunsTheChecks)
{
    EXPECT_EQ(run(
                  [](QDialog& d) {
                      S::setText(d, P::IDC_TITLE, "");
                      QTest::keyClick(description(d), Qt::Key_Return);
                      EXPECT_TRUE(d.isVisible());
                      S::click(d, S::IDCANCEL);
                  },
                  TITLE_EMPTY),
              QDialog::Rejected);
}

TEST_F(DatabasePropertiesKeys, EnterInEveryLineBoxPressesOk)
{
    for (int id : {P::IDC_TITLE, P::IDC_PASSWORD, P::IDC_REPEAT}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(run([id](QDialog& d) { QTest::keyClick(controlById<QLineEdit>(&d, id), Qt::Key_Return); }),
                  QDialog::Accepted);
    }
}

TEST_F(DatabasePropertiesKeys, FocusStartsInTheTitleAndTabLeavesTheDescription)
{
    run([](QDialog& d) {
        EXPECT_EQ(d.focusWidget(), controlById<QLineEdit>(&d, P::IDC_TITLE));
        description(d)->setFocus();
        QTest::keyClick(description(d), Qt::Key_Tab);
        EXPECT_EQ(d.focusWidget(), controlById<QLineEdit>(&d, P::IDC_PASSWORD));
        S::click(d, S::IDCANCEL);
    });
    EXPECT_EQ(dlg.description(), "");
}

TEST(DatabasePropertiesLayout, TheDescriptionNeitherWrapsNorScrollsAndLabelsFit)
{
    P dlg;
    EXPECT_EQ(dlg.size(), DialogUnits(dlg.font()).size(186, 153));
    QPlainTextEdit* edit = description(dlg);
    EXPECT_EQ(edit->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    for (const QLabel* label : dlg.findChildren<QLabel*>())
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
            << label->text().toStdString() << " is cut off";
}

} // namespace
