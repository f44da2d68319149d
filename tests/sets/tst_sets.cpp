#include "codepage.h"
#include "fsizelimit.h"
#include "otwartyzestaw.h"
#include "pytanie.h"
#include "rekordtestowy.h"
#include "tempdir.h"

#include <QDirIterator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

// Records, set files and the open set, on real files.
class TstSets : public QObject
{
    Q_OBJECT
private slots:
    void codePageMatchesTheConverter();
    void recordFields();
    void questionKeepsEveryByte();
    void count_data();
    void count();
    void deletion_data();
    void deletion();
    void append_data();
    void append();
    void writeFaultsAndRecovery();
    void killedDeletionLeavesNothingBehind();
};

static QByteArray numbered(int count, int from = 1)
{
    QByteArray bytes;
    for (int n = from; n < from + count; ++n) {
        QByteArray rec(1314, char('a' + n % 26));
        rec[0] = char(n & 0xff), rec[1] = char(n >> 8);
        bytes += rec;
    }
    return bytes;
}

void TstSets::codePageMatchesTheConverter()
{
    QStringDecoder decoder("windows-1250");
    QStringEncoder encoder("windows-1250");
    for (int b = 0; b < 256; ++b)
        QCOMPARE(cp1250::decode(QByteArray(1, char(b))), decoder.decode(QByteArray(1, char(b))));
    QStringList texts{QString::fromUtf16(u"\U0001F600\U000E0001x"), QString::fromUtf16(u"\xD800\xD800"),
                      QString::fromUtf16(u"x\xDC00")};
    for (char16_t c = 1; c != 0; ++c)
        texts << u"a"_s + QChar(c) + u"b"_s;
    for (const QString& s : texts) {
        encoder.resetState();
        QVERIFY2(cp1250::encode(s) == QByteArray(encoder.encode(s)), s.toUtf8().toHex().constData());
    }
}

void TstSets::recordFields()
{
    rekord r;
    ustawTekst(r.pytanie, QString(301, QLatin1Char('p')));
    ustawTekst(r.odp1, u"  żaba "_s);
    ustawTekst(r.odp2, QString(151, QLatin1Char('o')));
    ustawTekst(r.rysunek, QString(101, QLatin1Char('r')));
    r.poprawna1 = -1, r.poprawna5 = 2, r.typ = 2;
    // Cut to the widths, padded with spaces, marks little-endian, odp6 never set: zero bytes.
    const QByteArray bytes = r.encode();
    QVERIFY(matchesGolden(bytes, u"rekord/pola"_s));
    QCOMPARE(tekst(r.odp1), u"żaba"_s);
    QCOMPARE(tekst(r.odp2).size(), 150);
    QCOMPARE(rekord::decode(bytes), r);

    // A zero byte ends a text; a short input is zero-padded.
    const rekord z = rekord::decode(QByteArray("ab\0cd", 5));
    QCOMPARE(tekst(z.pytanie), u"ab"_s);
    QCOMPARE(z.encode().mid(5), QByteArray(1309, '\0'));
}

void TstSets::questionKeepsEveryByte()
{
    // Every stored record of the goldens, an unknown type and a 2 among them, comes back unchanged.
    QDirIterator it(u(TESTOWNIK_DATA), QDir::Files, QDirIterator::Subdirectories);
    int records = 0;
    while (it.hasNext()) {
        const QByteArray set = readAll(it.next());
        for (qsizetype at = 0; set.size() % rekord::size == 0 && at < set.size();
             at += rekord::size, ++records) {
            const rekord r = rekord::decode(set.mid(at, rekord::size));
            QCOMPARE(Pytanie::zRekordu(r).doRekordu().encode(), set.mid(at, rekord::size));
        }
    }
    QCOMPARE_GE(records, 20);

    // Bytes after a text's end, odp6 and poprawna6 stay; a changed field is cut and padded anew.
    QByteArray bytes = pytanie(7, u"Ile?"_s, u"a|b"_s, {1, 2}).encode();
    bytes.replace(4, 3, QByteArray("\0xy", 3));
    bytes.replace(1050, 2, "z6"), bytes[1210] = 9;
    Pytanie p = Pytanie::zRekordu(rekord::decode(bytes));
    QCOMPARE(p.typ, Pytanie::Typ::Nieznany);
    p.odpowiedzi[1] = u"c"_s;
    QByteArray expected = bytes;
    expected.replace(450, 150, QByteArray("c").leftJustified(150, ' '));
    QCOMPARE(p.doRekordu().encode(), expected);
    expected.replace(0, 300, QByteArray("Ile?").leftJustified(300, ' '));
    QCOMPARE(p.doRekordu(Pytanie::Pola::Wszystkie).encode(), expected);
    p.typ = Pytanie::Typ::Tekst;
    QCOMPARE(p.doRekordu().typ, 2);
}

