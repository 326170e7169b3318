#include "ScriptedPrompts.h"

#include "framework/DialogUnits.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

const char* kindName(int kind)
{
    static const char* names[] = {"dialog", "message box", "open dialog", "save dialog"};
    return names[kind];
}

} // namespace

ScriptedPrompts::ScriptedPrompts() : previous_(prompts::responder())
{
    prompts::setResponder(this);
}

ScriptedPrompts::~ScriptedPrompts()
{
    verify();
    prompts::setResponder(previous_);
}

void ScriptedPrompts::verify()
{
    for (const Step& s : queue_)
        ADD_FAILURE() << "expected " << kindName(static_cast<int>(s.kind)) << " \"" << s.text.toStdString()
                      << "\" never came";
    queue_.clear();
}

ScriptedPrompts& ScriptedPrompts::expectDialog(const QString& caption, DialogAction act)
{
    queue_.push_back({Step::Kind::dialog, caption, std::move(act), QMessageBox::Ok, std::nullopt, {}});
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectMessage(const QString& text, QMessageBox::StandardButton answer,
                                                std::optional<QMessageBox::Icon> icon)
{
    queue_.push_back({Step::Kind::message, text, {}, answer, icon, {}});
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectOpenFile(const QString& answer)
{
    queue_.push_back({Step::Kind::openFile, answer, {}, QMessageBox::Ok, std::nullopt, {}});
    return *this;
}

ScriptedPrompts& ScriptedPrompts::expectSaveFile(const QString& answer, const QString& proposed)
{
    queue_.push_back({Step::Kind::saveFile, answer, {}, QMessageBox::Ok, std::nullopt, proposed});
    return *this;
}

std::optional<ScriptedPrompts::Step> ScriptedPrompts::next(Step::Kind kind, const QString& what)
{
    if (queue_.empty()) {
        ADD_FAILURE() << "unexpected " << kindName(static_cast<int>(kind)) << " \"" << what.toStdString() << "\"";
        return std::nullopt;
    }
    Step s = std::move(queue_.front());
    queue_.pop_front();
    if (s.kind != kind) {
        ADD_FAILURE() << "expected " << kindName(static_cast<int>(s.kind)) << " \"" << s.text.toStdString()
                      << "\", got " << kindName(static_cast<int>(kind)) << " \"" << what.toStdString() << "\"";
        return std::nullopt;
    }
    return s;
}

void ScriptedPrompts::dialog(QDialog& dialog)
{
    auto s = next(Step::Kind::dialog, dialog.windowTitle());
    if (!s)
        return;
    EXPECT_EQ(dialog.windowTitle().toStdString(), s->text.toStdString());
    s->act(dialog);
}

QMessageBox::StandardButton ScriptedPrompts::message(const prompts::MessageRequest& request)
{
    auto s = next(Step::Kind::message, request.text);
    if (!s)
        return QMessageBox::Cancel;
    EXPECT_EQ(request.text.toStdString(), s->text.toStdString());
    if (s->icon) {
        EXPECT_EQ(request.icon, *s->icon) << request.text.toStdString();
    }
    EXPECT_TRUE(request.buttons.testFlag(s->answer)) << "no such button in \"" << request.text.toStdString() << "\"";
    return s->answer;
}

std::optional<QString> ScriptedPrompts::file(const prompts::FileRequest& request)
{
    const bool save = request.kind == prompts::FileRequest::Kind::save;
    auto s = next(save ? Step::Kind::saveFile : Step::Kind::openFile, request.caption);
    if (!s)
        return std::nullopt;
    EXPECT_EQ(request.caption.toStdString(), save ? "Save As" : "Open");
    EXPECT_EQ(request.filters, (QStringList{"Lockleaf Files (*.nte)", "All Files (*.*)"}));
    if (save && !s->proposed.isEmpty()) {
        EXPECT_EQ(request.initialPath.toStdString(), s->proposed.toStdString());
    }
    if (s->text.isEmpty())
        return std::nullopt;
    return s->text;
}

void ScriptedPrompts::setText(QDialog& dialog, int id, const QString& text)
{
    if (auto* e = controlById<QLineEdit>(&dialog, id))
        e->setText(text);
    else if (auto* p = controlById<QPlainTextEdit>(&dialog, id))
        p->setPlainText(text);
    else if (auto* t = controlById<QTextEdit>(&dialog, id))
        t->setPlainText(text);
    else
        ADD_FAILURE() << "no text control " << id << " in " << dialog.windowTitle().toStdString();
}

QString ScriptedPrompts::text(QDialog& dialog, int id)
{
    if (auto* e = controlById<QLineEdit>(&dialog, id))
        return e->text();
    if (auto* p = controlById<QPlainTextEdit>(&dialog, id))
        return p->toPlainText();
    if (auto* t = controlById<QTextEdit>(&dialog, id))
        return t->toPlainText();
    ADD_FAILURE() << "no text control " << id << " in " << dialog.windowTitle().toStdString();
    return {};
}

void ScriptedPrompts::click(QDialog& dialog, int id)
{
    auto* b = controlById<QAbstractButton>(&dialog, id);
    if (!b) {
        ADD_FAILURE() << "no button " << id << " in " << dialog.windowTitle().toStdString();
        return;
    }
    b->click();
}
