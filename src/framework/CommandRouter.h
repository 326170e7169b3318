#pragma once

#include <QObject>

#include <functional>
#include <map>
#include <optional>

class QAction;

// The state an update handler gives a command.
struct CommandUi {
    bool enabled = true;
    std::optional<bool> checked;  // unset: not a checkable command
};

// Routes command ids to their handlers. Each id has one QAction shared by
// menu, toolbar and keys. Handlers are registered per level and the first
// level, in the order view, document, frame, application, that has a handler
// for the id runs it. A command without handler, or whose update handler
// disables it, is never carried out, whichever way it arrives.
class CommandRouter : public QObject {
    Q_OBJECT
public:
    enum class Level { view, document, frame, application };
    using Handler = std::function<void()>;
    using UpdateHandler = std::function<void(CommandUi&)>;

    explicit CommandRouter(QObject* parent = nullptr);

    void add(Level level, int id, Handler handler, UpdateHandler update = {});
    void remove(Level level, int id);

    // The action of id, made on first use; its text and shortcuts are the caller's.
    QAction* action(int id);

    // The current state of id, from its update handler.
    CommandUi query(int id) const;
    // Runs id if it has a handler and is enabled; returns whether it ran.
    // Store and other exceptions escaping the handler are shown as error messages.
    bool execute(int id);
    // Brings every action's enabled and checked state up to date.
    void updateAll();
    // Updates again whenever the application goes idle after user input.
    void installIdleUpdates();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        Handler handler;
        UpdateHandler update;
    };
    const Entry* find(int id) const;

    std::map<int, std::map<Level, Entry>> handlers_;
    std::map<int, QAction*> actions_;
    bool updatePending_ = false;
};
