#pragma once

#include "rekordtestowy.h"
#include "scripteddialogs.h"
#include "tempdir.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <memory>

// What every window test needs: a fresh current folder, scripted dialogs, and the window's
// controls by their names. Call reset() before each test.
template <class Window>
struct WindowFixture
{
    std::unique_ptr<TempCwd> dir;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<Window> window;

    void reset()
    {
        window.reset();
        dir.reset(); // first, so that the folder it restores is not the new one
        dir = std::make_unique<TempCwd>();
        dialogs = std::make_unique<ScriptedDialogs>();
    }
    template <class T = QWidget>
    T* w(const char* name) const
    {
        return window->template findChild<T*>(QLatin1String(name));
    }
    void click(const char* name) const { QTest::mouseClick(w(name), Qt::LeftButton); }
    QString label(const char* name) const { return w<QLabel>(name)->text(); }
    // Replaces a box's text key by key, Polish letters included (keyClicks takes ASCII only).
    void type(const char* name, const QString& text) const
    {
        QTest::keyClick(w(name), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(w(name), Qt::Key_Delete);
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, w(name), Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    // The messages shown since the last call, as "title|text", one a line.
    QString message()
    {
        QStringList shown;
        for (const ScriptedDialogs::Message& m : std::exchange(dialogs->messages, {}))
            shown << m.title + QLatin1Char('|') + m.text;
        return shown.join(QLatin1Char('\n'));
    }
};

// A set file's bytes from its records.
inline QByteArray setOf(const QList<rekord>& records)
{
    QByteArray bytes;
    for (const rekord& r : records)
        bytes += r.encode();
    return bytes;
}

// A question with numbered answers and the given marks.
inline rekord question(const QString& text, qint16 typ, std::array<qint16, 5> marks = {})
{
    return pytanie(typ, text, u"odp 1|odp 2|odp 3|odp 4|odp 5"_s, marks);
}
