#pragma once

#include "dialogs.h"

#include <QList>
#include <QStringList>
#include <QTest>

#include <utility>

using namespace Qt::StringLiterals; // u"…"_s in tests

// Answers every dialog from queues and records what was shown, so tests can assert each
// message exactly. An unexpected dialog (empty queue) fails the running test.
class ScriptedDialogs : public Dialogs
{
public:
    struct Message
    {
        QString text, title;
    };
    QList<Answer> answers; // for Yes/No boxes; OK boxes need none
    QStringList inputs;    // typed answers for input boxes
    QStringList files;     // chosen paths for open-file dialogs; "" cancels
    QStringList saves;     // "path" or "path|filter" for save-file dialogs; "" cancels

    QList<Message> messages;
    QStringList prompts;               // "title|prompt" of each input box
    QList<OpenFileDialog> fileDialogs; // the dialog's settings each time it was shown
    QStringList helpCalls;

    Answer message(QWidget*, const QString& text, Buttons buttons, Icon, const QString& title) override
    {
        messages.append({text, title});
        return buttons == Buttons::Ok ? Answer::Ok : next(answers, "unexpected Yes/No box", Answer::No);
    }
    QString input(QWidget*, const QString& prompt, const QString& title) override
    {
        prompts << title + QLatin1Char('|') + prompt;
        return next(inputs, "unexpected input box", QString());
    }
    QStringList initials; // what each code box started with
    QString inputCode(QWidget* parent, const QString& prompt, const QString& title,
                      const QString& initial) override
    {
        initials << initial;
        return input(parent, prompt, title);
    }
    void help(QWidget*, const QString& file, int command, int context) override
    {
        helpCalls << u"%1 %2 %3"_s.arg(file).arg(command).arg(context);
    }
    // The messages shown since the last call, as "title|text", one a line.
    QString shown()
    {
        QStringList lines;
        for (const Message& m : std::exchange(messages, {}))
            lines << m.title + QLatin1Char('|') + m.text;
        return lines.join(QLatin1Char('\n'));
    }

protected:
    QString chooseFile(QWidget*, const OpenFileDialog& dialog) override
    {
        fileDialogs.append(dialog);
        // Not empty: a window that asks again after a cancel must not loop for ever.
        return next(files, "unexpected open-file dialog", u"/nonexistent/unexpected"_s);
    }
    void chooseSaveFile(QWidget*, SaveFileDialog& dialog) override
    {
        const QStringList answer = next(saves, "unexpected save-file dialog", QString()).split(u'|');
        dialog.fileName = answer[0];
        dialog.filter = answer.value(1, dialog.filters.value(0));
    }

private:
    template <class T>
    static T next(QList<T>& queue, const char* what, const T& otherwise)
    {
        if (queue.isEmpty())
            QTest::qFail(what, __FILE__, __LINE__);
        return queue.isEmpty() ? otherwise : queue.takeFirst();
    }
};
