#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

class CView;

// The one document of the program, with the single-document behaviour of
// File New, Open, Save and Save As around it: the modified flag, the path
// and title, "Save changes to %1?", the file dialogs, the initial update and
// the update broadcast to the views. Subclasses override the four virtual
// operations; exceptions they throw travel out of the file commands to the
// command handling, which shows them.
class CDocument : public QObject {
    Q_OBJECT
public:
    static QStringList fileFilters();
    static QString defaultSuffix();  // without the dot
    static QString untitled();

    explicit CDocument(QObject* parent = nullptr);
    ~CDocument() override;

    virtual void deleteContents() {}
    virtual bool onNewDocument();
    virtual bool onOpenDocument(const QString& path) = 0;
    virtual bool onSaveDocument(const QString& path) = 0;

    bool isModified() const { return modified_; }
    void setModifiedFlag(bool modified = true);
    const QString& pathName() const { return pathName_; }
    // Sets the path and makes its file name the title.
    void setPathName(const QString& path);
    const QString& title() const { return title_; }
    void setTitle(const QString& title);

    // Views are not owned; they must deregister before they go.
    void addView(CView* view);
    void removeView(CView* view);
    void updateAllViews(CView* sender = nullptr);
    void sendInitialUpdate();

    // "Save changes to %1?" when modified: Yes saves (false if the save
    // failed), No goes on, Cancel gives false.
    bool saveModified();
    // File New: ask to save, start a new document, initial update.
    bool fileNew();
    // File Open: ask for a file, then openDocumentFile.
    bool fileOpen();
    // Opens path as the document (nothing happens if it is already the open
    // one). The modified flag is cleared before the open and put back if the
    // open fails, also by an exception.
    bool openDocumentFile(const QString& path, bool askToSave = true);
    // File Save: to the current path, or Save As when there is none or the
    // file is read-only or gone.
    bool fileSave();
    bool fileSaveAs();

signals:
    void titleChanged();
    void modifiedChanged(bool modified);

private:
    bool doSave(const QString& path);

    bool modified_ = false;
    QString pathName_;
    QString title_;
    std::vector<CView*> views_;
};
