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
    void deletion();
    void append();
    void pictures();
    void exchange();
    void checkAndPrint();
    void faultsKeepTheQuestion();
    void keyboardReachesEveryControl();

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
    rekord recordOf(const QString& file, int n)
    {
        return rekord::decode(readAll(file).mid((n - 1) * 1314, 1314));
    }
};

void TstFrmWyb::buildThreeTypesFromNothing()
{
    QVERIFY(open(QStringLiteral("biologia"), 1));
    QCOMPARE(label("lblnazwazestawu") + QLatin1Char(' ') + counts(), QStringLiteral("biologia 1/1"));
    QCOMPARE(readAll(QStringLiteral("biologia")), rekord::pusty().encode());
    type("txtpytanie", QStringLiteral("Które są ssakami?"));
    type("txtodp_0", QStringLiteral("pies"));
    type("txtodp_2", QStringLiteral("wieloryb"));
    click("cmdwybor");
    click("wy1_0");
    click("wy1_2");
    click("cmdnowepytanie");
    QCOMPARE(counts(), QStringLiteral("2/2"));
    QVERIFY(w("Frame1")->isHidden() && w<QPlainTextEdit>("txtpytanie")->toPlainText().isEmpty());
    type("txtpytanie", QStringLiteral("Ile to 2+2?"));
    type("txtodp_1", QStringLiteral("4"));
    click("cmdopcja");
    click("Opt_1");
    click("cmdnowepytanie");
    // The typed answer keeps the hidden answer boxes, which the save writes as they stand.
    type("txtpytanie", QStringLiteral("Jak kumka płaz?"));
    click("cmdtekst");
    type("txtodpowiedz", QStringLiteral("żaba"));
    type("txtodp_3", QStringLiteral("ukryta"));
    click("cmddalej"); // on the last question: saved and shown again
    QCOMPARE(counts(), QStringLiteral("3/3"));
    QCOMPARE(QApplication::focusWidget(), w("txtpytanie"));
    click("cmdwstecz");
    click("cmdwstecz");
    click("cmdwstecz"); // stays on 1
    QCOMPARE(counts(), QStringLiteral("3/1"));
    QVERIFY(w<QCheckBox>("wy1_2")->isChecked() && !w<QCheckBox>("wy1_1")->isChecked());
    click("cmdkoniec");
    QVERIFY(matchesGolden(readAll(QStringLiteral("biologia")), QStringLiteral("edytor/trzy_typy")));
    QVERIFY(dialogs->messages.isEmpty());
}

void TstFrmWyb::displayAndSave_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("shown"); // the marker widgets that are checked, "grey" for a grey box
    QTest::addColumn<QByteArray>("saved");
    const auto enc = [](qint16 typ, std::array<qint16, 5> marks) {
        return question(QStringLiteral("P"), typ, marks).encode();
    };
    QTest::newRow("single: the last mark shown")
        << enc(1, {0, -1, 0, -1, 0}) << u("Opt_3") << enc(1, {0, 0, 0, -1, 0});
    QTest::newRow("multiple: a grey 2 kept")
        << enc(0, {1, 2, 0, 0, 1}) << u("wy1_0 grey wy1_4") << enc(0, {1, 2, 0, 0, 1});
    QTest::newRow("type 5 saved as multiple choice")
        << enc(5, {1, 0, 0, 0, 0}) << u("wy1_0") << enc(0, {1, 0, 0, 0, 0});
    rekord t;
    for (int k = 1; k <= 5; ++k)
        ustawTekst(t.odp(k), k == 1 ? QStringLiteral("  dwa  ") : QString());
    ustawTekst(t.pytanie, QString()), ustawTekst(t.rysunek, QString());
    t.typ = 2, t.poprawna1 = 1;
    const QByteArray typed = t.encode();
    ustawTekst(t.odp1, QStringLiteral("dwa"));
    QTest::newRow("typed answer re-read trimmed") << typed << u("") << t.encode();
}

void TstFrmWyb::displayAndSave()
{
    QFETCH(QByteArray, record);
    QFETCH(QString, shown);
    QFETCH(QByteArray, saved);
    QVERIFY(writeAll(QStringLiteral("set"), record));
    QVERIFY(open(QStringLiteral("set")));
    QStringList checked;
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
        if (auto* box = qobject_cast<QCheckBox*>(b); box && box->checkState() == Qt::PartiallyChecked)
            checked << QStringLiteral("grey");
        else if (b->isCheckable() && b->isChecked())
            checked << b->objectName();
    QCOMPARE(checked.join(QLatin1Char(' ')), shown);
    click("cmddalej");
    QCOMPARE(readAll(QStringLiteral("set")), saved);
}

