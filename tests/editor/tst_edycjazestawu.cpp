#include "edycjazestawu.h"
#include "fsizelimit.h"
#include "komunikaty.h"
#include "okna.h"

#include <QImage>
#include <QImageReader>

using Skutek = EdycjaZestawu::Skutek;
using Typ = Pytanie::Typ;
using Kontrolka = EdycjaZestawu::Kontrolka;

// The editor's work without its window: what each operation writes and what it reports.
class TstEdycjaZestawu : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void displayAndSave_data();
    void displayAndSave();
    void loadFailures_data();
    void loadFailures();
    void newSetInTheCurrentFolder();
    void deletionAndAppend();
    void pictures();
    void exchange();
    void checkPrintAndFaults();

private:
    std::unique_ptr<TempCwd> dir;
    std::unique_ptr<BiezacyFolder> folder;
    std::unique_ptr<EdycjaZestawu> e;
    // The last outcome, and the last question shown, which stays on screen until the next.
    struct : Skutek
    {
        std::optional<EdycjaZestawu::Widok> shown;
        void operator=(Skutek s)
        {
            if (s.widok)
                shown = s.widok;
            Skutek::operator=(std::move(s));
        }
    } last;

    void fresh()
    {
        e = std::make_unique<EdycjaZestawu>(
            *folder, [](const QString& path) { return path.isEmpty() || QImageReader(path).canRead(); });
    }
    bool open(const QString& name)
    {
        last = e->otworz(name, name);
        return last.zrobione;
    }
    bool openSet(const QList<rekord>& set) { return writeAll(u"set"_s, setOf(set)) && open(u"set"_s); }
    rekord recordOf(int n) { return rekord::decode(readAll(dir->file(u"set"_s)).mid((n - 1) * 1314, 1314)); }
    // What the window would take back from the controls after showing the last question.
    EdycjaZestawu::Ekran screen() const
    {
        EdycjaZestawu::Ekran s;
        const EdycjaZestawu::Widok w = last.shown.value();
        s.pytanie = w.pytanie, s.odpowiedzi = w.odpowiedzi, s.typ = w.typ, s.znaki = w.znaki, s.wzor = w.wzor;
        if (w.opcja >= 0)
            s.opcje[size_t(w.opcja)] = true;
        return s;
    }
    static QString said(const Skutek& s) { return ::said(s.komunikaty); }
    QString counts() const { return u"%1/%2"_s.arg(e->iloscrekordow()).arg(e->nrrekordu()); }
};

void TstEdycjaZestawu::init()
{
    e.reset();
    dir.reset();
    dir = std::make_unique<TempCwd>();
    folder = std::make_unique<BiezacyFolder>(dir->path());
    fresh();
}

void TstEdycjaZestawu::displayAndSave_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("shown"); // the panel and its markers
    QTest::addColumn<QByteArray>("saved");
    const auto enc = [](qint16 t, std::array<qint16, 5> marks) {
        return question(u"P"_s, t, marks).encode();
    };
    QTest::newRow("single: last mark")
        << enc(1, {0, -1, 0, -1, 0}) << u"opcja 3"_s << enc(1, {0, 0, 0, -1, 0});
    QTest::newRow("multiple: grey 2")
        << enc(0, {1, 2, 0, 0, 1}) << u"wybor 12001"_s << enc(0, {1, 2, 0, 0, 1});
    QTest::newRow("type 5: multiple")
        << enc(5, {1, 0, 0, 0, 0}) << u"wybor 10000"_s << enc(0, {1, 0, 0, 0, 0});
    // The hidden answer boxes are saved as they stand: here as the window starts, empty.
    QTest::newRow("typed: model answer and 1 0 0 0 0")
        << pytanie(2, u"P"_s, u"wzór|b|c|d|e"_s, {0, 0, 3}).encode() << u"tekst wzór"_s
        << pytanie(2, u"P"_s, u"wzór"_s, {1}).encode();
}

void TstEdycjaZestawu::displayAndSave()
{
    QFETCH(QByteArray, record);
    QFETCH(QString, shown);
    QFETCH(QByteArray, saved);
    QVERIFY(writeAll(u"set"_s, record) && open(u"set"_s));
    const EdycjaZestawu::Widok w = last.widok.value();
    QString marks;
    for (EdycjaZestawu::Znak z : w.znaki)
        marks += QString::number(qint16(z));
    QCOMPARE(w.typ == Typ::Tekst   ? u"tekst "_s + w.wzor
             : w.typ == Typ::Opcja ? u"opcja %1"_s.arg(w.opcja)
                                   : u"wybor "_s + marks,
             shown);
    EdycjaZestawu::Ekran s = screen();
    if (w.typ == Typ::Tekst)
        s.odpowiedzi = {};
    QVERIFY(e->dalej(s).zrobione);
    QCOMPARE(readAll(u"set"_s), saved);
}

