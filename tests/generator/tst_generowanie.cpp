#include "fsizelimit.h"
#include "generowanie.h"
#include "komunikaty.h"
#include "okna.h"
#include "proces.h"
#include "sequence.h"

#include <fcntl.h>

using Skutek = Generowanie::Skutek;

// How this process holds `path` open (O_RDONLY, O_RDWR...), -1 when it does not.
static int accessMode(const QString& path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    for (const QString& fd :
         QDir(u"/proc/self/fd"_s).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        if (QFile::symLinkTarget(u"/proc/self/fd/"_s + fd) == target) {
            const QByteArray info = readAll(u"/proc/self/fdinfo/"_s + fd);
            const qsizetype at = info.indexOf("flags:") + 6;
            return info.mid(at, info.indexOf('\n', at) - at).trimmed().toInt(nullptr, 8) & O_ACCMODE;
        }
    return -1;
}

// The generator's work without its window: the set read only, the count, the draw and the page.
class TstGenerowanie : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void start_data();
    void start();
    void acceptedCount_data();
    void acceptedCount();
    void failures_data();
    void failures();
    void pageInTheCurrentFolderInDrawOrder();
    void separateCopies();

private:
    std::unique_ptr<TempCwd> dir;
    std::unique_ptr<BiezacyFolder> folder;
    std::unique_ptr<Generowanie> g;
    QString drawn;

    void writeSet(int count)
    {
        QList<rekord> set;
        for (int i = 1; i <= count; ++i)
            set << question(u"Pytanie %1"_s.arg(i), qint16(i % 3), {-1, 1});
        QVERIFY(writeAll(u"zestaw"_s, setOf(set)));
    }
    bool open(std::deque<double> random = {0.5, 0.1, 0.9, 0.3, 0.7})
    {
        g = std::make_unique<Generowanie>(*folder, sequence(std::move(random)));
        return g->otworz(dir->file(u"zestaw"_s), u"zestaw"_s).zrobione;
    }
    Skutek draw(const QString& count)
    {
        drawn = u">>"_s;
        return g->losuj(count, [this](qint16 k) { drawn += u"- "_s + QString::number(k); });
    }
    // Draws, then takes the time limit and the code as typed.
    Skutek generate(const QString& count, const QString& minutes = u"10"_s, const QString& code = u"kod"_s,
                    Generowanie::Opcje options = {})
    {
        Skutek s = draw(count);
        if (s.zrobione)
            s = g->czas(minutes);
        return s.zrobione ? g->zapisz(code, options) : s;
    }
    static QString said(const Skutek& s) { return ::said(s.komunikaty); }
};

void TstGenerowanie::init()
{
    g.reset();
    dir.reset();
    dir = std::make_unique<TempCwd>();
    folder = std::make_unique<BiezacyFolder>(dir->path());
}

void TstGenerowanie::start_data()
{
    QTest::addColumn<int>("length"); // -1: a name that does not exist yet, -2: a folder
    QTest::addColumn<int>("count");  // 0: refused
    QTest::newRow("empty file counts 1") << 0 << 1;
    QTest::newRow("new name counts 1, not created") << -1 << 1;
    QTest::newRow("3*1314+700 counts 4") << 3 * 1314 + 700 << 4;
    QTest::newRow("3*1314+600 counts 3") << 3 * 1314 + 600 << 3;
    QTest::newRow("32768 records") << 32768 * 1314 << 0;
    QTest::newRow("a folder") << -2 << 0;
}

void TstGenerowanie::start()
{
    QFETCH(int, length);
    QFETCH(int, count);
    if (length >= 0)
        QVERIFY(writeAll(u"zestaw"_s, QByteArray(length, '\0')));
    if (length == -2)
        QVERIFY(QDir().mkdir(u"zestaw"_s));
    const QStringList before = QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    const QDateTime changed = QFileInfo(u"zestaw"_s).lastModified();
    QCOMPARE(open(), count > 0);
    if (count && length >= 0 && QDir(u"/proc/self/fd"_s).exists()) // held for reading only (Linux tells)
        QCOMPARE(accessMode(u"zestaw"_s), O_RDONLY);
    if (count)
        QCOMPARE(g->iloscrekordow(), count);
    else
        QCOMPARE(said(g->otworz(dir->file(u"zestaw"_s), {})),
                 u"Błąd danych|Wybrałeś niewłaściwy plik źródłowy"_s);
    // The set is only read: nothing is created, and the file stays as it was.
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
    if (length >= 0)
        QVERIFY(readAll(u"zestaw"_s) == QByteArray(length, '\0') &&
                QFileInfo(u"zestaw"_s).lastModified() == changed);
}

