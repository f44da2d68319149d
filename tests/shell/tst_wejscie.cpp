#include "frmtest.h"
#include "frmwyb.h"
#include "nowyzestaw.h"
#include "scripteddialogs.h"
#include "tempdir.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

// Hostile input in every box of the editor and the generator: very long texts, control
// characters, Polish letters, characters outside the code page, numbers past every limit.
// Each must end in a stored value, the system's message or a clear one; never in a crash.
class TstWejscie : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void editorBoxes_data();
    void editorBoxes();
    void setNames_data();
    void setNames();
    void questionCounts_data();
    void questionCounts();
    void minutesAndCodes_data();
    void minutesAndCodes();

private:
    std::unique_ptr<TempCwd> dir;
    std::unique_ptr<ScriptedDialogs> dialogs;
};

static QString hostile(int length)
{
    QString text = QStringLiteral("Zażółć \x01\x02\t\x7f 😀 中文 \u200b ");
    while (text.size() < length)
        text += text;
    return text.left(length);
}

static QByteArray set(int records)
{
    QByteArray bytes;
    for (int n = 1; n <= records; ++n) {
        rekord r = rekord::pusty();
        ustawTekst(r.pytanie, QStringLiteral("Pytanie %1").arg(n));
        r.typ = qint16(n % 3);
        bytes += r.encode();
    }
    return bytes;
}

void TstWejscie::init()
{
    dir.reset();
    dir = std::make_unique<TempCwd>();
    dialogs = std::make_unique<ScriptedDialogs>();
}

void TstWejscie::editorBoxes_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("10 000 characters") << hostile(10000);
    QTest::newRow("control characters") << QStringLiteral("\x01\x1b[31m\x7f\x08");
    QTest::newRow("outside the code page") << QStringLiteral("😀😀😀 Ω ß ĉ");
    QTest::newRow("Polish") << QStringLiteral("ĄĆĘŁŃÓŚŹŻąćęłńóśźż");
}

void TstWejscie::editorBoxes()
{
    QFETCH(QString, text);
    nowyzestaw = 1;
    dialogs->inputs << QStringLiteral("zestaw");
    FrmWyb editor(*dialogs);
    QVERIFY(editor.load());
    editor.show();
    editor.findChild<QPlainTextEdit*>(QStringLiteral("txtpytanie"))->setPlainText(text);
    for (int k = 0; k < 4; ++k)
        editor.findChild<QPlainTextEdit*>(QStringLiteral("txtodp_%1").arg(k))->setPlainText(text);
    editor.findChild<QLineEdit*>(QStringLiteral("txtodp_4"))->setText(text);
    editor.findChild<QLineEdit*>(QStringLiteral("txtodpowiedz"))->setText(text);
    QTest::mouseClick(editor.findChild<QPushButton*>(QStringLiteral("cmdtekst")), Qt::LeftButton);
    QTest::mouseClick(editor.findChild<QPushButton*>(QStringLiteral("cmddalej")), Qt::LeftButton);

    const QByteArray bytes = readAll(QStringLiteral("zestaw"));
    QCOMPARE(bytes.size(), 1314);
    const rekord saved = rekord::decode(bytes);
    // Stored cut to the field, one byte a character, with the converter's substitute where the
    // code page has no letter; the box then shows what was stored.
    const QString shown = editor.findChild<QPlainTextEdit*>(QStringLiteral("txtpytanie"))->toPlainText();
    QCOMPARE(shown, tekst(saved.pytanie).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QVERIFY(shown.size() <= 300);
    QCOMPARE(saved.typ, qint16(2));
    QVERIFY(dialogs->messages.isEmpty());
    QVERIFY(!dialogs->ended());
}

void TstWejscie::setNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("opens");
    QTest::newRow("10 000 characters") << QString(10000, QLatin1Char('x')) << false;
    QTest::newRow("a missing folder") << QStringLiteral("nie/ma/takiego/folderu") << false;
    QTest::newRow("Polish letters") << QStringLiteral("Zażółć gęślą jaźń") << true;
    QTest::newRow("control characters") << QStringLiteral("a\x01\tb") << true;
    QTest::newRow("outside the code page") << QStringLiteral("zestaw 😀 中文") << true;
}

void TstWejscie::setNames()
{
    QFETCH(QString, name);
    QFETCH(bool, opens);
    nowyzestaw = 1;
    dialogs->inputs << name;
    FrmWyb editor(*dialogs);
    QCOMPARE(editor.load(), opens);
    if (opens) {
        QCOMPARE(QFileInfo(name).size(), 1314);
        QCOMPARE(editor.findChild<QLabel*>(QStringLiteral("lblnazwazestawu"))->text(), name);
        QVERIFY(dialogs->messages.isEmpty());
    } else {
        QCOMPARE(dialogs->messages.size(), 1);
        QVERIFY(dialogs->messages[0].text.startsWith(QStringLiteral("Nie można otworzyć zestawu")));
        QVERIFY(!dialogs->ended());
    }
}