void TstFrmWyb::loadFailures_data()
{
    QTest::addColumn<QByteArray>("content"); // written to "set"; "-" makes it a folder
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("ends");
    QTest::newRow("short file is no set")
        << QByteArray("abc") << u("TEST|Wybrany plik nie jest bazą pytań\rnastąpi zakończenie programu")
        << true;
    QTest::newRow("mark -1 in multiple choice")
        << question(QStringLiteral("P"), 0, {-1}).encode()
        << u("TEST|Wybrany plik nie jest bazą pytań\rnastąpi zakończenie programu") << true;
    QTest::newRow("a folder") << QByteArray("-") << u("") << false;
}

void TstFrmWyb::loadFailures()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QFETCH(bool, ends);
    QVERIFY(content == "-" ? QDir().mkdir(QStringLiteral("set")) : writeAll(QStringLiteral("set"), content));
    QVERIFY(!open(QStringLiteral("set")));
    const QString shown = this->message();
    QVERIFY2(message.isEmpty() ? shown.contains(QStringLiteral("Nie można otworzyć zestawu"))
                               : shown == message,
             qPrintable(shown));
    QCOMPARE(dialogs->ended(), ends);
    if (content != "-")
        QCOMPARE(readAll(QStringLiteral("set")), content);
    // A cancelled name, then a cancelled dialog, end the program without a message.
    reset();
    dialogs->files << QString();
    QVERIFY(!open(QString(), 1));
    QVERIFY(dialogs->ended() && dialogs->messages.isEmpty());
}

void TstFrmWyb::deletion()
{
    QList<rekord> five;
    for (int i = 1; i <= 5; ++i)
        five << question(QString::number(i), 0);
    QVERIFY(writeAll(QStringLiteral("set"), setOf(five)));
    QVERIFY(open(QStringLiteral("set")));
    click("cmddalej");
    dialogs->answers << Dialogs::Answer::No << Dialogs::Answer::Yes;
    click("cmdKasuj");
    QCOMPARE(readAll(QStringLiteral("set")), setOf(five));
    click("cmdKasuj");
    QCOMPARE(
        message(),
        QStringLiteral("Budowanie bazy pytań|Kasować ten rekord?\nBudowanie bazy pytań|Kasować ten rekord?"));
    QCOMPARE(counts() + w<QPlainTextEdit>("txtpytanie")->toPlainText(), QStringLiteral("4/23"));
    QCOMPARE(readAll(QStringLiteral("set")), setOf({five[0], five[2], five[3], five[4]}));
    // Right after "Nowe pytanie" the new question is not in the file: the count goes back.
    click("cmdnowepytanie");
    dialogs->answers << Dialogs::Answer::Yes;
    click("cmdKasuj");
    QCOMPARE(counts(), QStringLiteral("4/4"));
}

void TstFrmWyb::append()
{
    QList<rekord> ten, three;
    for (int i = 1; i <= 10; ++i)
        ten << question(QString::number(i), 0);
    for (int i = 1; i <= 3; ++i)
        three << question(QStringLiteral("inny %1").arg(i), 1, {-1});
    QVERIFY(writeAll(QStringLiteral("set"), setOf(ten)) && writeAll(QStringLiteral("other"), setOf(three)));
    QVERIFY(writeAll(QStringLiteral("one"), setOf({three[0]})));
    QVERIFY(open(QStringLiteral("set")));
    dialogs->files << QString() << dir->file(QStringLiteral("other")) << dir->file(QStringLiteral("one"));
    click("Command1"); // cancelled: nothing changes
    QCOMPARE(counts(), QStringLiteral("10/1"));
    click("Command1");
    QCOMPARE(counts() + w<QPlainTextEdit>("txtpytanie")->toPlainText(), QStringLiteral("13/13inny 3"));
    click("Command1");
    QCOMPARE(counts(), QStringLiteral("14/14"));
    QCOMPARE(readAll(QStringLiteral("set")), setOf(ten + three + three.mid(0, 1)));
    {
        const FileSizeLimit limit(readAll(QStringLiteral("set")).size() + 1314 + 10);
        dialogs->files << dir->file(QStringLiteral("other"));
        click("Command1");
    }
    QVERIFY(message().startsWith(QStringLiteral("Budowanie bazy pytań|Nie udało się dołączyć zestawu")));
    QCOMPARE(counts(), QStringLiteral("15/15"));
    QVERIFY(dialogs->messages.isEmpty());
}

