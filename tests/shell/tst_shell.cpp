#include "frmnowy.h"
#include "frmtest.h"
#include "frmwyb.h"
#include "helpwindow.h"
#include "komunikaty.h"
#include "okna.h"
#include "program.h"
#include "qtdialogs.h"

#include <QMessageBox>
#include <QTimer>

// The program's menu and chooser with scripted dialogs, the desktop's own message box, and the
// words of the message catalogue.
class TstShell : public QObject
{
    Q_OBJECT
private slots:
    void desktopMessageBox_data();
    void desktopMessageBox();
    void catalogue_data();
    void catalogue();
    void menu(); // last: the end it tests leaves the application ending
};

// Help, the generator, then the chooser and the editor, and the end, which saves nothing.
void TstShell::menu()
{
    TempCwd dir;
    ScriptedDialogs dialogs;
    Program program(dialogs, dir.path());
    FrmMenu& menu = program.menu();
    menu.show();
    const auto click = [&menu](const char* name) {
        QTest::mouseClick(menu.findChild<QWidget*>(QLatin1String(name)), Qt::LeftButton);
    };
    click("cmdpomoc");
    QCOMPARE(dialogs.helpCalls, QStringList{u"test.hlp 1 0"_s});
    HelpWindow viewer;
    viewer.showFile(u"nie-ma-takiego.hlp"_s);
    QVERIFY(viewer.shownText().contains(u"Brak pliku pomocy"_s));
    QVERIFY(writeAll(u"test.hlp"_s, "<html><body><p>Pomoc: zestawy pyta\xf1</p></body></html>"));
    viewer.showFile(u"test.hlp"_s);
    QVERIFY(viewer.shownText().contains(u"zestawy pytań"_s));

    dialogs.files << dir.path(); // a folder is no set: the generator closes itself
    click("cmdtest");
    QCOMPARE(dialogs.shown(),
             u"Błąd danych|Wybrałeś niewłaściwy plik źródłowy\nTEST|Nie wybrałeś pliku z pytaniami"_s);
    QVERIFY(!menu.generator());
    QVERIFY(writeAll(u"zestaw"_s, rekord::pusty().encode()));
    dialogs.files << dir.file(u"zestaw"_s);
    click("cmdtest");
    QVERIFY(menu.generator() && menu.generator()->isVisible());

    click("cmdzestaw");
    dialogs.inputs << u"biologia"_s;
    QTest::mouseClick(menu.chooser()->findChild<QWidget*>(u"cmdnowy"_s), Qt::LeftButton);
    QVERIFY(menu.editor() && menu.editor()->isVisible());
    QCOMPARE(menu.editor()->sesja().nazwapliku(), dir.file(u"biologia"_s)); // where the last dialog chose
    QTRY_VERIFY(!menu.chooser());                                           // closed, and gone
    // Shown again while open, the editor is not loaded again.
    click("cmdzestaw");
    QTest::mouseClick(menu.chooser()->findChild<QWidget*>(u"cmdistniejacy"_s), Qt::LeftButton);
    QVERIFY(dialogs.files.isEmpty() && dialogs.inputs.isEmpty());
    // "Koniec" ends the program without saving the question on screen.
    menu.editor()->findChild<QPlainTextEdit*>(u"txtpytanie"_s)->setPlainText(u"x"_s);
    click("cmdkoniec");
    QVERIFY(program.konczy() && !menu.isVisible());
    QCOMPARE(readAll(u"biologia"_s), rekord::pusty().encode());
}

void TstShell::desktopMessageBox_data()
{
    QTest::addColumn<int>("key"); // pressed in the box: a caption's underlined letter, Escape or Enter
    QTest::addColumn<int>("answer");
    QTest::newRow("T: Tak") << int(Qt::Key_T) << int(Dialogs::Answer::Yes);
    QTest::newRow("N: Nie") << int(Qt::Key_N) << int(Dialogs::Answer::No);
    QTest::newRow("Escape is No") << int(Qt::Key_Escape) << int(Dialogs::Answer::No);
    QTest::newRow("Enter is Yes") << int(Qt::Key_Return) << int(Dialogs::Answer::Yes);
    QTest::newRow("OK") << int(Qt::Key_Return) << int(Dialogs::Answer::Ok);
}

