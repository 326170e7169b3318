#pragma once

#include <QGuiApplication>

// Shows the wait cursor for its lifetime; restore() ends it early, e.g.
// before a prompt that wants the normal pointer.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { restore(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    void restore()
    {
        if (active_) {
            QGuiApplication::restoreOverrideCursor();
            active_ = false;
        }
    }
    // Ends every wait cursor in force (the document does this before a prompt).
    static void endAll()
    {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    }

private:
    bool active_ = true;
};