void TstWejscie::questionCounts_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("message");
    const QString zla = QStringLiteral("Zła ilośc pytań ");
    const QString niewlasciwe = QStringLiteral("Niewłaściwe dane");
    QTest::newRow("16-bit limit") << QStringLiteral("32767") << zla;
    QTest::newRow("past 16 bits") << QStringLiteral("32768") << zla;
    QTest::newRow("past 32 bits") << QStringLiteral("4294967297") << zla;
    QTest::newRow("below 32 bits") << QStringLiteral("-2147483649") << zla;
    QTest::newRow("10 000 digits") << QString(10000, QLatin1Char('9')) << zla;
    QTest::newRow("control characters") << QStringLiteral("\x01\x02") << zla;
    QTest::newRow("Polish words") << QStringLiteral("dwadzieścia") << zla;
    QTest::newRow("past the 100 slots") << QStringLiteral("101") << niewlasciwe;
}

void TstWejscie::questionCounts()
{
    QFETCH(QString, count);
    QFETCH(QString, message);
    QVERIFY(writeAll(QStringLiteral("zestaw"), set(150)));
    dialogs->files << dir->file(QStringLiteral("zestaw"));
    FrmTest window(*dialogs);
    QVERIFY(window.load());
    window.show();
    window.findChild<QLineEdit*>(QStringLiteral("txtiloscpytan"))->setText(count);
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdgeneruj")), Qt::LeftButton);
    QCOMPARE(dialogs->messageTexts(), QStringList{message});
    QVERIFY(!QFileInfo::exists(QStringLiteral("test.html")));
    QVERIFY(window.findChild<QPushButton*>(QStringLiteral("cmdgeneruj"))->isHidden());
}

void TstWejscie::minutesAndCodes_data()
{
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QByteArray>("refresh"); // empty: no page, "Niewłaściwe dane"
    QTest::newRow("16-bit minutes") << QStringLiteral("32767") << QStringLiteral("kod")
                                    << QByteArray(" 1966020");
    QTest::newRow("past 32 bits") << QStringLiteral("4294967296") << QStringLiteral("kod")
                                  << QByteArray(" 257698037760");
    QTest::newRow("10 000 digits") << QString(10000, QLatin1Char('9')) << QStringLiteral("kod")
                                   << QByteArray();
    QTest::newRow("control characters") << QStringLiteral("\x01") << QStringLiteral("kod") << QByteArray();
    QTest::newRow("hostile code") << QStringLiteral("5") << hostile(10000) << QByteArray(" 300");
}

void TstWejscie::minutesAndCodes()
{
    QFETCH(QString, minutes);
    QFETCH(QString, code);
    QFETCH(QByteArray, refresh);
    QVERIFY(writeAll(QStringLiteral("zestaw"), set(6)));
    dialogs->files << dir->file(QStringLiteral("zestaw"));
    FrmTest window(*dialogs);
    QVERIFY(window.load());
    window.show();
    window.findChild<QLineEdit*>(QStringLiteral("txtiloscpytan"))->setText(QStringLiteral("6"));
    dialogs->inputs << minutes;
    if (!refresh.isEmpty())
        dialogs->inputs << code;
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdgeneruj")), Qt::LeftButton);
    if (refresh.isEmpty()) {
        QCOMPARE(dialogs->messageTexts(), QStringList{QStringLiteral("Niewłaściwe dane")});
        QVERIFY(!QFileInfo::exists(QStringLiteral("test.html")));
        return;
    }
    QVERIFY(dialogs->messages.isEmpty());
    const QByteArray page = readAll(QStringLiteral("test.html"));
    QVERIFY(page.contains("CONTENT=\"" + refresh + "; URL=koniec.html\""));
    // Whatever the code holds, it cannot end the script string or the script.
    const qsizetype start = page.indexOf("var dobrze=\"") + 12;
    const qsizetype end = page.indexOf("\";\r", start);
    QVERIFY(start > 12 && end > start);
    const QByteArray literal = page.mid(start, end - start);
    QVERIFY(!literal.contains('"') && !literal.contains('\r') && !literal.contains('\n'));
    QVERIFY(!literal.contains("</"));
}

QTEST_MAIN(TstWejscie)
#include "tst_wejscie.moc"
