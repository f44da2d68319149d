#include "frmwyb.h"
#include "fsizelimit.h"
#include "okna.h"

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QListWidget>

// The editor driven through its real widgets, with scripted dialogs answering.
class TstFrmWyb : public QObject, WindowFixture<FrmWyb>
{
    Q_OBJECT
private slots:
    void init() { reset(); }
    void buildThreeTypesFromNothing();
    void displayAndSave_data();
    void displayAndSave();
    void loadFailures_data();
    void loadFailures();
    void deletionAndAppend();
    void pictures();
    void exchange();
    void checkAndPrint();
    void keyboardAndFaults();

private:
    bool open(const QString& name, qint16 nowy = 0)
    {
        (nowy ? dialogs->inputs : dialogs->files) << name;
        window = std::make_unique<FrmWyb>(*dialogs);
        if (!window->load(nowy))
            return false;
        window->show();
        QApplication::setActiveWindow(window.get());
        return true;
    }
    QString counts() { return label("lbliloscpytan") + QLatin1Char('/') + label("lblnrpytania"); }
    bool openSet(const QList<rekord>& set) { return writeAll(u"set"_s, setOf(set)) && open(u"set"_s); }
    rekord recordOf(int n) { return rekord::decode(readAll(dir->file(u"set"_s)).mid((n - 1) * 1314, 1314)); }
};

void TstFrmWyb::buildThreeTypesFromNothing()
{
    QVERIFY(open(u"biologia"_s, 1));
    QCOMPARE(label("lblnazwazestawu") + QLatin1Char(' ') + counts(), u"biologia 1/1"_s);
    type("txtpytanie", u"Które są ssakami?"_s);
    type("txtodp_0", u"pies"_s);
    type("txtodp_2", u"wieloryb"_s);
    click("cmdwybor");
    click("wy1_0");
    click("wy1_2");
    click("cmdnowepytanie");
    QCOMPARE(counts(), u"2/2"_s);
    QVERIFY(w("Frame1")->isHidden() && w<QPlainTextEdit>("txtpytanie")->toPlainText().isEmpty());
    type("txtpytanie", u"Ile to 2+2?"_s);
    type("txtodp_1", u"4"_s);
    click("cmdopcja");
    click("Opt_1");
    click("cmdnowepytanie");
    // The typed answer keeps the hidden answer boxes, which the save writes as they stand.
    type("txtpytanie", u"Jak kumka płaz?"_s);
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
    QVERIFY(matchesGolden(readAll(u"biologia"_s), u"edytor/trzy_typy"_s));
    QVERIFY(dialogs->messages.isEmpty());
}

void TstFrmWyb::displayAndSave_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("shown"); // the marker widgets that are checked, "grey" for a grey box
    QTest::addColumn<QByteArray>("saved");
    const auto enc = [](qint16 t, std::array<qint16, 5> marks) {
        return question(u"P"_s, t, marks).encode();
    };
    QTest::newRow("single: last mark") << enc(1, {0, -1, 0, -1, 0}) << u"Opt_3"_s << enc(1, {0, 0, 0, -1, 0});
    QTest::newRow("multiple: grey 2")
        << enc(0, {1, 2, 0, 0, 1}) << u"wy1_0 grey wy1_4"_s << enc(0, {1, 2, 0, 0, 1});
    QTest::newRow("type 5: multiple") << enc(5, {1, 0, 0, 0, 0}) << u"wy1_0"_s << enc(0, {1, 0, 0, 0, 0});
}

void TstFrmWyb::displayAndSave()
{
    QFETCH(QByteArray, record);
    QFETCH(QString, shown);
    QFETCH(QByteArray, saved);
    QVERIFY(writeAll(u"set"_s, record) && open(u"set"_s));
    QStringList checked;
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (auto* box = qobject_cast<QCheckBox*>(b); box && box->checkState() == Qt::PartiallyChecked)
            checked << u"grey"_s;
        else if (b->isCheckable() && b->isChecked())
            checked << b->objectName();
    QCOMPARE(checked.join(QLatin1Char(' ')), shown);
    click("cmddalej");
    QCOMPARE(readAll(u"set"_s), saved);
}

void TstFrmWyb::loadFailures_data()
{
    QTest::addColumn<QByteArray>("content"); // written to "set"; empty makes it a folder
    QTest::addColumn<QString>("shown");      // how the message starts
    const QString none = u"TEST|Wybrany plik nie jest bazą pytań\rnastąpi zakończenie programu"_s;
    QTest::newRow("short file is no set") << QByteArray("abc") << none;
    QTest::newRow("mark -1 in multiple choice") << question(u"P"_s, 0, {-1}).encode() << none;
    QTest::newRow("a folder") << QByteArray() << u"Budowanie bazy pytań|Nie można otworzyć zestawu"_s;
}

