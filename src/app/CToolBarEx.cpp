#include "app/CToolBarEx.h"

#include "app/ToolbarArt.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"

#include <QAction>
#include <QEvent>

const int CToolBarEx::SLOTS[17] = {
    cmd::FILE_NEW, cmd::FILE_OPEN, cmd::FILE_SAVE, 0,
    cmd::EDIT_CUT, cmd::EDIT_COPY, cmd::EDIT_PASTE, 0,
    cmd::NEW_FOLDER, cmd::NEW_NOTE, cmd::DELETE_ITEM, 0,
    cmd::VIEW_PREVIEW, 0,
    cmd::TOOL_FIND, 0,
    cmd::APP_ABOUT,
};

QString CToolBarEx::tooltipFor(int id)
{
    switch (id) {
    case cmd::EDIT_CUT: return QStringLiteral("Cut");
    case cmd::EDIT_COPY: return QStringLiteral("Copy");
    case cmd::EDIT_PASTE: return QStringLiteral("Paste");
    case cmd::NEW_FOLDER: return QStringLiteral("New Folder");
    case cmd::NEW_NOTE: return QStringLiteral("New Note");
    case cmd::DELETE_ITEM: return QStringLiteral("Delete");
    case cmd::VIEW_PREVIEW: return QStringLiteral("Preview pane");
    case cmd::TOOL_FIND: return QStringLiteral("Find");
    case cmd::APP_ABOUT: return QStringLiteral("About");
    default: return {};
    }
}

CToolBarEx::CToolBarEx(CommandRouter& router, QWidget* parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("59392"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(toolbarart::PICTURE_SIZE, toolbarart::PICTURE_SIZE));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setContextMenuPolicy(Qt::PreventContextMenu);

    int picture = 0;
    for (int id : SLOTS) {
        if (id == 0) {
            addSeparator();
            continue;
        }
        QAction* action = router.action(id);
        action->setIcon(toolbarart::icon(picture++));
        action->setIconVisibleInMenu(false);
        const QString tip = tooltipFor(id);
        if (!tip.isEmpty())
            action->setToolTip(tip);
        addAction(action);
        QWidget* button = widgetForAction(action);
        button->setObjectName(QString::number(id));
        // Without a tooltip of its own a button would show its menu text.
        if (tip.isEmpty())
            button->installEventFilter(this);
    }
}

bool CToolBarEx::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip)
        return true;
    return QToolBar::eventFilter(watched, event);
}
