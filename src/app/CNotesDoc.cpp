#include "app/CNotesDoc.h"

#include "dialogs/CDatabaseProperties.h"
#include "dialogs/CPasswordDlg.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"
#include "framework/Prompts.h"
#include "framework/WaitCursor.h"
#include "store/StoreErrors.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString qstr(const std::u16string& s)
{
    return QString::fromStdU16String(s);
}

} // namespace

CNotesDoc::CNotesDoc(Profile* profile, QObject* parent) : CDocument(parent), store_(profile)
{
}

CNotesDoc::~CNotesDoc() = default;

std::string CNotesDoc::nativePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

void CNotesDoc::deleteContents()
{
    store_.clear();
    setModifiedFlag(false);
}

bool CNotesDoc::onNewDocument()
{
    deleteContents();
    store_.addRecord(-1, 1, u"Untitled", u"");
    updateAllViews();
    return true;
}

bool CNotesDoc::onOpenDocument(const QString& path)
{
    WaitCursor::endAll();
    // Each OK in the password prompt tries the typed password; Cancel puts
    // back the one held before, so the database that stays open is never
    // saved under a password typed for another file.
    const std::u16string before = store_.password();
    for (;;) {
        try {
            store_.load(nativePath(path));
            setModifiedFlag(false);
            return true;
        } catch (const WrongPasswordError&) {
            CPasswordDlg dialog;
            if (prompts::exec(dialog) != QDialog::Accepted) {
                store_.setPassword(before);
                return false;
            }
            store_.setPassword(dialog.password().toStdU16String());
        } catch (...) {
            store_.setPassword(before);
            throw;
        }
    }
}

bool CNotesDoc::onSaveDocument(const QString& path)
{
    WaitCursor::endAll();
    if (store_.dbTitle().empty()) {
        CDatabaseProperties dialog;
        dialog.setTitle(QFileInfo(path).completeBaseName());
        if (prompts::exec(dialog) != QDialog::Accepted)
            return false;
        applyProperties(dialog.title(), dialog.description(), dialog.password());
    }
    setModifiedFlag(false);
    try {
        store_.save(nativePath(path));
    } catch (...) {
        setModifiedFlag(true);
        throw;
    }
    return true;
}

void CNotesDoc::applyProperties(const QString& title, const QString& description, const QString& password)
{
    store_.setDbTitle(title.toStdU16String());
    store_.setDbDescription(description.toStdU16String());
    store_.setPassword(password.toStdU16String());
    if (NoteRecord* root = store_.findRecord(0))
        root->title = title.toStdU16String();
    updateAllViews();
}

void CNotesDoc::databaseProperties()
{
    CDatabaseProperties dialog;
    dialog.setTitle(qstr(store_.dbTitle()));
    dialog.setDescription(qstr(store_.dbDescription()));
    dialog.setPassword(qstr(store_.password()));
    dialog.setRepeat(qstr(store_.password()));
    if (prompts::exec(dialog) != QDialog::Accepted)
        return;
    applyProperties(dialog.title(), dialog.description(), dialog.password());
    setModifiedFlag(true);
}

void CNotesDoc::registerCommands(CommandRouter& router)
{
    using L = CommandRouter::Level;
    router.add(L::document, cmd::FILE_SAVE, [this] { fileSave(); });
    router.add(L::document, cmd::FILE_SAVE_AS, [this] { fileSaveAs(); });
    router.add(L::document, cmd::DB_PROPERTIES, [this] { databaseProperties(); });
    router.add(L::document, cmd::DB_PROPERTIES_FROM_TREE, [this] { databaseProperties(); });
}
