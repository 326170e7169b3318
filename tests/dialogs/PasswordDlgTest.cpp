#include "ScriptedPrompts.h"

#include "dialogs/CPasswordDlg.h"
#include "framework/DialogUnits.h"
#include "framework/Prompts.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using S = ScriptedPrompts;
const QString CAPTION = QStringLiteral("Enter Password");

QLineEdit* passwordEdit(QDialog& d)
{
    return controlById<QLineEdit>(&d, CPasswordDlg::IDC_PASSWORD);
}

TEST(PasswordDlgTest, EmptyIsRefusedAndKeepsTheDialogThenASpaceIsAccepted)
{
    S p;
    bool stayedOpen = false;
    p.expectDialog(CAPTION, [&](QDialog& d) {
        S::click(d, S::IDOK);
        stayedOpen = d.result() == QDialog::Rejected;
        S::setText(d, CPasswordDlg::IDC_PASSWORD, " ");
        S::click(d, S::IDOK);
    });
    p.expectMessage("The password cannot be empty.", QMessageBox::Ok, QMessageBox::Critical);

    CPasswordDlg dlg;
    EXPECT_EQ(prompts::exec(dlg), QDialog::Accepted);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(dlg.password(), " ");
}

TEST(PasswordDlgTest, CancelEscapeAndCloseRejectWithoutChecking)
{
    const std::vector<std::pair<const char*, std::function<void(QDialog&)>>> ways{
        {"Cancel", [](QDialog& d) { S::click(d, S::IDCANCEL); }},
        {"Escape", [](QDialog& d) { QTest::keyClick(passwordEdit(d), Qt::Key_Escape); }},
        {"close box", [](QDialog& d) { d.close(); }},
    };
    for (const auto& [name, act] : ways) {
        SCOPED_TRACE(name);
        S p;
        p.expectDialog(CAPTION, [&](QDialog& d) {
            d.show();
            S::setText(d, CPasswordDlg::IDC_PASSWORD, "");
            act(d);
            EXPECT_FALSE(d.isVisible());
        });
        CPasswordDlg dlg;
        dlg.setPassword("kept");
        EXPECT_EQ(prompts::exec(dlg), QDialog::Rejected);
        EXPECT_EQ(dlg.password(), "kept");
    }
}

TEST(PasswordDlgTest, TypingStartsInTheMaskedBoxAndEnterPressesOk)
{
    S p;
    p.expectDialog(CAPTION, [](QDialog& d) {
        d.show();
        EXPECT_EQ(d.focusWidget(), passwordEdit(d));
        EXPECT_EQ(passwordEdit(d)->echoMode(), QLineEdit::Password);
        QTest::keyClicks(d.focusWidget(), "se cret");
        QTest::keyClick(d.focusWidget(), Qt::Key_Return);
    });
    CPasswordDlg dlg;
    EXPECT_EQ(prompts::exec(dlg), QDialog::Accepted);
    EXPECT_EQ(dlg.password(), "se cret");
    EXPECT_EQ(dlg.size(), DialogUnits(dlg.font()).size(121, 46));
}

} // namespace