void TstEdycjaZestawu::loadFailures_data()
{
    QTest::addColumn<QByteArray>("content"); // written to "set"; empty makes it a folder
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("ends"); // the program ends, rather than the editor alone closing
    const QString none = u"TEST|Wybrany plik nie jest bazą pytań\rnastąpi zakończenie programu"_s;
    QTest::newRow("short file is no set") << QByteArray("abc") << none << true;
    QTest::newRow("mark -1 in multiple choice") << question(u"P"_s, 0, {-1}).encode() << none << true;
    QTest::newRow("no picture, then no set")
        << pytanie(0, u"P"_s, {}, {3}, u"brak.png"_s).encode()
        << u"Błąd|Nniewłaściwa nazwa pliku graficznego\n"_s + none << true;
    QTest::newRow("a folder") << QByteArray() << u"Budowanie bazy pytań|Nie można otworzyć zestawu „set”.\r"_s
                              << false;
}

void TstEdycjaZestawu::loadFailures()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, shown);
    QFETCH(bool, ends);
    QVERIFY(content.isEmpty() ? QDir().mkdir(u"set"_s) : writeAll(u"set"_s, content));
    QVERIFY(!open(u"set"_s));
    QVERIFY2(said(last).startsWith(shown), qPrintable(said(last)));
    QCOMPARE(last.koniec == EdycjaZestawu::Koniec::ZakonczProgram, ends);
    QCOMPARE(readAll(u"set"_s), content); // a set that is none is left untouched
    // No name at all (both dialogs cancelled) ends the program without a message.
    fresh();
    QVERIFY(!open(QString()) && last.komunikaty.isEmpty() &&
            last.koniec == EdycjaZestawu::Koniec::ZakonczProgram);
}

// A bare name and a picture are taken from the current folder the session carries, never the
// process's; the folder follows the file last chosen.
void TstEdycjaZestawu::newSetInTheCurrentFolder()
{
    TempCwd elsewhere;
    QVERIFY(open(u"biologia"_s));
    QCOMPARE(counts() + e->nazwaZestawu(), u"1/1biologia"_s);
    QCOMPARE(readAll(dir->file(u"biologia"_s)).size(), 1314);
    QVERIFY(!QFile::exists(elsewhere.file(u"biologia"_s)));
    QVERIFY(QDir().mkdir(elsewhere.file(u"rys"_s)) &&
            QImage(4, 4, QImage::Format_RGB32).save(elsewhere.file(u"rys/a.png"_s)));
    folder->wybrano(elsewhere.file(u"rys/a.png"_s));
    const Skutek s = e->rysunek(Kontrolka::Obraz, screen(), [](const QString&) { return u"a.png"_s; });
    QVERIFY(s.komunikaty.isEmpty() && e->rysunekNaEkranie() == elsewhere.file(u"rys/a.png"_s));
    QCOMPARE(tekst(rekord::decode(readAll(dir->file(u"biologia"_s))).rysunek), u"a.png"_s);
}

