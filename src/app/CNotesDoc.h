#pragma once

#include "framework/CDocument.h"
#include "store/NotesMgr.h"

#include <memory>

class CommandRouter;
class Profile;

// The open database: the one note store of the run, refilled by every New
// and Open, and the clipboard note, which survives both.
class CNotesDoc : public CDocument {
    Q_OBJECT
public:
    // profile (may be null) keeps the recent-files list; it must outlive the document.
    explicit CNotesDoc(Profile* profile, QObject* parent = nullptr);
    ~CNotesDoc() override;

    NotesMgr& store() { return store_; }
    const NotesMgr& store() const { return store_; }
    const NoteRecord* clipNote() const { return clipNote_.get(); }
    void setClipNote(std::unique_ptr<NoteRecord> note) { clipNote_ = std::move(note); }

    void deleteContents() override;
    // A new database: the root folder "Untitled" with id 0.
    bool onNewDocument() override;
    // Loads path, asking for the password as long as it does not fit.
    // Cancel keeps the previous database and its password.
    bool onOpenDocument(const QString& path) override;
    // Saves to path; a database without a title first gets its properties.
    // A failed write leaves the database marked modified.
    bool onSaveDocument(const QString& path) override;

    // The Database Properties command.
    void databaseProperties();
    void registerCommands(CommandRouter& router);

    static std::string nativePath(const QString& path);

private:
    void applyProperties(const QString& title, const QString& description, const QString& password);

    NotesMgr store_;
    std::unique_ptr<NoteRecord> clipNote_;
};
