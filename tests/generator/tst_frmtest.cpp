#include "frmtest.h"
#include "okna.h"
#include "sequence.h"

#include <QAccessible>

// The generator's window wired to its session: its real widgets clicked, scripted dialogs answering.
class TstFrmTest : public QObject, WindowFixture<FrmTest>
{
    Q_OBJECT
private slots:
    void wiring();
    void separateCopies();
};

void TstFrmTest::wiring()
{
    reset();
    QList<rekord> set;
    for (int i = 1; i <= 5; ++i)
        set << question(u"Pytanie %1"_s.arg(i), qint16(i % 3), {-1, 1});
    QVERIFY(writeAll(u"zestaw"_s, setOf(set)) && QDir().mkdir(u"start"_s));
    folder->wybrano(dir->file(u"start/x"_s));
    dialogs->files << QString() << QString() << dir->file(u"zestaw"_s); // cancelled twice: it comes back
    window = std::make_unique<FrmTest>(*dialogs, *folder);
    window->setRandom(sequence({0.5, 0.1, 0.9, 0.5, 0.3}));
    QVERIFY(window->load());
    window->show();
    QCOMPARE(dialogs->fileDialogs.size(), 3);
    QCOMPARE(dialogs->fileDialogs.last().initialDir + dialogs->fileDialogs.last().title,
             dir->file(u"start"_s) + u"Wskaż nazwę zestawu"_s);
    QVERIFY(
        label("lbluwaga").startsWith(u"Uwaga: w zestawie są pytania, których nie da się zaliczyć (1)."_s));
    QVERIFY(!w("lbluwaga")->isHidden() && !w("chklosowo")->isEnabled());
    for (const char* box : {"chkukryj", "chklosowo"}) // on the box itself, at the left of the wide row
        QTest::mouseClick(w(box), Qt::LeftButton, {}, QPoint(8, w(box)->height() / 2));
    w<QLineEdit>("txtiloscpytan")->setText(u"2"_s);
    dialogs->inputs << u"10"_s << u"krótk"_s << u"10"_s << u"tajne6"_s;
    click("cmdgeneruj"); // a code of five characters is refused, and the button stays
    QVERIFY(message().startsWith(u"Generowanie Testu|Kod uruchomieniowy musi mieć co najmniej 6 znaków"_s));
    QVERIFY(!w("cmdgeneruj")->isHidden());
    QCOMPARE(label("lblspr"), u">>"_s);
    click("cmdgeneruj");
    const QString czas = u"Czas|Podaj czas trwania testu w pełnych minutach"_s,
                  kod = u"Hasło|Podaj kod uruchommieniowy testu"_s;
    QCOMPARE(dialogs->prompts, (QStringList{czas, kod, czas, kod}));
    QVERIFY(dialogs->initials.size() == 2 && dialogs->initials[0] != dialogs->initials[1]); // masked, issued
    QVERIFY(readAll(u"test.html"_s).contains("<FORM NAME=\"form2\">"));
    QVERIFY(w("cmdgeneruj")->isHidden() && !w("chkukryj")->isEnabled() && dialogs->messages.isEmpty());
    // What a screen reader hears of the value labels: their caption and their value.
    QStringList heard;
    for (const char* name : {"lblnazwazestawu", "lbliloscpytan", "lblspr"})
        heard << QAccessible::queryAccessibleInterface(w(name))->text(QAccessible::Name);
    QCOMPARE(heard, (QStringList{u"Nazwa zestawu: zestaw"_s, u"Ilość pytań w zestawie: 5"_s,
                                 u"Wylosowane pytania: >>- 5- 3"_s}));
    dialogs->saves << dir->file(u"test"_s) << dir->file(u"klucz.pdf"_s);
    click("cmdtestdruk");
    click("cmdklucz");
    QVERIFY(readAll(dir->file(u"test.pdf"_s)).startsWith("%PDF"));
    QVERIFY(readAll(dir->file(u"klucz.pdf"_s)).startsWith("%PDF"));
    click("cmdkoniec");
    QVERIFY(!window->isVisible());
}

// Separate copies: the box goes with sealing; the count is asked instead of the code.
void TstFrmTest::separateCopies()
{
    reset();
    QVERIFY(writeAll(u"zestaw"_s, setOf({question(u"Pytanie"_s, 1, {-1})})));
    dialogs->files << dir->file(u"zestaw"_s);
    dialogs->inputs << u"5"_s << u"2"_s;
    window = std::make_unique<FrmTest>(*dialogs, *folder);
    QVERIFY(window->load() && !w("chkkopie")->isEnabled());
    for (const char* box :
         {"chkukryj", "chkkopie", "chkukryj", "chkukryj", "chkkopie"}) // unticked with sealing
        QTest::mouseClick(w(box), Qt::LeftButton, {}, QPoint(8, w(box)->height() / 2));
    w<QLineEdit>("txtiloscpytan")->setText(u"1"_s);
    click("cmdgeneruj");
    QCOMPARE(dialogs->prompts.last(), u"Liczba kopii|Podaj liczbę kopii (od 1 do 60)"_s);
    QCOMPARE(QDir().entryList({u"test*"_s, u"kody*"_s}),
             (QStringList{u"kody.pdf"_s, u"test-01.html"_s, u"test-02.html"_s}));
    QVERIFY(w("cmdgeneruj")->isHidden() && w("cmdklucz")->isHidden() && !w("chkkopie")->isEnabled());
}

QTEST_MAIN(TstFrmTest)
#include "tst_frmtest.moc"