void TstGenerowanie::acceptedCount_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("drawn");
    QTest::newRow("2.5 gives 2") << u"2.5"_s << u">>- 3- 1"_s;
    QTest::newRow("3.5 gives 4, repeats drawn again") << u"3.5"_s << u">>- 3- 1- 5- 2"_s;
    QTest::newRow("every record once") << u"5"_s << u">>- 3- 1- 5- 2- 4"_s;
}

void TstGenerowanie::acceptedCount()
{
    QFETCH(QString, count);
    QFETCH(QString, drawn);
    writeSet(5);
    QVERIFY(open({0.5, 0.1, 0.9, 0.5, 0.3, 0.1, 0.7}));
    QVERIFY(generate(count).komunikaty.isEmpty());
    QCOMPARE(this->drawn, drawn);
    QCOMPARE(readAll(u"test.html"_s).count("<FORM NAME="), drawn.count(QLatin1Char('-')));
}

void TstGenerowanie::failures_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("minutes"); // "-": never asked
    QTest::addColumn<int>("sizeLimit");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("drawn");
    // Counts that are no number of questions of the 150, or more than it holds.
    for (const QString& c : {u""_s, u"abc"_s, u"0.9"_s, u"151"_s, u"150.1"_s, u"-2"_s, u"32768"_s,
                             u"4294967297"_s, QString(10000, QLatin1Char('7'))})
        QTest::newRow(qPrintable(c.left(12))) << c << u"-"_s << 0 << u"TESTER|Zła ilośc pytań "_s << 0;
    const QString wrong = u"Błąd danych|Niewłaściwe dane"_s;
    QTest::newRow("more than 100 asks nothing") << u"101"_s << u"-"_s << 0 << wrong << 100;
    QTest::newRow("time limit empty") << u"2"_s << u""_s << 0 << wrong << 2;
    QTest::newRow("time limit words") << u"2"_s << u"kwadrans"_s << 0 << wrong << 2;
    // The reason follows the message the teacher knows.
    QTest::newRow("page cannot be written")
        << u"2"_s << u"10"_s << 1000 << wrong + u"\nGenerowanie Testu|Nie udało się zapisać pliku „"_s << 2;
}

// Whatever goes wrong, the old page stays.
void TstGenerowanie::failures()
{
    QFETCH(QString, count);
    QFETCH(QString, minutes);
    QFETCH(int, sizeLimit);
    QFETCH(QString, shown);
    QFETCH(int, drawn);
    if (sizeLimit && !FileSizeLimit::works)
        QSKIP("Windows has no file size limit");
    writeSet(150);
    QVERIFY(writeAll(u"test.html"_s, QByteArray(3000, 'e')));
    std::deque<double> random;
    for (int i = 0; i < 101; ++i)
        random.push_back((i + 0.5) / 150);
    QVERIFY(open(random));
    Skutek s = draw(count);
    QCOMPARE(s.zrobione, minutes != u"-"_s);
    if (s.zrobione) {
        const FileSizeLimit limit(sizeLimit ? rlim_t(sizeLimit) : RLIM_INFINITY);
        s = g->czas(minutes);
        if (s.zrobione)
            s = g->zapisz(u"kod"_s, {});
    }
    QVERIFY2(said(s).startsWith(shown), qPrintable(said(s)));
    QVERIFY(!s.zrobione && !s.ponowic);
    QCOMPARE(readAll(u"test.html"_s), QByteArray(3000, 'e'));
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden).size(), 2);
    QCOMPARE(this->drawn.count(QLatin1Char('-')), drawn);
}

