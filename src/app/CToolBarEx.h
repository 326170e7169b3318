#pragma once

#include <QToolBar>

class CommandRouter;

// The main toolbar: 17 slots (12 buttons and 5 separators) bound to the
// router's actions, 24×24 pictures with a disabled variant, flat, fixed at
// the top of the frame.
class CToolBarEx : public QToolBar {
    Q_OBJECT
public:
    CToolBarEx(CommandRouter& router, QWidget* parent = nullptr);

    // Slot table: command id, or 0 for a separator.
    static const int SLOTS[17];
    // The tooltip of a command's button; empty for New, Open and Save.
    static QString tooltipFor(int id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
