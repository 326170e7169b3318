#include "dialogs/CPreviewDlg.h"
#include "framework/DialogUnits.h"
#include "store/NoteRecord.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

class PreviewDlgTest : public ::testing::Test {
protected:
    QLineEdit* title() { return controlById<QLineEdit>(&pane, CPreviewDlg::IDC_TITLE); }
    QPlainTextEdit* text() { return controlById<QPlainTextEdit>(&pane, CPreviewDlg::IDC_TEXT); }

    void show(std::u16string title, std::u16string text)
    {
        record.title = std::move(title);
        record.text = std::move(text);
        pane.showRecord(&record);
    }
    void resizeTo(int width, int height)
    {
        pane.show();
        pane.resize(width, height);
        QApplication::processEvents();
    }

    NoteRecord record;
    CPreviewDlg pane;
};

TEST_F(PreviewDlgTest, ShowsTitleAndLinesThenNullClearsBoth)
{
    show(u"Tomato soup", u"Tomatoes\r\nOnion\r\n\r\nSimmer.");
    EXPECT_EQ(title()->text(), "Tomato soup");
    EXPECT_EQ(text()->toPlainText(), "Tomatoes\nOnion\n\nSimmer.");
    EXPECT_TRUE(title()->isReadOnly());
    EXPECT_TRUE(text()->isReadOnly());
    pane.showRecord(nullptr);
    EXPECT_EQ(title()->text(), "");
    EXPECT_EQ(text()->toPlainText(), "");
}

TEST_F(PreviewDlgTest, LongContentShowsItsStartAndScrollsOnlyVertically)
{
    resizeTo(200, 150);
    std::u16string lines;
    for (int i = 0; i < 60; ++i)
        lines += u"line\r\n";
    show(std::u16string(300, u'x'), lines + std::u16string(400, u'w'));
    QApplication::processEvents();
    EXPECT_EQ(title()->cursorPosition(), 0);
    EXPECT_TRUE(text()->verticalScrollBar()->isVisible());
    EXPECT_EQ(text()->horizontalScrollBar()->maximum(), 0);
}

TEST_F(PreviewDlgTest, LayoutKeepsTheEditsTwoPixelsInsideOnEveryResize)
{
    const QRect titleBefore = title()->geometry();
    for (const QSize size : {QSize(300, 500), QSize(300, 620), QSize(250, 300), QSize(3, 3)}) {
        SCOPED_TRACE(size.width() * 1000 + size.height());
        resizeTo(size.width(), size.height());
        const QRect t = title()->geometry();
        const QRect x = text()->geometry();
        EXPECT_EQ(t.topLeft(), titleBefore.topLeft());
        EXPECT_EQ(t.height(), titleBefore.height());
        EXPECT_EQ(x.left(), 2);
        EXPECT_EQ(x.top(), t.y() + t.height() + 2);
        if (size.width() > 100) {
            EXPECT_EQ(t.x() + t.width(), size.width() - 2);
            EXPECT_EQ(x.x() + x.width(), size.width() - 2);
            EXPECT_EQ(x.y() + x.height(), size.height() - 2);
        }
    }
}

TEST_F(PreviewDlgTest, SizeHintIsTheTemplateWidth)
{
    EXPECT_EQ(pane.sizeHint().width(), DialogUnits(pane.font()).x(156));
}

} // namespace
