#include "scripteddialogs.h"

#include <QTest>

template <class T>
static T next(QList<T>& queue, const char* what, T otherwise)
{
    if (queue.isEmpty()) {
        QTest::qFail(what, __FILE__, __LINE__);
        return otherwise;
    }
    return queue.takeFirst();
}

Dialogs::Answer ScriptedDialogs::message(QWidget*, const QString& text, Buttons buttons, Icon icon,
                                         const QString& title)
{
    messages.append({text, buttons, icon, title});
    return buttons == Buttons::Ok ? Answer::Ok : next(answers, "unexpected Yes/No box", Answer::No);
}

QString ScriptedDialogs::input(QWidget*, const QString& prompt, const QString& title)
{
    prompts << title + QLatin1Char('|') + prompt;
    return next<QString>(inputs, "unexpected input box", QString());
}

QString ScriptedDialogs::chooseFile(QWidget*, const OpenFileDialog& dialog)
{
    fileDialogs.append(dialog);
    // Not empty: a window that asks again after a cancel must not loop for ever.
    return next<QString>(files, "unexpected open-file dialog", u"/nonexistent/unexpected"_s);
}

void ScriptedDialogs::chooseSaveFile(QWidget*, SaveFileDialog& dialog)
{
    saveDialogs.append(dialog);
    const QStringList answer =
        next<QString>(saves, "unexpected save-file dialog", QString()).split(QLatin1Char('|'));
    dialog.fileName = answer[0];
    dialog.filter = answer.value(1, dialog.filters.value(0));
}
