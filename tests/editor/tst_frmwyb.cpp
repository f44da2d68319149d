#include "frmwyb.h"
#include "okna.h"

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalSpy>

// The editor's window wired to its session: its real widgets clicked, scripted dialogs answering.
class TstFrmWyb : public QObject, WindowFixture<FrmWyb>
{
    Q_OBJECT
private slots:
    void init() { reset(); }
    void wiring();

private:
    bool open(const QString& name, bool nowy = false)
    {
        (nowy ? dialogs->inputs : dialogs->files) << name;
        window = std::make_unique<FrmWyb>(*dialogs, *folder);
        if (!window->load(nowy))
            return false;
        window->show();
        QApplication::setActiveWindow(window.get());
        return true;
    }
    QString counts() { return label("lbliloscpytan") + QLatin1Char('/') + label("lblnrpytania"); }
    QString text() { return w<QPlainTextEdit>("txtpytanie")->toPlainText(); }
};

void TstFrmWyb::wiring()
{
    // Three types built from nothing: the panels' own flags give the type, the hidden boxes are saved.
    QVERIFY(open(u"biologia"_s, true));
    QCOMPARE(dialogs->prompts, QStringList{u"Nazwa bazy pytań|Podaj nazwę zestawu"_s});
    QCOMPARE(label("lblnazwazestawu") + QLatin1Char(' ') + counts(), u"biologia 1/1"_s);
    type("txtpytanie", u"Które są ssakami?"_s);
    type("txtodp_0", u"pies"_s);
    type("txtodp_2", u"wieloryb"_s);
    click("cmdwybor");
    click("wy1_0");
    click("wy1_2");
    click("cmdnowepytanie");
    QCOMPARE(counts(), u"2/2"_s);
    QVERIFY(w("frameodpowiedzi")->isHidden() && text().isEmpty());
    type("txtpytanie", u"Ile to 2+2?"_s);
    type("txtodp_1", u"4"_s);
    click("cmdopcja");
    click("Opt_1");
    click("cmdnowepytanie");
    type("txtpytanie", u"Jak kumka płaz?"_s);
    click("cmddalej"); // no mode chosen: the hidden marker frame's own flag still says single choice
    QVERIFY(!w("frmopt")->isHidden() && w("frmwyb")->isHidden());
    click("cmdtekst");
    type("txtodpowiedz", u"żaba"_s);
    type("txtodp_3", u"ukryta"_s);
    click("cmddalej"); // on the last question: saved and shown again
    QCOMPARE(counts(), u"3/3"_s);
    QCOMPARE(QApplication::focusWidget(), w("txtpytanie"));
    for (int i = 0; i < 3; ++i)
        click("cmdwstecz"); // the third stays on 1
    QCOMPARE(counts(), u"3/1"_s);
    QVERIFY(w<QCheckBox>("wy1_2")->isChecked() && !w<QCheckBox>("wy1_1")->isChecked());
    click("cmdkoniec");
    QVERIFY(!window->isVisible());
    QVERIFY(matchesGolden(readAll(u"biologia"_s), u"edytor/trzy_typy"_s));
    QVERIFY(dialogs->messages.isEmpty());

    // An existing set: a grey mark, the picture controls, deletion, append, check, print, export.
    QVERIFY(QImage(8, 8, QImage::Format_RGB32).save(u"obraz.png"_s));
    QVERIFY(writeAll(u"set"_s, setOf({question(u"A"_s, 0, {2}), question(u"B"_s, 1, {0, -1})})));
    QVERIFY(open(dir->file(u"set"_s)));
    QCOMPARE(w<QCheckBox>("wy1_0")->checkState(), Qt::PartiallyChecked);
    dialogs->files << dir->file(u"obraz.png"_s) << QString();
    click("imgrysunek");
    QVERIFY(!w<QLabel>("imgrysunek")->pixmap().isNull());
    click("lblrysunek");                             // removes it, on screen only
    QTest::keyClick(w("imgrysunek"), Qt::Key_Space); // the picture box answers the keyboard too
    QCOMPARE(dialogs->fileDialogs.size(), 3);
    QCOMPARE(dialogs->fileDialogs.last().initialDir, dir->path());
    for (QWidget* control : window->findChildren<QWidget*>())
        if (control->focusPolicy() != Qt::NoFocus && control->isVisible())
            QVERIFY2(!QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty(),
                     qPrintable(control->objectName()));
    click("cmddalej");
    QVERIFY(w<QRadioButton>("Opt_1")->isChecked() && w("frmwyb")->isHidden());
    dialogs->answers << Dialogs::Answer::No << Dialogs::Answer::Yes;
    click("cmdKasuj");
    click("cmdKasuj");
    QCOMPARE(counts() + text(), u"1/1A"_s);
    QCOMPARE(message(),
             QStringList(2, u"Budowanie bazy pytań|Kasować ten rekord?"_s).join(QLatin1Char('\n')));
    dialogs->files << dir->file(u"biologia"_s);
    click("cmddolacz");
    QCOMPARE(counts() + text(), u"4/4Jak kumka płaz?"_s);
    click("cmdsprawdz");
    auto* list = window->findChild<QListWidget*>(u"lstuwagi"_s);
    QVERIFY(list && list->window()->windowTitle() == u"Sprawdzenie zestawu"_s);
    emit list->itemActivated(list->item(0)); // double-click or Enter
    QCOMPARE(counts(), u"4/"_s + list->item(0)->data(Qt::UserRole).toString());
    dialogs->saves << QString() << dir->file(u"wydruk"_s)
                   << dir->file(u"wymiana"_s) + u"|GIFT (*.gift *.txt)"_s;
    click("cmddrukuj"); // cancelled
    click("cmddrukuj");
    click("cmdeksport");
    QVERIFY(readAll(u"wydruk.pdf"_s).startsWith("%PDF") && readAll(u"wymiana.gift"_s).contains("::"));
    QVERIFY(message().startsWith(u"Budowanie bazy pytań|Zapisano pytań: "_s));
    // The title bar's close saves like "Koniec".
    type("txtpytanie", u"zamknięte"_s);
    window->close();
    QVERIFY(!window->isVisible() && readAll(u"set"_s).contains("zamkni\xeate"));

    // A file that is no set ends the program.
    QVERIFY(writeAll(u"zly"_s, "abc"));
    dialogs->files << dir->file(u"zly"_s);
    window = std::make_unique<FrmWyb>(*dialogs, *folder);
    QSignalSpy ends(window.get(), &FrmWyb::koniecProgramu);
    QVERIFY(!window->load(false) && ends.size() == 1);
    QCOMPARE(message(), u"TEST|Wybrany plik nie jest bazą pytań\rnastąpi zakończenie programu"_s);
}

QTEST_MAIN(TstFrmWyb)
#include "tst_frmwyb.moc"
