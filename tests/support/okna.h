#pragma once

#include "biezacyfolder.h"
#include "komunikaty.h"
#include "rekordtestowy.h"
#include "scripteddialogs.h"
#include "tempdir.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <memory>

// What every window test needs: a fresh folder, also the program's current one, scripted
// dialogs, and the window's controls by their names. Call reset() before each test.
template <class Window>
struct WindowFixture
{
    std::unique_ptr<TempCwd> dir;
    std::unique_ptr<BiezacyFolder> folder;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<Window> window;

    void reset()
    {
        window.reset();
        dir.reset(); // first, so that the folder it restores is not the new one
        dir = std::make_unique<TempCwd>();
        folder = std::make_unique<BiezacyFolder>(dir->path());
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
    QString message() { return dialogs->shown(); }
};

// Messages of a session as the user reads them, "title|text" one a line.
inline QString said(const Zdarzenia& shown)
{
    QStringList lines;
    for (const Zdarzenie& z : shown)
        lines << komunikaty::tresc(z).tytul + QLatin1Char('|') + komunikaty::tresc(z).tekst;
    return lines.join(QLatin1Char('\n'));
}

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
