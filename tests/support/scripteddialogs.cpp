#include "scripteddialogs.h"

#include <QTest>

Dialogs::Answer ScriptedDialogs::message(QWidget*, const QString& text, Buttons buttons, Icon icon,
                                         const QString& title)
{
    messages.append({text, buttons, icon, title});
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    if (answers.isEmpty()) {
        QTest::qFail("unexpected Yes/No box", __FILE__, __LINE__);
        return Answer::No;
    }
    return answers.takeFirst();
}

QString ScriptedDialogs::input(QWidget*, const QString& prompt, const QString& title)
{
    prompts.append({prompt, title});
    if (inputs.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected input box: ") + prompt), __FILE__, __LINE__);
        return QString();
    }
    return inputs.takeFirst();
}

QString ScriptedDialogs::chooseFile(QWidget*, const OpenFileDialog& dialog)
{
    fileDialogs.append(dialog);
    if (files.isEmpty()) {
        QTest::qFail("unexpected open-file dialog", __FILE__, __LINE__);
        // Not empty: a window that asks again after a cancel must not loop for ever.
        return QStringLiteral("/nonexistent/unexpected-open-file-dialog");
    }
    return files.takeFirst();
}

void ScriptedDialogs::help(QWidget*, const QString& file, int command, int context)
{
    helpCalls.append(QStringLiteral("%1 %2 %3").arg(file).arg(command).arg(context));
}

void ScriptedDialogs::endProgram()
{
    ending_ = true;
    ++endCalls;
}

QStringList ScriptedDialogs::messageTexts() const
{
    QStringList texts;
    for (const Message& m : messages)
        texts << m.text;
    return texts;
}