void TstFrmWyb::pictures()
{
    QVERIFY(QImage(8, 8, QImage::Format_RGB32).save(QStringLiteral("obraz.png")));
    QVERIFY(writeAll(QStringLiteral("tekst.png"), "nie obraz"));
    rekord missing = question(QStringLiteral("P"), 0);
    ustawTekst(missing.rysunek, QStringLiteral("brak.png"));
    QVERIFY(writeAll(QStringLiteral("set"), setOf({missing, question(QStringLiteral("Q"), 0)})));
    QVERIFY(open(QStringLiteral("set")));
    QCOMPARE(message(), QStringLiteral("Błąd|Nniewłaściwa nazwa pliku graficznego"));
    QCOMPARE(window->nazwarysunku(), QString());
    // Image1: a picture is attached and the question saved at once; a click removes it again.
    dialogs->files << dir->file(QStringLiteral("obraz.png")) << dir->file(QStringLiteral("tekst.png"));
    QTest::mouseClick(w("Image1"), Qt::LeftButton);
    QCOMPARE(tekst(recordOf(QStringLiteral("set"), 1).rysunek), QStringLiteral("obraz.png"));
    QVERIFY(!w<QLabel>("Image1")->pixmap().isNull());
    QTest::mouseClick(w("Image1"), Qt::LeftButton);
    QCOMPARE(tekst(recordOf(QStringLiteral("set"), 1).rysunek), QString());
    QTest::mouseClick(w("Image1"), Qt::LeftButton);
    QCOMPARE(message(), QStringLiteral("Błąd|Nniew łaściwa nazwa pliku graficznego\nBłąd|tekst.png"));
    QCOMPARE(tekst(recordOf(QStringLiteral("set"), 1).rysunek), QString());
    // Label2: one message, and the rejected name still reaches the record at the next save.
    dialogs->files << dir->file(QStringLiteral("tekst.png"));
    QTest::mouseClick(w("Label2"), Qt::LeftButton);
    QCOMPARE(message(), QStringLiteral("Błąd|Nniew łaściwa nazwa pliku graficznego"));
    click("cmddalej");
    QCOMPARE(tekst(recordOf(QStringLiteral("set"), 1).rysunek), QStringLiteral("tekst.png"));
}

void TstFrmWyb::exchange()
{
    QVERIFY(open(QStringLiteral("set"), 1) && writeAll(u("zajety.png"), "inny plik"));
    // Another program's questions: converted, appended, and what was left out reported.
    const QString data = QStringLiteral(TESTOWNIK_DATA "/wymiana/");
    dialogs->files << data + u("import.xml") << data + u("import.gift") << data + u("import.txt")
                   << data + u("obraz.png");
    for (const char* file : {"import.xml", "import.gift", "import.txt"}) {
        click("Command1");
        QCOMPARE(message(),
                 u("Budowanie bazy pytań|") + QString::fromUtf8(readAll(data + u(file) + u(".raport")))
                                                  .trimmed()
                                                  .replace(QLatin1Char('\n'), QLatin1Char('\r')));
    }
    QCOMPARE(readAll(dir->file(u("set"))).mid(1314), readAll(data + u("import.xml.zestaw")) +
                                                         readAll(data + u("import.gift.zestaw")) +
                                                         readAll(data + u("import.txt.zestaw")));
    QCOMPARE(counts(), QStringLiteral("23/23"));
    click("Command1"); // a picture is refused and changes nothing
    QVERIFY(message().contains(QStringLiteral("nie jest zestawem pytań ani plikiem pytań")));
    QCOMPARE(readAll(dir->file(u("set"))).size(), 23 * 1314);
    // Export: the format follows the extension, or the chosen filter's when there is none.
    dialogs->saves << dir->file(u("wymiana")) << dir->file(u("wymiana")) + u("|GIFT (*.gift *.txt)");
    click("cmdeksport");
    click("cmdeksport");
    QVERIFY(message().startsWith(u("Budowanie bazy pytań|Zapisano pytań: ")));
    QVERIFY(readAll(dir->file(u("wymiana.xml"))).startsWith("<?xml") &&
            readAll(dir->file(u("wymiana.gift"))).contains("::"));
    dialogs->files << dir->file(u("wymiana.gift"));
    click("Command1");
    QVERIFY(window->iloscrekordow() > 23);
}

