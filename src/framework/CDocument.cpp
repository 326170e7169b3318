#include "framework/CDocument.h"

#include "framework/CView.h"
#include "framework/Prompts.h"
#include "framework/WaitCursor.h"

#include <QApplication>
#include <QFileInfo>

#include <algorithm>

namespace {

// The same file: by canonical path when both exist, else by absolute path.
bool samePath(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    if (!ca.isEmpty() && !cb.isEmpty())
        return ca == cb;
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

} // namespace

QStringList CDocument::fileFilters()
{
    return {QStringLiteral("Lockleaf Files (*.nte)"), QStringLiteral("All Files (*.*)")};
}

QString CDocument::defaultSuffix()
{
    return QStringLiteral("nte");
}

QString CDocument::untitled()
{
    return QStringLiteral("Untitled");
}

CDocument::CDocument(QObject* parent) : QObject(parent), title_(untitled())
{
}

CDocument::~CDocument() = default;

bool CDocument::onNewDocument()
{
    deleteContents();
    setModifiedFlag(false);
    return true;
}

void CDocument::setModifiedFlag(bool modified)
{
    if (modified_ == modified)
        return;
    modified_ = modified;
    emit modifiedChanged(modified);
}

void CDocument::setPathName(const QString& path)
{
    pathName_ = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    setTitle(path.isEmpty() ? untitled() : QFileInfo(path).fileName());
}

void CDocument::setTitle(const QString& title)
{
    title_ = title;
    emit titleChanged();
}

void CDocument::addView(CView* view)
{
    views_.push_back(view);
}

void CDocument::removeView(CView* view)
{
    std::erase(views_, view);
}

void CDocument::updateAllViews(CView* sender)
{
    for (CView* v : views_)
        if (v != sender)
            v->onUpdate(sender);
}

void CDocument::sendInitialUpdate()
{
    for (CView* v : views_)
        v->onInitialUpdate();
}

bool CDocument::saveModified()
{
    if (!modified_)
        return true;
    const QString name = pathName_.isEmpty() ? title_ : QFileInfo(pathName_).fileName();
    const auto answer = prompts::message(QApplication::activeWindow(),
                                         QStringLiteral("Save changes to %1?").arg(name),
                                         QMessageBox::Warning,
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer == QMessageBox::No)
        return true;
    return fileSave();
}

bool CDocument::fileNew()
{
    if (!saveModified())
        return false;
    if (!onNewDocument())
        return false;
    setPathName({});
    sendInitialUpdate();
    return true;
}

bool CDocument::fileOpen()
{
    const QString path = prompts::openFile(QApplication::activeWindow(), QStringLiteral("Open"), fileFilters());
    if (path.isEmpty())
        return false;
    return openDocumentFile(path);
}

bool CDocument::openDocumentFile(const QString& path, bool askToSave)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!pathName_.isEmpty() && samePath(absolute, pathName_))
        return true;
    if (askToSave && !saveModified())
        return false;

    WaitCursor wait;
    const bool wasModified = modified_;
    setModifiedFlag(false);
    bool opened = false;
    try {
        opened = onOpenDocument(absolute);
    } catch (...) {
        // A failed open leaves the previous document as it was, flag included.
        setModifiedFlag(wasModified);
        throw;
    }
    if (!opened) {
        setModifiedFlag(wasModified);
        return false;
    }
    setPathName(absolute);
    wait.restore();
    sendInitialUpdate();
    return true;
}

bool CDocument::fileSave()
{
    const QFileInfo info(pathName_);
    if (pathName_.isEmpty() || !info.exists() || !info.isWritable())
        return doSave({});
    return doSave(pathName_);
}

bool CDocument::fileSaveAs()
{
    return doSave({});
}

bool CDocument::doSave(const QString& path)
{
    QString target = path;
    if (target.isEmpty()) {
        QString proposed = pathName_.isEmpty() ? title_ : pathName_;
        if (QFileInfo(proposed).suffix().isEmpty())
            proposed += QLatin1Char('.') + defaultSuffix();
        target = prompts::saveFile(QApplication::activeWindow(), QStringLiteral("Save As"), proposed,
                                   fileFilters(), defaultSuffix());
        if (target.isEmpty())
            return false;
    }
    WaitCursor wait;
    // Unlike a Save As that removes the chosen file when saving fails,
    // nothing is deleted here: the file may be one the user still needs.
    if (!onSaveDocument(target))
        return false;
    setPathName(target);
    return true;
}