void TstSets::count_data()
{
    QTest::addColumn<qint64>("length");
    QTest::addColumn<qint64>("records");
    for (auto [length, records] : std::initializer_list<std::pair<qint64, qint64>>{
             {0, 0}, {657, 0}, {658, 1}, {1970, 1}, {1971, 2}, {3285, 2}, {13140, 10}, {4642, 4}, {4542, 3}})
        QTest::addRow("%lld", length) << length << records;
}

void TstSets::count()
{
    QFETCH(qint64, length);
    QFETCH(qint64, records);
    QCOMPARE(zestaw::liczbaRekordow(length), records);
}

void TstSets::deletion_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("n");
    QTest::newRow("2 of 5") << 5 << 2;
    QTest::newRow("last of 5") << 5 << 5;
    QTest::newRow("crosses a copy chunk") << 2000 << 1000;
    QTest::newRow("before a partial end") << 3 << 1;
    QTest::newRow("the only one: an empty question") << 1 << 1;
}

void TstSets::deletion()
{
    QFETCH(int, count);
    QFETCH(int, n);
    TempCwd dir;
    // "before a partial end": the file holds 2.6 records, counted 3; the third is copied zero-padded.
    const QByteArray bytes = count == 3 ? numbered(2) + QByteArray(800, 'x') : numbered(count);
    OtwartyZestaw set;
    QVERIFY(writeAll(u"set"_s, bytes) && set.otworz(u"set"_s));
    const Wynik<void> w = set.usun(n);
    QVERIFY2(w, qPrintable(w ? QString() : w.error().szczegol));
    QByteArray expected = bytes;
    expected.remove((n - 1) * 1314, 1314);
    expected.resize((count - 1) * 1314, '\0');
    QCOMPARE(readAll(u"set"_s), count == 1 ? rekord::pusty().encode() : expected);
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList{u"set"_s});
}

void TstSets::append_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("other"); // empty: the set itself
    QTest::addColumn<int>("appended");
    QTest::newRow("3 onto 10") << 10 << numbered(3, 100) << 3;
    QTest::newRow("2.5 records give 2") << 10 << numbered(3, 100).left(1314 * 2 + 657) << 2;
    QTest::newRow("shorter than a record") << 10 << QByteArray(1000, 'x') << 0;
    QTest::newRow("itself") << 4 << QByteArray() << 4;
    QTest::newRow("itself, large") << 2000 << QByteArray() << 2000;
    QTest::newRow("itself, counted short") << 1000 << QByteArray() << 2000;
}

void TstSets::append()
{
    QFETCH(int, count);
    QFETCH(QByteArray, other);
    QFETCH(int, appended);
    TempCwd dir;
    // "counted short": the editor counts 1000 of the file's 2000 records, as after a failed append;
    // copied front to back, the first pieces would overwrite records not yet read.
    const QByteArray bytes = numbered(qMax(count, appended));
    const QString from = other.isEmpty() ? u"set"_s : u"other"_s;
    QVERIFY(writeAll(u"set"_s, bytes) && (other.isEmpty() || writeAll(from, other)));
    QFile file(u"set"_s), source(from);
    QVERIFY(file.open(QIODevice::ReadWrite) && source.open(QIODevice::ReadOnly));
    const zestaw::WynikDolaczania w = zestaw::dolaczZestaw(file, count, source);
    QVERIFY(w.wynik);
    QCOMPARE(w.appended, appended);
    const QByteArray taken = (other.isEmpty() ? bytes : other).left(appended * 1314);
    QCOMPARE(readAll(u"set"_s), bytes.left(count * 1314) + taken);
}