void TstGenerowanie::pageInTheCurrentFolderInDrawOrder()
{
    writeSet(5);
    QVERIFY(open());
    QCOMPARE(g->bledne(), 1); // one of the five cannot be scored: typ 0 with a mark -1
    QVERIFY(QDir().mkdir(u"inny"_s));
    folder->wybrano(dir->file(u"inny/x"_s)); // a dialog chose a file elsewhere since
    QLocale::setDefault(QLocale(QLocale::Polish));
    const Skutek s = generate(u"3"_s, u"1,5"_s, u"Łódź"_s);
    QLocale::setDefault(QLocale::c());
    QVERIFY(s.zrobione && !QFile::exists(u"test.html"_s));
    QVERIFY(matchesGolden(readAll(dir->file(u"inny/test.html"_s)), u"strona/okno_3_1_5.html"_s)); // 3, 1, 5
    for (bool key : {false, true}) {
        const QString pdf = dir->file(key ? u"klucz.pdf"_s : u"test.pdf"_s);
        QVERIFY(g->drukuj(key, pdf, QDate(2026, 1, 2)).zrobione && readAll(pdf).startsWith("%PDF"));
    }
    QVERIFY(said(g->drukuj(false, dir->path(), {}))
                .startsWith(u"Generowanie Testu|Nie udało się zapisać pliku"_s));
}

void TstGenerowanie::separateCopies()
{
    writeSet(5);
    QVERIFY(open({0.5, 0.1, 0.9, 0.3, 0.7, 0.1}));
    QVERIFY(draw(u"2"_s).zrobione && g->czas(u"10"_s).zrobione);
    const Generowanie::Opcje copies{true, true, true};
    // A cancel writes and says nothing; a count outside 1..60 is refused. The teacher may retry.
    for (const QString& count : {u""_s, u"0"_s, u"61"_s, u"2,5"_s, u"dwa"_s}) {
        const Skutek s = g->zapiszKopie(count, copies, {});
        QVERIFY(s.ponowic && QDir().entryList({u"test*"_s, u"kody*"_s}).isEmpty());
        QCOMPARE(
            said(s).startsWith(u"Generowanie Testu|Liczba kopii musi być liczbą całkowitą od 1 do 60."_s),
            !count.isEmpty());
    }
    QVERIFY(g->zapiszKopie(u" 3 "_s, copies, QDate(2026, 12, 7)).komunikaty.isEmpty());
    const QStringList codes = g->kody(); // equal codes would open each other's copies too
    QStringList args{u(PIECZEC_JS), u"--kopie"_s}, lines;
    for (int k = 1; k <= 3; ++k) {
        const QString page = QString::fromLatin1(readAll(u"test-0%1.html"_s.arg(k))); // its number, shown
        QVERIFY(page.contains(u"<P><B>Kopia nr 0%1</B></P>"_s.arg(k)) &&
                page.contains(u",k:\"0%1\","_s.arg(k)));
        args << dir->file(u"test-0%1.html"_s.arg(k)) << codes[k - 1];
        lines << u"0%1 test-0%1.html %2"_s.arg(k).arg(codes[k - 1]);
    }
    // Each copy its own draw: 3 and 1, then 5 and 2.
    QVERIFY(readAll(u"test-02.html"_s).contains("Pytanie 5") &&
            !readAll(u"test-01.html"_s).contains("Pytanie 5"));
#ifndef _WIN32                                       // the tools are the build machine's
    QCOMPARE(run(u"node"_s, args), u"3 copies\n"_s); // each code opens its own copy and no other
    const QString text = run(u"pdftotext"_s, {u"-raw"_s, u"-enc"_s, u"UTF-8"_s, u"kody.pdf"_s, u"-"_s});
    QVERIFY2(text.startsWith(u"Kody kopii\nZestaw: zestaw\nData: 07.12.2026\nLiczba kopii: 3\n"_s) &&
                 text.contains(lines.join(u'\n')),
             qPrintable(text));
#endif
    const QByteArray first = readAll(u"test-01.html"_s); // no kody.pdf written: no copy replaced
    QVERIFY(QFile::remove(u"kody.pdf"_s) && QDir().mkdir(u"kody.pdf"_s));
    QVERIFY(!g->zapiszKopie(u"1"_s, copies, {}).zrobione && readAll(u"test-01.html"_s) == first);
}

QTEST_MAIN(TstGenerowanie)
#include "tst_generowanie.moc"
