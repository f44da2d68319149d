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
    void maskedCode();
    void catalogue_data();
    void catalogue();
    void reasons();
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
        shown = box->windowTitle() + u'|' + box->text() + u"|%1"_s.arg(box->textFormat());
        QTest::keyClick(box, Qt::Key(key));
    });
    const auto buttons = answer == int(Dialogs::Answer::Ok) ? Dialogs::Buttons::Ok : Dialogs::Buttons::YesNo;
    QCOMPARE(int(QtDialogs().message(nullptr, u"<b>a</b>\rb"_s, buttons, Dialogs::Icon::None, u"Tytuł"_s)),
             answer);
    QCOMPARE(shown, u"Tytuł|<b>a</b>\nb|%1"_s.arg(Qt::PlainText));
}

// The texts fixed for the users, typos and trailing blank included, with their box: "title|icon
// buttons|text", the icon and buttons as numbered in Dialogs. An input box has no icon or buttons.
// The code box hides the code until "Pokaż"; the issued code it starts with is replaced by typing.
void TstShell::maskedCode()
{
    QTimer::singleShot(0, [] {
        auto* field = QApplication::activeModalWidget()->findChild<QLineEdit*>(u"txtkod"_s);
        QCOMPARE(field->echoMode(), QLineEdit::Password);
        QApplication::activeModalWidget()->findChild<QCheckBox*>(u"chkpokaz"_s)->click();
        QCOMPARE(field->echoMode(), QLineEdit::Normal);
        QTest::keyClicks(field, u"kod"_s), QTest::keyClick(field, Qt::Key_Return);
    });
    QCOMPARE(QtDialogs().inputCode(nullptr, u"Podaj kod"_s, u"Hasło"_s, u"wydany2x"_s), u"kod"_s);
}

void TstShell::catalogue_data()
{
    QTest::addColumn<int>("kind"); // a Komunikat, or -1 - a komunikaty::Pole for an input box
    QTest::addColumn<QString>("box");
    const auto row = [](Komunikat k, const QString& box) { QTest::newRow(qPrintable(box)) << int(k) << box; };
    row(Komunikat::NieWybranoPliku, u"TEST|30|Nie wybrałeś pliku z pytaniami"_s);
    row(Komunikat::NieJestBaza, u"TEST|10|Wybrany plik nie jest bazą pytań\rnastąpi zakończenie programu"_s);
    row(Komunikat::ZlaNazwaRysunku, u"Błąd|10|Nniewłaściwa nazwa pliku graficznego"_s);
    row(Komunikat::ZlyWybranyRysunek, u"Błąd|10|Nniew łaściwa nazwa pliku graficznego"_s);
    row(Komunikat::KasowacRekord, u"Budowanie bazy pytań|01|Kasować ten rekord?"_s);
    row(Komunikat::ZlaIloscPytan, u"TESTER|20|Zła ilośc pytań "_s);
    row(Komunikat::NiewlasciweDane, u"Błąd danych|10|Niewłaściwe dane"_s);
    row(Komunikat::NiewlasciwyPlik, u"Błąd danych|10|Wybrałeś niewłaściwy plik źródłowy"_s);
    QTest::newRow("name") << -1 << u"Nazwa bazy pytań||Podaj nazwę zestawu"_s;
    QTest::newRow("time") << -2 << u"Czas||Podaj czas trwania testu w pełnych minutach"_s;
    QTest::newRow("code") << -3 << u"Hasło||Podaj kod uruchommieniowy testu"_s;
}

void TstShell::catalogue()
{
    QFETCH(int, kind);
    QFETCH(QString, box);
    if (kind < 0) {
        const komunikaty::Zapytanie z = komunikaty::zapytanie(komunikaty::Pole(-1 - kind));
        QCOMPARE(z.tytul + u"||"_s + z.pytanie, box);
    } else {
        const komunikaty::Tresc t = komunikaty::tresc({Komunikat(kind), {}});
        QCOMPARE(u"%1|%2%3|"_s.arg(t.tytul).arg(int(t.ikona)).arg(int(t.przyciski)) + t.tekst, box);
    }
}

// The core's errors in the user's words: after the message's own details, or first in a report.
void TstShell::reasons()
{
    using R = Blad::Rodzaj;
    const auto said = [](Komunikat k, const QStringList& d, R r, const QString& detail = {}) {
        return komunikaty::tresc({k, d, Blad{r, detail}}).tekst;
    };
    QCOMPARE(said(Komunikat::NieDolaczono, {u"a"_s, u"2"_s}, R::ZaDuzy),
             u"Nie udało się dołączyć zestawu „a”.\rzestaw byłby za duży\rDołączone pytania: 2."_s);
    QCOMPARE(said(Komunikat::Raport, {u"linia"_s}, R::Format, u"Odmowa."_s), u"Odmowa.\rlinia"_s);
    const QList<std::pair<Blad, QString>> words{
        {{R::PustaNazwa, {}}, u"pusta nazwa pliku"_s},
        {{R::Folder, u"/x"_s}, u"/x jest folderem, nie plikiem"_s},
        {{R::PozaZakresem, u"0"_s}, u"numer rekordu 0 poza zakresem"_s},
        {{R::Skrocony, {}}, u"plik zestawu skrócił się podczas kopiowania"_s},
        {{R::ZlaDlugosc, {}}, u"nowa wersja zestawu ma złą długość"_s},
        {{R::Dokument, {}}, u"Nie można utworzyć dokumentu PDF."_s},
        {{R::Zapis, u"No space left on device"_s}, u"No space left on device"_s}};
    for (const auto& [blad, text] : words)
        QCOMPARE(komunikaty::powod(blad), text);
}

QTEST_MAIN(TstShell)
#include "tst_shell.moc"
