#pragma once

#include <QString>

#include <functional>

// Registers the .nte file type for the user, rewritten at every start: a
// shared-mime-info package ("Lockleaf Database File", *.nte), a desktop
// entry that opens such files with this program, and the program icon, all
// under the user's data folder ($XDG_DATA_HOME, else ~/.local/share). The
// MIME and desktop databases are refreshed only when the type was not
// registered before. Failures are silent.
class FileTypeRegistration {
public:
    static const QString MIME_TYPE;

    // dataHome: the folder to write below; programPath: the program to open files with.
    FileTypeRegistration(QString dataHome, QString programPath);

    // Refreshes the MIME and desktop databases; by default runs
    // update-mime-database and update-desktop-database when installed.
    void setRefresher(std::function<void(const QString& dataHome)> refresher);

    // Writes the files; returns whether all were written.
    bool run();

    QString mimePackagePath() const;
    QString desktopEntryPath() const;
    QString iconPath() const;

    static QString defaultDataHome();

private:
    QString dataHome_;
    QString programPath_;
    std::function<void(const QString&)> refresher_;
};
