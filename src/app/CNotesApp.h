#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class CMainFrame;
class CNotesDoc;
class CommandRouter;
class SettingsProfile;

// The desktop program: registers the file type, makes the document, frame
// and view, opens the database named on the command line or a new one with
// the start-up chooser, and shows the main window.
class CNotesApp : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString settingsFile;  // empty: the user's settings
        QString dataHome;      // empty: $XDG_DATA_HOME or ~/.local/share
        QString programPath;   // empty: this program
        std::function<void(const QString& dataHome)> refresher;  // empty: the system tools
    };

    explicit CNotesApp(Options options = {});
    ~CNotesApp() override;

    // The start-up sequence; files holds the command line's file names (the
    // first one is opened). False when the program must end: the open was
    // cancelled or failed (its message has been shown).
    bool initInstance(const QStringList& files);

    CNotesDoc& doc() const { return *doc_; }
    CMainFrame& frame() const { return *frame_; }
    CommandRouter& router() const { return *router_; }
    SettingsProfile& settings() const { return *settings_; }

    void about();
    // The open path shared by File Open, the chooser and dropped files.
    bool openDocumentFile(const QString& path);

    static QString version();

private:
    void startUpChooser();

    Options options_;
    // Declared first so that it outlives the store, which writes the
    // recent-files list when it goes.
    std::unique_ptr<SettingsProfile> settings_;
    std::unique_ptr<CommandRouter> router_;
    std::unique_ptr<CNotesDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
};