// Faults leave the set whole; a set another program deleted or replaced is saved from the open file.
void TstSets::writeFaultsAndRecovery()
{
    TempCwd dir;
    OtwartyZestaw set;
    QVERIFY(writeAll(u"set"_s, numbered(10)) && writeAll(u"other"_s, numbered(3, 50)) &&
            set.otworz(u"set"_s));
    {
        const FileSizeLimit limit(5000);
        const Wynik<void> deleted = set.usun(1);
        QVERIFY(!deleted && set.otwarty() && !deleted.error().szczegol.isEmpty());
        QCOMPARE(readAll(u"set"_s), numbered(10));
    }
    {
        const FileSizeLimit limit(1314 * 12 + 100);
        // The records that reached the file count, so no later question is written over them.
        const Wynik<void> appended = set.dolacz(u"other"_s);
        QVERIFY(!appended && !appended.error().szczegol.isEmpty());
        QCOMPARE(set.iloscrekordow(), 12);
    }
    const QByteArray written = readAll(u"set"_s);
    QCOMPARE(written.left(12 * 1314), numbered(10) + numbered(2, 50));
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden).size(), 2);

    QVERIFY(QFile::remove(u"set"_s));
    QCOMPARE(int(set.upewnijSie().value()), int(OtwartyZestaw::Miejsce::Odtworzony));
    QCOMPARE(readAll(u"set"_s), written);
    QVERIFY(writeAll(u"inny"_s, "cudzy plik") && QFile::remove(u"set"_s) &&
            QFile::rename(u"inny"_s, u"set"_s));
    const Wynik<OtwartyZestaw::Miejsce> w = set.upewnijSie();
    QVERIFY(w && *w == OtwartyZestaw::Miejsce::Kopia);
    QCOMPARE(readAll(u"set"_s), QByteArray("cudzy plik"));
    QCOMPARE(set.nazwapliku(), dir.file(u"set.kopia"_s));
    QVERIFY(set.zapisz(13, rekord::pusty())); // later saves go to the copy
    QCOMPARE(readAll(set.nazwapliku()), written.left(12 * 1314) + rekord::pusty().encode());
}

// The new version is written to a file without a name, so a process killed while writing it
// leaves nothing beside the set. (Putting it in place takes a link and a rename, two system calls
// with a name in between: Linux cannot link over an existing file.)
void TstSets::killedDeletionLeavesNothingBehind()
{
    TempCwd dir;
    const QByteArray original = numbered(20000);
    QVERIFY(writeAll(u"set"_s, original));
    const pid_t child = fork();
    if (child == 0) {
        OtwartyZestaw set;
        (void)set.otworz(u"set"_s);
        for (;;)
            (void)set.usun(1);
    }
    // Wait until the child holds a second file in the folder: the version being written.
    const QDir fds(u"/proc/%1/fd"_s.arg(child));
    QString writing;
    for (int i = 0; i < 20000 && writing.isEmpty(); ++i, usleep(100))
        for (const QString& fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
            if (const QString held = QFile::symLinkTarget(fds.filePath(fd));
                held.startsWith(dir.path()) && held != dir.file(u"set"_s))
                writing = held;
    QStringList listing = QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    QVERIFY2(writing.endsWith(u" (deleted)"_s), qPrintable(writing)); // open, but with no name
    listing += QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QCOMPARE(listing.join(QLatin1Char(' ')), u"set set"_s);
    const QByteArray now = readAll(u"set"_s);
    QVERIFY(now.size() % 1314 == 0 && now.size() > 0 && original.endsWith(now));
}

QTEST_GUILESS_MAIN(TstSets)
#include "tst_sets.moc"
