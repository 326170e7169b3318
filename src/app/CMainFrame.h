#pragma once

#include <QMainWindow>

class CNotesDoc;
class CNotesView;
class CPreviewDlg;
class CToolBarEx;
class CommandRouter;
class QDockWidget;
class SettingsProfile;

// The main window: menu bar, toolbar, the tree view as client and the
// preview pane docked at the right. Saves its layout on every close request
// and restores it before it is first shown.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // settings may be null (no layout is read or written).
    CMainFrame(CNotesDoc& doc, CommandRouter& router, SettingsProfile* settings, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CNotesView& view() const { return *view_; }
    CPreviewDlg& preview() const { return *preview_; }
    QDockWidget& previewDock() const { return *previewDock_; }
    CToolBarEx& toolBar() const { return *toolBar_; }

    // Hands the preview to the view and applies the saved placement and
    // preview visibility (defaults: 150,150, 460×340, preview shown).
    void restoreLayout();
    void saveLayout();
    bool previewVisible() const;
    void togglePreview();

    static const QString LAYOUT_SECTION;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void updateTitle();

    CNotesDoc& doc_;
    CommandRouter& router_;
    SettingsProfile* settings_;
    CNotesView* view_;
    CPreviewDlg* preview_;
    QDockWidget* previewDock_;
    CToolBarEx* toolBar_;
};