void TstEdycjaZestawu::deletionAndAppend()
{
    QList<rekord> ten, three;
    for (int i = 1; i <= 10; ++i)
        ten << question(QString::number(i), 0);
    for (int i = 1; i <= 3; ++i)
        three << question(u"inny %1"_s.arg(i), 1, {-1});
    QVERIFY(writeAll(u"other"_s, setOf(three)) && writeAll(u"one"_s, setOf({three[0]})) && openSet(ten));
    last = e->dalej(screen());
    last = e->usun(); // the question as it stands in the file
    QCOMPARE(counts() + last.widok->pytanie, u"9/23"_s);
    ten.removeAt(1);
    QCOMPARE(readAll(u"set"_s), setOf(ten));
    // Right after "Nowe pytanie" the new question is not in the file: the count goes back.
    QVERIFY(e->nowePytanie(screen()).zrobione);
    QCOMPARE(counts(), u"10/10"_s);
    last = e->usun();
    QCOMPARE(counts() + last.widok->pytanie, u"9/910"_s);

    QVERIFY(!e->dolacz(QString()).zrobione); // cancelled: nothing changes
    QCOMPARE(counts(), u"9/9"_s);
    last = e->dolacz(dir->file(u"other"_s));
    QCOMPARE(counts() + last.widok->pytanie, u"12/12inny 3"_s);
    last = e->dolacz(dir->file(u"one"_s));
    QCOMPARE(counts(), u"13/13"_s);
    QCOMPARE(readAll(u"set"_s), setOf(ten + three + three.mid(0, 1)));
    if (!FileSizeLimit::works)
        QSKIP("Windows has no file size limit");
    {
        const FileSizeLimit limit(readAll(u"set"_s).size() + 1314 + 10);
        last = e->dolacz(dir->file(u"other"_s));
    }
    QVERIFY(said(last).startsWith(u"Budowanie bazy pytań|Nie udało się dołączyć zestawu"_s));
    QVERIFY(said(last).endsWith(u"Dołączone pytania: 1."_s));
    QCOMPARE(counts(), u"14/14"_s);
}

// The two controls differ on purpose: the box trims, saves at once and drops a rejected name;
// the label takes the name as it is, starts in the editor's first folder and keeps it.
void TstEdycjaZestawu::pictures()
{
    QVERIFY(QImage(8, 8, QImage::Format_RGB32).save(u"obraz.png"_s));
    QVERIFY(writeAll(u"tekst.png"_s, "nie obraz"));
    QVERIFY(openSet({pytanie(0, u"P"_s, {}, {}, u"brak.png"_s), question(u"Q"_s, 0)}));
    QCOMPARE(said(last), u"Błąd|Nniewłaściwa nazwa pliku graficznego"_s);
    QCOMPARE(e->nazwarysunku(), QString());
    QStringList asked; // the starting folder each dialog was given
    const auto choose = [&](const QString& name) {
        return [&, name](const QString& start) {
            asked << start;
            folder->wybrano(dir->file(name)); // as the dialog moves the current folder
            return name;
        };
    };
    last = e->rysunek(Kontrolka::Obraz, screen(), choose(u" obraz.png "_s));
    QCOMPARE(tekst(recordOf(1).rysunek), u"obraz.png"_s);
    QCOMPARE(e->rysunekNaEkranie(), dir->file(u"obraz.png"_s));
    last = e->rysunek(Kontrolka::Obraz, screen(), choose(u"nie pytany"_s));
    QCOMPARE(tekst(recordOf(1).rysunek) + e->rysunekNaEkranie(), QString());
    last = e->rysunek(Kontrolka::Obraz, screen(), choose(u"tekst.png"_s));
    QCOMPARE(said(last), u"Błąd|Nniew łaściwa nazwa pliku graficznego\nBłąd|tekst.png"_s);
    QCOMPARE(tekst(recordOf(1).rysunek), QString());
    // The label: one message, and the rejected name still reaches the record at the next save.
    folder->wybrano(u"/x"_s);
    last = e->rysunek(Kontrolka::Podpis, screen(), choose(u"tekst.png"_s));
    QCOMPARE(said(last), u"Błąd|Nniew łaściwa nazwa pliku graficznego"_s);
    QCOMPARE(e->nazwarysunku() + e->rysunekNaEkranie(), u"tekst.png"_s);
    QCOMPARE(asked, (QStringList{QString(), QString(), dir->path()}));
    last = e->wstecz(screen());
    QCOMPARE(tekst(recordOf(1).rysunek), u"tekst.png"_s);
    QCOMPARE(said(last), u"Błąd|Nniewłaściwa nazwa pliku graficznego"_s);
    // Taken as it is, a name with a blank does not load.
    last = e->rysunek(Kontrolka::Podpis, screen(), choose(u" obraz.png"_s));
    QCOMPARE(said(last), u"Błąd|Nniew łaściwa nazwa pliku graficznego"_s);
    last = e->rysunek(Kontrolka::Podpis, screen(), choose(u"nie pytany"_s)); // removes the name
    QVERIFY(e->rysunek(Kontrolka::Podpis, screen(), choose(u"obraz.png"_s)).komunikaty.isEmpty());
    QCOMPARE(tekst(recordOf(1).rysunek), u"tekst.png"_s); // nothing written yet
    last = e->dalej(screen());
    QCOMPARE(tekst(recordOf(1).rysunek), u"obraz.png"_s);
    QCOMPARE(asked.size(), 5);
}

