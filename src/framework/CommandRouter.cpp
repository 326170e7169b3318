#include "framework/CommandRouter.h"

#include "framework/ErrorReport.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QTimer>

CommandRouter::CommandRouter(QObject* parent) : QObject(parent)
{
}

void CommandRouter::add(Level level, int id, Handler handler, UpdateHandler update)
{
    handlers_[id][level] = Entry{std::move(handler), std::move(update)};
}

void CommandRouter::remove(Level level, int id)
{
    auto it = handlers_.find(id);
    if (it != handlers_.end())
        it->second.erase(level);
}

const CommandRouter::Entry* CommandRouter::find(int id) const
{
    auto it = handlers_.find(id);
    if (it == handlers_.end() || it->second.empty())
        return nullptr;
    // std::map orders the levels view, document, frame, application.
    return &it->second.begin()->second;
}

QAction* CommandRouter::action(int id)
{
    auto it = actions_.find(id);
    if (it != actions_.end())
        return it->second;
    auto* a = new QAction(this);
    a->setData(id);
    connect(a, &QAction::triggered, this, [this, id] { execute(id); });
    actions_.emplace(id, a);
    return a;
}

CommandUi CommandRouter::query(int id) const
{
    CommandUi ui;
    const Entry* e = find(id);
    if (!e) {
        ui.enabled = false;
        return ui;
    }
    if (e->update)
        e->update(ui);
    return ui;
}

bool CommandRouter::execute(int id)
{
    // The state is asked afresh: an action's enabled flag may be stale.
    if (!query(id).enabled)
        return false;
    const Entry* e = find(id);
    try {
        e->handler();
    } catch (const std::exception& ex) {
        reportException(QApplication::activeWindow(), ex);
    }
    updateAll();
    return true;
}

void CommandRouter::updateAll()
{
    for (auto& [id, a] : actions_) {
        const CommandUi ui = query(id);
        a->setEnabled(ui.enabled);
        a->setCheckable(ui.checked.has_value());
        if (ui.checked)
            a->setChecked(*ui.checked);
    }
}

void CommandRouter::installIdleUpdates()
{
    qApp->installEventFilter(this);
}

bool CommandRouter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
    case QEvent::FocusIn:
        if (!updatePending_) {
            updatePending_ = true;
            QTimer::singleShot(0, this, [this] {
                updatePending_ = false;
                updateAll();
            });
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