void TstShell::desktopMessageBox()
{
    QFETCH(int, key);
    QFETCH(int, answer);
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        shown = box->windowTitle() + QLatin1Char('|') + box->text();
        QTest::keyClick(box, Qt::Key(key));
    });
    const auto buttons = answer == int(Dialogs::Answer::Ok) ? Dialogs::Buttons::Ok : Dialogs::Buttons::YesNo;
    QCOMPARE(int(QtDialogs().message(nullptr, u"a\rb"_s, buttons, Dialogs::Icon::None, u"Tytuł"_s)), answer);
    QCOMPARE(shown, u"Tytuł|a\nb"_s);
}

// The texts fixed for the users, typos and trailing blank included, with their box.
void TstShell::catalogue_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("title");
    using I = Dialogs::Icon;
    const int ok = int(Dialogs::Buttons::Ok);
    const auto row = [&](const char* name, Komunikat k, const QString& text, int buttons, I icon,
                         const QString& title) {
        QTest::newRow(name) << int(k) << text << buttons << int(icon) << title;
    };
    row("no file", Komunikat::NieWybranoPliku, u"Nie wybrałeś pliku z pytaniami"_s, ok, I::Information,
        u"TEST"_s);
    row("no set", Komunikat::NieJestBaza, u"Wybrany plik nie jest bazą pytań\rnastąpi zakończenie programu"_s,
        ok, I::Stop, u"TEST"_s);
    row("shown picture", Komunikat::ZlaNazwaRysunku, u"Nniewłaściwa nazwa pliku graficznego"_s, ok, I::Stop,
        u"Błąd"_s);
    row("chosen picture", Komunikat::ZlyWybranyRysunek, u"Nniew łaściwa nazwa pliku graficznego"_s, ok,
        I::Stop, u"Błąd"_s);
    row("delete", Komunikat::KasowacRekord, u"Kasować ten rekord?"_s, int(Dialogs::Buttons::YesNo), I::None,
        u"Budowanie bazy pytań"_s);
    row("count", Komunikat::ZlaIloscPytan, u"Zła ilośc pytań "_s, ok, I::Exclamation, u"TESTER"_s);
    row("wrong data", Komunikat::NiewlasciweDane, u"Niewłaściwe dane"_s, ok, I::Stop, u"Błąd danych"_s);
    row("wrong file", Komunikat::NiewlasciwyPlik, u"Wybrałeś niewłaściwy plik źródłowy"_s, ok, I::Stop,
        u"Błąd danych"_s);
    using P = komunikaty::Pole;
    for (const auto& [pole, prompt, title] :
         {std::tuple{P::NazwaZestawu, u"Podaj nazwę zestawu"_s, u"Nazwa bazy pytań"_s},
          std::tuple{P::CzasTestu, u"Podaj czas trwania testu w pełnych minutach"_s, u"Czas"_s},
          std::tuple{P::KodTestu, u"Podaj kod uruchommieniowy testu"_s, u"Hasło"_s}})
        QTest::newRow(qPrintable(prompt)) << -1 - int(pole) << prompt << -1 << -1 << title;
}

void TstShell::catalogue()
{
    QFETCH(int, kind);
    QFETCH(QString, text);
    QFETCH(int, buttons);
    QFETCH(int, icon);
    QFETCH(QString, title);
    if (kind < 0) { // an input box
        const komunikaty::Zapytanie z = komunikaty::zapytanie(komunikaty::Pole(-1 - kind));
        QCOMPARE(z.pytanie + QLatin1Char('|') + z.tytul, text + QLatin1Char('|') + title);
        return;
    }
    const komunikaty::Tresc t = komunikaty::tresc({Komunikat(kind), {}});
    QCOMPARE(t.tekst + QLatin1Char('|') + t.tytul, text + QLatin1Char('|') + title);
    QCOMPARE(int(t.przyciski), buttons);
    QCOMPARE(int(t.ikona), icon);
}

QTEST_MAIN(TstShell)
#include "tst_shell.moc"
