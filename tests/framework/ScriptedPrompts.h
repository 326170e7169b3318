#pragma once

#include "framework/Prompts.h"

#include <QDialog>

#include <deque>
#include <functional>
#include <optional>

// Answers the program's prompts from a script, in order. A prompt that is
// not the next one expected fails the test; so does an expected prompt that
// never came (checked when the script goes out of scope).
class ScriptedPrompts : public prompts::Responder {
public:
    using DialogAction = std::function<void(QDialog&)>;

    ScriptedPrompts();
    ~ScriptedPrompts() override;
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

    // A dialog with this window title; act fills its controls and presses
    // its buttons, so the dialog's own checks run.
    ScriptedPrompts& expectDialog(const QString& caption, DialogAction act);
    ScriptedPrompts& expectMessage(const QString& text, QMessageBox::StandardButton answer = QMessageBox::Ok,
                                   std::optional<QMessageBox::Icon> icon = std::nullopt);
    // Answer empty to cancel the file dialog.
    ScriptedPrompts& expectOpenFile(const QString& answer);
    ScriptedPrompts& expectSaveFile(const QString& answer, const QString& proposed = {});

    bool allDone() const { return queue_.empty(); }
    // Checks that every expected prompt came, now (and forgets the rest).
    void verify();

    // Helpers for dialog actions: controls are found by their template id.
    static void setText(QDialog& dialog, int id, const QString& text);
    static QString text(QDialog& dialog, int id);
    static void click(QDialog& dialog, int id);
    static constexpr int IDOK = 1;
    static constexpr int IDCANCEL = 2;

    void dialog(QDialog& dialog) override;
    QMessageBox::StandardButton message(const prompts::MessageRequest& request) override;
    std::optional<QString> file(const prompts::FileRequest& request) override;

private:
    struct Step {
        enum class Kind { dialog, message, openFile, saveFile } kind;
        QString text;  // caption, message text or answer
        DialogAction act;
        QMessageBox::StandardButton answer = QMessageBox::Ok;
        std::optional<QMessageBox::Icon> icon;
        QString proposed;
    };
    std::optional<Step> next(Step::Kind kind, const QString& what);

    std::deque<Step> queue_;
    prompts::Responder* previous_;
};
