// leafdesk: the desktop program.
#include "app/CNotesApp.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

bool haveDisplay()
{
    if (std::getenv("QT_QPA_PLATFORM"))
        return true;
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

} // namespace

int main(int argc, char** argv)
{
    if (!haveDisplay()) {
        std::fputs("leafdesk needs a graphical display, and none was found (DISPLAY and WAYLAND_DISPLAY are not set).\n"
                   "Without one, use the command-line tool: lockleaf info FILE, lockleaf tree FILE, lockleaf dump FILE\n"
                   "(see lockleaf --help).\n",
                   stderr);
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ardentix Lockleaf"));
    QApplication::setOrganizationName(QStringLiteral("Ardentix"));

    QStringList files = QApplication::arguments();
    files.removeFirst();
    CNotesApp app;
    if (!app.initInstance(files))
        return 1;
    return QApplication::exec();
}
