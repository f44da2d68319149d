#pragma once

#include "dialogs.h"

#include <QList>
#include <QStringList>

using namespace Qt::StringLiterals; // u"…"_s in tests

// Answers every dialog from queues and records what was shown, so tests can assert each
// message exactly. An unexpected dialog (empty queue) fails the running test.
class ScriptedDialogs : public Dialogs
{
public:
    struct Message
    {
        QString text;
        Buttons buttons;
        Icon icon;
        QString title;
    };
    QList<Answer> answers; // for Yes/No boxes; OK boxes need none
    QStringList inputs;    // typed answers for input boxes
    QStringList files;     // chosen paths for open-file dialogs; "" cancels
    QStringList saves;     // "path" or "path|filter" for save-file dialogs; "" cancels

    QList<Message> messages;
    QStringList prompts;               // "title|prompt" of each input box
    QList<OpenFileDialog> fileDialogs; // the dialog's settings each time it was shown
    QList<SaveFileDialog> saveDialogs;
    QStringList helpCalls;

    Answer message(QWidget*, const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    QString input(QWidget*, const QString& prompt, const QString& title) override;
    void help(QWidget*, const QString& file, int command, int context) override
    {
        helpCalls << u"%1 %2 %3"_s.arg(file).arg(command).arg(context);
    }
    void endProgram() override { ending_ = true; }
    bool ended() const { return ending_; }

protected:
    QString chooseFile(QWidget*, const OpenFileDialog& dialog) override;
    void chooseSaveFile(QWidget*, SaveFileDialog& dialog) override;
};
