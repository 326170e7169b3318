#pragma once

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
struct NoteRecord;

// The read-only pane that shows the title and text of the record selected
// in the tree. The frame docks and owns it; the view tells it what to show.
// It keeps no record: what it shows lives in its two edits only.
class CPreviewDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int IDC_TITLE = 1000;
    static constexpr int IDC_TEXT = 1002;

    explicit CPreviewDlg(QWidget* parent = nullptr);

    // Shows the record's title and text, or clears both for null. The record
    // is read at once and not kept.
    void showRecord(const NoteRecord* record);
    // Title edit to the right edge, text edit filling the rest below it,
    // 2 pixels inside the pane.
    void layoutControls();

    // The template's size: docked at the side the pane keeps its width.
    QSize sizeHint() const override;
    // The template's width; high enough for the title and a few lines of text.
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* titleEdit_;
    QPlainTextEdit* textEdit_;
};