void TstEdycjaZestawu::exchange()
{
    QVERIFY(open(u"set"_s) && writeAll(u"zajety.png"_s, "inny plik"));
    // Another program's questions are converted and appended, and what was left out is reported; a
    // picture is refused. Export follows the extension.
    const QString data = QStringLiteral(TESTOWNIK_DATA "/wymiana/");
    QStringList shown;
    for (const char* file : {"import.xml", "import.gift", "import.txt", "obraz.png"})
        shown << said(e->dolacz(data + QString::fromUtf8(file)));
    QCOMPARE(readAll(dir->file(u"set"_s)).mid(1314), readAll(data + u"import.xml.zestaw"_s) +
                                                         readAll(data + u"import.gift.zestaw"_s) +
                                                         readAll(data + u"import.txt.zestaw"_s));
    QCOMPARE(counts(), u"23/23"_s);
    shown << said(e->eksportuj(dir->file(u"wymiana.xml"_s)))
          << said(e->eksportuj(dir->file(u"wymiana.gift"_s)));
    QVERIFY(readAll(dir->file(u"wymiana.xml"_s)).startsWith("<?xml") &&
            readAll(dir->file(u"wymiana.gift"_s)).contains("::"));
    shown << said(e->dolacz(dir->file(u"wymiana.gift"_s)));
    QVERIFY(e->iloscrekordow() > 23);
    QVERIFY(matchesGolden(shown.join(QLatin1Char('\n')).toUtf8(), u"edytor/wymiana.txt"_s));
    QCOMPARE(said(e->eksportuj(dir->file(u"wymiana.doc"_s))),
             u"Budowanie bazy pytań|Nie udało się zapisać pliku „%1”.\rZestaw można zapisać tylko w formacie "
             u"Moodle XML (.xml) albo GIFT (.gift, .txt)."_s.arg(dir->file(u"wymiana.doc"_s)));
}

void TstEdycjaZestawu::checkPrintAndFaults()
{
    QVERIFY(
        openSet({question(u"Dobre"_s, 1, {-1}), question(u"Bez -1"_s, 1), question(u"dobre "_s, 1, {-1})}));
    EdycjaZestawu::Ekran s = screen();
    s.pytanie = u"DOBRE"_s;
    QList<sprawdzenie::Uwaga> uwagi;
    QVERIFY(e->sprawdz(s, uwagi).zrobione); // saves the question on screen first
    QCOMPARE(tekst(recordOf(1).pytanie), u"DOBRE"_s);
    QStringList lines;
    for (const sprawdzenie::Uwaga& u : uwagi)
        lines << u.wiersz();
    QVERIFY(matchesGolden(lines.join(QLatin1Char('\n')).toUtf8(), u"edytor/uwagi.txt"_s));
    QVERIFY(!e->idzDo(4, screen()).zrobione);
    last = e->idzDo(uwagi[0].nr, screen());
    QCOMPARE(counts(), u"3/2"_s);
    QVERIFY(e->drukuj(dir->file(u"wydruk.pdf"_s)).komunikaty.isEmpty());
    QVERIFY(readAll(u"wydruk.pdf"_s).startsWith("%PDF"));
    // A question that cannot be written stays on screen.
    QVERIFY(e->nowePytanie(screen()).zrobione);
    s = {};
    s.pytanie = u"nowe"_s;
    if (!FileSizeLimit::works) // and Wine keeps the name of a deleted file until it is closed
        QSKIP("Windows has no file size limit");
    {
        const FileSizeLimit limit(3 * 1314 + 100);
        last = e->nowePytanie(s);
    }
    QVERIFY(said(last).startsWith(u"Budowanie bazy pytań|Nie udało się zapisać pytania nr 4"_s));
    QCOMPARE(counts(), u"4/4"_s);
    // Deleted by another program while open: written back whole, then the save goes on.
    QVERIFY(QFile::remove(u"set"_s));
    last = e->zakoncz(s);
    QVERIFY(said(last).contains(u"Odtworzono go ze wszystkimi pytaniami."_s));
    QVERIFY(last.koniec == EdycjaZestawu::Koniec::ZamknijEdytor);
    QCOMPARE(tekst(recordOf(4).pytanie), u"nowe"_s);
}

QTEST_MAIN(TstEdycjaZestawu)
#include "tst_edycjazestawu.moc"
