#pragma once

#include <QDialog>

#include <functional>

class NotesMgr;
class QListWidget;

// The start-up chooser: a new empty database (the one already open), an
// existing file, or one of the recent files. Enter closes it with OK,
// Escape with Cancel; the caller ignores which.
class CStartUpDlg : public QDialog {
    Q_OBJECT
public:
    // open runs the program's open path for a file and returns its result;
    // it throws what that path throws.
    using Opener = std::function<bool(const QString& path)>;

    CStartUpDlg(NotesMgr& store, Opener open, QWidget* parent = nullptr);

    static constexpr int ID_EMPTY = 1015;
    static constexpr int ID_OPEN = 1016;
    static constexpr int ID_RECENT = 1017;

    // Opens entry line - 1 of the recent list, as a double click does.
    void openRecentLine(int line);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openExisting();

    NotesMgr& store_;
    Opener open_;
    QListWidget* list_;
};