void TstFrmWyb::loadFailures()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, shown);
    QVERIFY(content.isEmpty() ? QDir().mkdir(u"set"_s) : writeAll(u"set"_s, content));
    QVERIFY(!open(u"set"_s));
    QVERIFY(message().startsWith(shown));
    QCOMPARE(dialogs->ending(), !content.isEmpty()); // a set that is none ends the program, untouched
    QCOMPARE(readAll(u"set"_s), content);
    // A cancelled name, then a cancelled dialog, end the program without a message.
    reset();
    dialogs->files << QString();
    QVERIFY(!open(QString(), 1) && dialogs->ending() && dialogs->messages.isEmpty());
}

void TstFrmWyb::deletionAndAppend()
{
    QList<rekord> ten, three;
    for (int i = 1; i <= 10; ++i)
        ten << question(QString::number(i), 0);
    for (int i = 1; i <= 3; ++i)
        three << question(u"inny %1"_s.arg(i), 1, {-1});
    QVERIFY(writeAll(u"other"_s, setOf(three)) && writeAll(u"one"_s, setOf({three[0]})) && openSet(ten));
    click("cmddalej");
    dialogs->answers << Dialogs::Answer::No << Dialogs::Answer::Yes;
    click("cmdKasuj");
    QCOMPARE(readAll(u"set"_s), setOf(ten));
    click("cmdKasuj");
    QCOMPARE(counts() + w<QPlainTextEdit>("txtpytanie")->toPlainText(), u"9/23"_s);
    ten.removeAt(1);
    QCOMPARE(readAll(u"set"_s), setOf(ten));
    // Right after "Nowe pytanie" the new question is not in the file: the count goes back.
    click("cmdnowepytanie");
    dialogs->answers << Dialogs::Answer::Yes;
    click("cmdKasuj");
    QCOMPARE(counts(), u"9/9"_s);
    QCOMPARE(message(),
             QStringList(3, u"Budowanie bazy pytań|Kasować ten rekord?"_s).join(QLatin1Char('\n')));

    dialogs->files << QString() << dir->file(u"other"_s) << dir->file(u"one"_s);
    click("Command1"); // cancelled: nothing changes
    QCOMPARE(counts(), u"9/9"_s);
    click("Command1");
    QCOMPARE(counts() + w<QPlainTextEdit>("txtpytanie")->toPlainText(), u"12/12inny 3"_s);
    click("Command1");
    QCOMPARE(counts(), u"13/13"_s);
    QCOMPARE(readAll(u"set"_s), setOf(ten + three + three.mid(0, 1)));
    {
        const FileSizeLimit limit(readAll(u"set"_s).size() + 1314 + 10);
        dialogs->files << dir->file(u"other"_s);
        click("Command1");
    }
    QVERIFY(message().startsWith(u"Budowanie bazy pytań|Nie udało się dołączyć zestawu"_s));
    QCOMPARE(counts(), u"14/14"_s);
}

void TstFrmWyb::pictures()
{
    QVERIFY(QImage(8, 8, QImage::Format_RGB32).save(u"obraz.png"_s));
    QVERIFY(writeAll(u"tekst.png"_s, "nie obraz"));
    QVERIFY(openSet({pytanie(0, u"P"_s, {}, {}, u"brak.png"_s), question(u"Q"_s, 0)}));
    QCOMPARE(message(), u"Błąd|Nniewłaściwa nazwa pliku graficznego"_s);
    QCOMPARE(window->nazwarysunku(), QString());
    // Image1: a picture is attached and the question saved at once; a click removes it again.
    dialogs->files << dir->file(u"obraz.png"_s) << dir->file(u"tekst.png"_s);
    click("Image1");
    QCOMPARE(tekst(recordOf(1).rysunek), u"obraz.png"_s);
    QVERIFY(!w<QLabel>("Image1")->pixmap().isNull());
    click("Image1");
    QCOMPARE(tekst(recordOf(1).rysunek), QString());
    click("Image1");
    QCOMPARE(message(), u"Błąd|Nniew łaściwa nazwa pliku graficznego\nBłąd|tekst.png"_s);
    QCOMPARE(tekst(recordOf(1).rysunek), QString());
    // Label2: one message, and the rejected name still reaches the record at the next save.
    dialogs->files << dir->file(u"tekst.png"_s);
    click("Label2");
    QCOMPARE(message(), u"Błąd|Nniew łaściwa nazwa pliku graficznego"_s);
    click("cmddalej");
    QCOMPARE(tekst(recordOf(1).rysunek), u"tekst.png"_s);
}

