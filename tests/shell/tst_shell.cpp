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
    void init()
    {
        reset();
        window = std::make_unique<FrmMenu>(*dialogs);
        window->show();
    }
    void chooserAndEditor();
    void generatorThatClosesItselfIsReported();
    void help();
    void desktopMessageBox_data();
    void desktopMessageBox();
};

void TstShell::chooserAndEditor()
{
    QCOMPARE(window->windowTitle(), u"Testownik"_s);
    click("Command3");
    QCOMPARE(window->chooser()->windowTitle(), u"TEST"_s);
    dialogs->inputs << u"biologia"_s;
    QTest::mouseClick(window->chooser()->findChild<QWidget*>(u"Command1"_s), Qt::LeftButton);
    QCOMPARE(nowyzestaw, 1);
    QVERIFY(window->editor() && window->editor()->isVisible());
    QTRY_VERIFY(!window->chooser()); // closed, and gone
    QCOMPARE(dialogs->prompts.size(), 1);
    // Shown again while open, the editor is not loaded again; the new choice waits for the next load.
    click("Command3");
    QTest::mouseClick(window->chooser()->findChild<QWidget*>(u"Command2"_s), Qt::LeftButton);
    QCOMPARE(nowyzestaw, 0);
    QCOMPARE(dialogs->prompts.size() + dialogs->fileDialogs.size(), 1);
    // "Koniec" ends the program without saving the question on screen.
    window->editor()->findChild<QPlainTextEdit*>(u"txtpytanie"_s)->setPlainText(u"x"_s);
    click("Command1");
    QVERIFY(dialogs->ended());
    QCOMPARE(readAll(u"biologia"_s), rekord::pusty().encode());
}

void TstShell::generatorThatClosesItselfIsReported()
{
    dialogs->files << dir->path(); // a folder is no set
    click("Command2");
    QCOMPARE(message(),
             QStringLiteral(
                 "Błąd danych|Wybrałeś niewłaściwy plik źródłowy\nTEST|Nie wybrałeś pliku z pytaniami"));
    QVERIFY(!window->generator());
    QVERIFY(writeAll(u"zestaw"_s, rekord::pusty().encode()));
    dialogs->files << dir->file(u"zestaw"_s);
    click("Command2");
    QVERIFY(window->generator() && window->generator()->isVisible());
}

void TstShell::help()
{
    click("cmdpomoc");
    QCOMPARE(dialogs->helpCalls, QStringList{u"test.hlp 1 0"_s});
    HelpWindow viewer;
    viewer.showFile(u"nie-ma-takiego.hlp"_s);
    QVERIFY(viewer.shownText().contains(u"Brak pliku pomocy"_s));
    QVERIFY(writeAll(u"test.hlp"_s, "<html><body><p>Pomoc: zestawy pyta\xf1</p></body></html>"));
    viewer.showFile(u"test.hlp"_s);
    QVERIFY(viewer.shownText().contains(u"zestawy pytań"_s));
}

void TstShell::desktopMessageBox_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("press"); // a button's caption, or "Escape"
    QTest::addColumn<int>("answer");
    QTest::newRow("Tak") << int(Dialogs::Buttons::YesNo) << u"&Tak"_s << int(Dialogs::Answer::Yes);
    QTest::newRow("Nie") << int(Dialogs::Buttons::YesNo) << u"&Nie"_s << int(Dialogs::Answer::No);
    QTest::newRow("Escape is No") << int(Dialogs::Buttons::YesNo) << u"Escape"_s << int(Dialogs::Answer::No);
    QTest::newRow("Enter is Yes") << int(Dialogs::Buttons::YesNo) << u"Enter"_s << int(Dialogs::Answer::Yes);
    QTest::newRow("OK") << int(Dialogs::Buttons::Ok) << u"Enter"_s << int(Dialogs::Answer::Ok);
}

void TstShell::desktopMessageBox()
{
    QFETCH(int, buttons);
    QFETCH(QString, press);
    QFETCH(int, answer);
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        shown = box->windowTitle() + QLatin1Char('|') + box->text();
        if (press == u"Escape"_s || press == u"Enter"_s)
            QTest::keyClick(box, press == u"Escape"_s ? Qt::Key_Escape : Qt::Key_Return);
        else
            for (QAbstractButton* b : box->buttons())
                if (b->text() == press)
                    b->click();
    });
    QtDialogs desktop;
    QCOMPARE(
        int(desktop.message(nullptr, u"a\rb"_s, Dialogs::Buttons(buttons), Dialogs::Icon::None, u"Tytuł"_s)),
        answer);
    QCOMPARE(shown, u"Tytuł|a\nb"_s);
}

QTEST_MAIN(TstShell)
#include "tst_shell.moc"
