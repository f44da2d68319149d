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
    QCOMPARE(window->windowTitle(), QStringLiteral("Testownik"));
    click("Command3");
    QCOMPARE(window->chooser()->windowTitle(), QStringLiteral("TEST"));
    dialogs->inputs << QStringLiteral("biologia");
    QTest::mouseClick(window->chooser()->findChild<QWidget*>(QStringLiteral("Command1")), Qt::LeftButton);
    QCOMPARE(nowyzestaw, 1);
    QVERIFY(window->editor() && window->editor()->isVisible());
    QTRY_VERIFY(!window->chooser()); // closed, and gone
    QCOMPARE(dialogs->prompts.size(), 1);
    // Shown again while open, the editor is not loaded again; the new choice waits for the next load.
    click("Command3");
    QTest::mouseClick(window->chooser()->findChild<QWidget*>(QStringLiteral("Command2")), Qt::LeftButton);
    QCOMPARE(nowyzestaw, 0);
    QCOMPARE(dialogs->prompts.size() + dialogs->fileDialogs.size(), 1);
    // "Koniec" ends the program without saving the question on screen.
    window->editor()
        ->findChild<QPlainTextEdit*>(QStringLiteral("txtpytanie"))
        ->setPlainText(QStringLiteral("x"));
    click("Command1");
    QVERIFY(dialogs->ended());
    QCOMPARE(readAll(QStringLiteral("biologia")), rekord::pusty().encode());
}

void TstShell::generatorThatClosesItselfIsReported()
{
    dialogs->files << dir->path(); // a folder is no set
    click("Command2");
    QCOMPARE(message(),
             QStringLiteral(
                 "Błąd danych|Wybrałeś niewłaściwy plik źródłowy\nTEST|Nie wybrałeś pliku z pytaniami"));
    QVERIFY(!window->generator());
    QVERIFY(writeAll(QStringLiteral("zestaw"), rekord::pusty().encode()));
    dialogs->files << dir->file(QStringLiteral("zestaw"));
    click("Command2");
    QVERIFY(window->generator() && window->generator()->isVisible());
}

void TstShell::help()
{
    click("cmdpomoc");
    QCOMPARE(dialogs->helpCalls, QStringList{QStringLiteral("test.hlp 1 0")});
    HelpWindow viewer;
    viewer.showFile(QStringLiteral("nie-ma-takiego.hlp"));
    QVERIFY(viewer.shownText().contains(QStringLiteral("Brak pliku pomocy")));
    QVERIFY(writeAll(QStringLiteral("test.hlp"), "<html><body><p>Pomoc: zestawy pyta\xf1</p></body></html>"));
    viewer.showFile(QStringLiteral("test.hlp"));
    QVERIFY(viewer.shownText().contains(QStringLiteral("zestawy pytań")));
}

void TstShell::desktopMessageBox_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("press"); // a button's caption, or "Escape"
    QTest::addColumn<int>("answer");
    QTest::newRow("Tak") << int(Dialogs::Buttons::YesNo) << u("&Tak") << int(Dialogs::Answer::Yes);
    QTest::newRow("Nie") << int(Dialogs::Buttons::YesNo) << u("&Nie") << int(Dialogs::Answer::No);
    QTest::newRow("Escape is No") << int(Dialogs::Buttons::YesNo) << u("Escape") << int(Dialogs::Answer::No);
    QTest::newRow("Enter is Yes") << int(Dialogs::Buttons::YesNo) << u("Enter") << int(Dialogs::Answer::Yes);
    QTest::newRow("OK") << int(Dialogs::Buttons::Ok) << u("Enter") << int(Dialogs::Answer::Ok);
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
        if (press == QStringLiteral("Escape") || press == QStringLiteral("Enter"))
            QTest::keyClick(box, press == QStringLiteral("Escape") ? Qt::Key_Escape : Qt::Key_Return);
        else
            for (QAbstractButton* b : box->buttons())
                if (b->text() == press)
                    b->click();
    });
    QtDialogs desktop;
    QCOMPARE(int(desktop.message(nullptr, QStringLiteral("a\rb"), Dialogs::Buttons(buttons),
                                 Dialogs::Icon::None, QStringLiteral("Tytuł"))),
             answer);
    QCOMPARE(shown, QStringLiteral("Tytuł|a\nb"));
}

QTEST_MAIN(TstShell)
#include "tst_shell.moc"