void TstFrmWyb::exchange()
{
    QVERIFY(open(u"set"_s, 1) && writeAll(u"zajety.png"_s, "inny plik"));
    // Another program's questions are converted and appended, and what was left out is reported; a
    // picture is refused. Export follows the extension, or the chosen filter's when there is none.
    const QString data = QStringLiteral(TESTOWNIK_DATA "/wymiana/");
    for (const char* file : {"import.xml", "import.gift", "import.txt", "obraz.png"}) {
        dialogs->files << data + QString::fromUtf8(file);
        click("Command1");
    }
    QCOMPARE(readAll(dir->file(u"set"_s)).mid(1314), readAll(data + u"import.xml.zestaw"_s) +
                                                         readAll(data + u"import.gift.zestaw"_s) +
                                                         readAll(data + u"import.txt.zestaw"_s));
    QCOMPARE(counts(), u"23/23"_s);
    dialogs->saves << dir->file(u"wymiana"_s) << dir->file(u"wymiana"_s) + u"|GIFT (*.gift *.txt)"_s;
    click("cmdeksport");
    click("cmdeksport");
    QVERIFY(readAll(dir->file(u"wymiana.xml"_s)).startsWith("<?xml") &&
            readAll(dir->file(u"wymiana.gift"_s)).contains("::"));
    dialogs->files << dir->file(u"wymiana.gift"_s);
    click("Command1");
    QVERIFY(window->iloscrekordow() > 23);
    QVERIFY(matchesGolden(message().toUtf8(), u"edytor/wymiana.txt"_s));
}

void TstFrmWyb::checkAndPrint()
{
    QVERIFY(
        openSet({question(u"Dobre"_s, 1, {-1}), question(u"Bez -1"_s, 1), question(u"dobre "_s, 1, {-1})}));
    type("txtpytanie", u"DOBRE"_s);
    click("cmdsprawdz"); // saves the question on screen first
    QCOMPARE(tekst(recordOf(1).pytanie), u"DOBRE"_s);
    auto* list = window->findChild<QListWidget*>(u"lstuwagi"_s);
    QVERIFY(list && list->window()->windowTitle() == u"Sprawdzenie zestawu"_s);
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    QVERIFY(matchesGolden(lines.join(QLatin1Char('\n')).toUtf8(), u"edytor/uwagi.txt"_s));
    emit list->itemActivated(list->item(0)); // double-click or Enter
    QCOMPARE(counts(), u"3/2"_s);
    click("cmdsprawdz");
    dialogs->saves << QString() << dir->file(u"wydruk"_s);
    click("cmddrukuj"); // cancelled
    click("cmddrukuj");
    QVERIFY(readAll(u"wydruk.pdf"_s).startsWith("%PDF"));
    QVERIFY(dialogs->messages.isEmpty());
}

void TstFrmWyb::keyboardAndFaults()
{
    QVERIFY(openSet({question(u"A"_s, 0)}));
    // The order Tab follows is what the end-to-end run types its way through.
    dialogs->files << QString();
    QTest::keyClick(w("Image1"), Qt::Key_Space); // the picture box answers the keyboard too
    QCOMPARE(dialogs->fileDialogs.size(), 2);
    for (QWidget* control : window->findChildren<QWidget*>())
        if (control->focusPolicy() != Qt::NoFocus && control->isVisible())
            QVERIFY2(!QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty(),
                     qPrintable(control->objectName()));
    // A question that cannot be written stays on screen.
    click("cmdnowepytanie");
    type("txtpytanie", u"nowe"_s);
    {
        const FileSizeLimit limit(1314 + 100);
        click("cmdnowepytanie");
    }
    QVERIFY(message().startsWith(u"Budowanie bazy pytań|Nie udało się zapisać pytania nr 2"_s));
    QCOMPARE(counts() + w<QPlainTextEdit>("txtpytanie")->toPlainText(), u"2/2nowe"_s);
    // Deleted by another program while open: written back whole, then the save goes on.
    QVERIFY(QFile::remove(u"set"_s));
    window->close(); // the close control saves like "Koniec"
    QVERIFY(message().contains(u"Odtworzono go ze wszystkimi pytaniami."_s));
    QCOMPARE(tekst(recordOf(2).pytanie), u"nowe"_s);
}

QTEST_MAIN(TstFrmWyb)
#include "tst_frmwyb.moc"