void TstFrmWyb::checkAndPrint()
{
    QVERIFY(writeAll(QStringLiteral("set"),
                     setOf({question(QStringLiteral("Dobre"), 1, {-1}), question(QStringLiteral("Bez -1"), 1),
                            question(QStringLiteral("dobre "), 1, {-1})})));
    QVERIFY(open(QStringLiteral("set")));
    type("txtpytanie", QStringLiteral("DOBRE"));
    click("cmdsprawdz"); // saves the question on screen first
    QCOMPARE(tekst(recordOf(QStringLiteral("set"), 1).pytanie), QStringLiteral("DOBRE"));
    auto* list = window->findChild<QListWidget*>(QStringLiteral("lstuwagi"));
    QVERIFY(list && list->window()->windowTitle() == QStringLiteral("Sprawdzenie zestawu"));
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text().left(10);
    QCOMPARE(lines.join(QLatin1Char(',')),
             QStringLiteral("Pytanie 2:,Pytanie 1:,Pytanie 2:,Pytanie 3:,Pytanie 3:"));
    QCOMPARE(list->item(4)->text(), QStringLiteral("Pytanie 3: Ta sama treść co w pytaniu 1."));
    emit list->itemActivated(list->item(0)); // double-click or Enter
    QCOMPARE(counts(), QStringLiteral("3/2"));
    click("cmdsprawdz");
    dialogs->saves << QString() << dir->file(QStringLiteral("wydruk"));
    click("cmddrukuj"); // cancelled
    click("cmddrukuj");
    QVERIFY(readAll(QStringLiteral("wydruk.pdf")).startsWith("%PDF"));
    QVERIFY(dialogs->messages.isEmpty());
}

void TstFrmWyb::faultsKeepTheQuestion()
{
    QVERIFY(writeAll(QStringLiteral("set"), setOf({question(QStringLiteral("A"), 0)})));
    QVERIFY(open(QStringLiteral("set")));
    click("cmdnowepytanie");
    type("txtpytanie", QStringLiteral("nowe"));
    {
        const FileSizeLimit limit(1314 + 100);
        click("cmdnowepytanie");
    }
    QVERIFY(message().startsWith(QStringLiteral("Budowanie bazy pytań|Nie udało się zapisać pytania nr 2")));
    QCOMPARE(counts() + w<QPlainTextEdit>("txtpytanie")->toPlainText(), QStringLiteral("2/2nowe"));
    // Deleted by another program while open: written back whole, then the save goes on.
    QVERIFY(QFile::remove(QStringLiteral("set")));
    window->close(); // the close control saves like "Koniec"
    QVERIFY(message().contains(QStringLiteral("Odtworzono go ze wszystkimi pytaniami.")));
    QCOMPARE(tekst(recordOf(QStringLiteral("set"), 2).pytanie), QStringLiteral("nowe"));
}

void TstFrmWyb::keyboardReachesEveryControl()
{
    QVERIFY(writeAll(QStringLiteral("set"), setOf({question(QStringLiteral("A"), 0)})));
    QVERIFY(open(QStringLiteral("set")));
    w("txtpytanie")->setFocus();
    QStringList order;
    for (int i = 0; i < 18; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order.join(QLatin1Char(' ')),
             QStringLiteral(
                 "cmdwybor cmdopcja cmdtekst wy1_0 txtodp_0 wy1_1 txtodp_1 wy1_2 txtodp_2 wy1_3 txtodp_3 "
                 "wy1_4 txtodp_4 Image1 cmdwstecz cmddalej cmdnowepytanie cmdKasuj"));
    dialogs->files << QString();
    QTest::keyClick(w("Image1"), Qt::Key_Space); // the picture box answers the keyboard too
    QCOMPARE(dialogs->fileDialogs.size(), 2);
    for (QWidget* control : window->findChildren<QWidget*>())
        if (control->focusPolicy() != Qt::NoFocus && control->isVisible())
            QVERIFY2(!QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty(),
                     qPrintable(control->objectName()));
}

QTEST_MAIN(TstFrmWyb)
#include "tst_frmwyb.moc"
