#pragma once

#include "dialogs.h"

#include <QList>
#include <QStringList>

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
    struct Input
    {
        QString prompt;
        QString title;
    };

    QList<Answer> answers; // for Yes/No boxes; OK boxes need none
    QStringList inputs;    // typed answers for input boxes
    QStringList files;     // chosen paths for open-file dialogs; "" cancels

    QList<Message> messages;
    QList<Input> prompts;
    QList<OpenFileDialog> fileDialogs; // the dialog's settings each time it was shown
    QStringList helpCalls;
    int endCalls = 0;

    Answer message(QWidget* parent, const QString& text, Buttons buttons, Icon icon,
                   const QString& title) override;
    QString input(QWidget* parent, const QString& prompt, const QString& title) override;
    void help(QWidget* parent, const QString& file, int command, int context) override;
    void endProgram() override;

    bool ended() const { return endCalls > 0; }
    QStringList messageTexts() const;

protected:
    QString chooseFile(QWidget* parent, const OpenFileDialog& dialog) override;
};
