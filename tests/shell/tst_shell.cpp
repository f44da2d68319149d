#include "frmmenu.h"
#include "frmnowy.h"
#include "frmtest.h"
#include "frmwyb.h"
#include "helpwindow.h"
#include "nowyzestaw.h"
#include "okna.h"
#include "qtdialogs.h"

#include <QMessageBox>
#include <QTimer>

// The main menu and the chooser with scripted dialogs, and the desktop's own dialogs.
class TstShell : public QObject, WindowFixture<FrmMenu>
{
    Q_OBJECT
private slots:
    void menu();
    void desktopMessageBox_data();
    void desktopMessageBox();
};

// Help, the generator, then the chooser and the editor, which end the program.
void TstShell::menu()
{
    reset();
    window = std::make_unique<FrmMenu>(*dialogs);
    window->show();
    click("cmdpomoc");
    QCOMPARE(dialogs->helpCalls, QStringList{u"test.hlp 1 0"_s});
    HelpWindow viewer;
    viewer.showFile(u"nie-ma-takiego.hlp"_s);
    QVERIFY(viewer.shownText().contains(u"Brak pliku pomocy"_s));
    QVERIFY(writeAll(u"test.hlp"_s, "<html><body><p>Pomoc: zestawy pyta\xf1</p></body></html>"));
    viewer.showFile(u"test.hlp"_s);
    QVERIFY(viewer.shownText().contains(u"zestawy pytań"_s));

    dialogs->files << dir->path(); // a folder is no set: the generator closes itself
    click("Command2");
    QCOMPARE(message(),
             u"Błąd danych|Wybrałeś niewłaściwy plik źródłowy\nTEST|Nie wybrałeś pliku z pytaniami"_s);
    QVERIFY(!window->generator());
    QVERIFY(writeAll(u"zestaw"_s, rekord::pusty().encode()));
    dialogs->files << dir->file(u"zestaw"_s);
    click("Command2");
    QVERIFY(window->generator() && window->generator()->isVisible());

    click("Command3");
    dialogs->inputs << u"biologia"_s;
    QTest::mouseClick(window->chooser()->findChild<QWidget*>(u"Command1"_s), Qt::LeftButton);
    QCOMPARE(nowyzestaw, 1);
    QVERIFY(window->editor() && window->editor()->isVisible());
    QTRY_VERIFY(!window->chooser()); // closed, and gone
    // Shown again while open, the editor is not loaded again; the choice waits for the next load.
    click("Command3");
    QTest::mouseClick(window->chooser()->findChild<QWidget*>(u"Command2"_s), Qt::LeftButton);
    QCOMPARE(nowyzestaw, 0);
    // "Koniec" ends the program without saving the question on screen.
    window->editor()->findChild<QPlainTextEdit*>(u"txtpytanie"_s)->setPlainText(u"x"_s);
    click("Command1");
    QVERIFY(dialogs->ending());
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

QTEST_MAIN(TstShell)
#include "tst_shell.moc"
