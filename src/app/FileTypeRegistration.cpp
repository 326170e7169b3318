#include "app/FileTypeRegistration.h"

#include "app/ToolbarArt.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

const QString FileTypeRegistration::MIME_TYPE = QStringLiteral("application/x-lockleaf-database");

namespace {

bool writeFile(const QString& path, const QByteArray& content)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(content);
    return file.commit();
}

// A desktop entry's Exec value: the program quoted, with the characters
// that the quoting rules reserve escaped.
QString quoteExec(const QString& program)
{
    QString escaped;
    // Inside the quotes " ` $ \ take a backslash; the file's string escapes
    // then double every backslash.
    for (QChar c : program) {
        if (c == QLatin1Char('\\'))
            escaped += QStringLiteral("\\\\\\\\");
        else if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$'))
            escaped += QStringLiteral("\\\\") + c;
        else
            escaped += c;
    }
    escaped.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

void runRefreshTools(const QString& dataHome)
{
    const QString mime = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    if (!mime.isEmpty())
        QProcess::startDetached(mime, {dataHome + QStringLiteral("/mime")});
    const QString desktop = QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (!desktop.isEmpty())
        QProcess::startDetached(desktop, {dataHome + QStringLiteral("/applications")});
}

} // namespace

FileTypeRegistration::FileTypeRegistration(QString dataHome, QString programPath)
    : dataHome_(std::move(dataHome)), programPath_(std::move(programPath)), refresher_(runRefreshTools)
{
}

void FileTypeRegistration::setRefresher(std::function<void(const QString&)> refresher)
{
    refresher_ = std::move(refresher);
}

QString FileTypeRegistration::defaultDataHome()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

QString FileTypeRegistration::mimePackagePath() const
{
    return dataHome_ + QStringLiteral("/mime/packages/lockleaf.xml");
}

QString FileTypeRegistration::desktopEntryPath() const
{
    return dataHome_ + QStringLiteral("/applications/lockleaf.desktop");
}

QString FileTypeRegistration::iconPath() const
{
    return dataHome_ + QStringLiteral("/icons/hicolor/256x256/apps/lockleaf.png");
}

bool FileTypeRegistration::run()
{
    // Registered before when our MIME package is there and names the type.
    QFile existing(mimePackagePath());
    const bool registeredBefore = existing.open(QIODevice::ReadOnly) && existing.readAll().contains(MIME_TYPE.toUtf8());

    const QByteArray mimePackage =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"" + MIME_TYPE.toUtf8() + "\">\n"
        "    <comment>Lockleaf Database File</comment>\n"
        "    <icon name=\"lockleaf\"/>\n"
        "    <glob pattern=\"*.nte\"/>\n"
        "  </mime-type>\n"
        "</mime-info>\n";
    const QByteArray desktopEntry =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=Lockleaf\n"
        "Comment=Password-protected notes database\n"
        "Exec=" + quoteExec(programPath_).toUtf8() + " %f\n"
        "Icon=lockleaf\n"
        "MimeType=" + MIME_TYPE.toUtf8() + ";\n"
        "Categories=Office;Utility;\n"
        "Terminal=false\n";

    QByteArray icon;
    {
        QBuffer buffer(&icon);
        buffer.open(QIODevice::WriteOnly);
        toolbarart::programIcon().pixmap(256, 256).save(&buffer, "PNG");
    }

    const bool written = writeFile(mimePackagePath(), mimePackage) && writeFile(desktopEntryPath(), desktopEntry)
                         && writeFile(iconPath(), icon);
    if (written && !registeredBefore && refresher_)
        refresher_(dataHome_);
    return written;
}
