#include "codepage.h"
#include "fsizelimit.h"
#include "otwartyzestaw.h"
#include "tempdir.h"

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
    void count_data();
    void count();
    void openedSet_data();
    void openedSet();
    void deletion_data();
    void deletion();
    void append_data();
    void append();
    void recovery();
    void writeFaultsLoseNothing();
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
    for (char16_t c = 1; c != 0; ++c) {
        const QString s = QStringLiteral("a") + QChar(c) + QStringLiteral("b");
        encoder.resetState();
        QVERIFY2(cp1250::encode(s) == QByteArray(encoder.encode(s)), qPrintable(QString::number(c, 16)));
    }
    for (const QString& s :
         {QString::fromUtf16(u"\U0001F600\U000E0001x"), QString::fromUtf16(u"\xD800\xD800"),
          QString::fromUtf16(u"x\xDC00"), QStringLiteral("Zażółć gęślą jaźń €")}) {
        encoder.resetState();
        QCOMPARE(cp1250::encode(s), QByteArray(encoder.encode(s)));
    }
}

void TstSets::recordFields()
{
    rekord r;
    ustawTekst(r.pytanie, QString(301, QLatin1Char('p')));
    ustawTekst(r.odp1, QStringLiteral("  żaba "));
    ustawTekst(r.odp2, QString(151, QLatin1Char('o')));
    ustawTekst(r.rysunek, QString(101, QLatin1Char('r')));
    r.poprawna1 = -1, r.poprawna5 = 2, r.typ = 2;
    const QByteArray bytes = r.encode();
    QCOMPARE(bytes.size(), 1314);
    QCOMPARE(bytes.left(301), QByteArray(300, 'p') + ' ');
    QCOMPARE(bytes.mid(300, 8), QByteArray("  \xBF"
                                           "aba  "));
    QCOMPARE(bytes.mid(1050, 150), QByteArray(150, '\0')); // odp6 never set: zero bytes
    QCOMPARE(bytes.mid(1200, 2), QByteArray("\xFF\xFF"));
    QCOMPARE(bytes.mid(1208, 2), QByteArray("\x02\x00", 2));
    QCOMPARE(bytes.mid(1212, 101), QByteArray(100, 'r') + '\x02');
    QCOMPARE(tekst(r.odp1), QStringLiteral("żaba"));
    QCOMPARE(tekst(r.odp2).size(), 150);
    QCOMPARE(rekord::decode(bytes), r);
    QCOMPARE(rekord::decode(bytes).encode(), bytes);

    // A zero byte ends a text; blanks or zeros alone read empty; a short input is zero-padded.
    const rekord z = rekord::decode(QByteArray("ab\0cd", 5));
    QCOMPARE(tekst(z.pytanie), QStringLiteral("ab"));
    QCOMPARE(tekst(rekord::pusty().rysunek), QString());
    QCOMPARE(z.encode().mid(5), QByteArray(1309, '\0'));
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
    QCOMPARE(zestaw::pelneRekordy(length), length / 1314);
}

void TstSets::openedSet_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("stan");
    QTest::addColumn<QByteArray>("after");
    const QByteArray empty = rekord::pusty().encode();
    QTest::newRow("missing file: one empty question")
        << QByteArray() << int(OtwartyZestaw::Stan::Gotowe) << empty;
    QTest::newRow("short file: not a set, untouched")
        << QByteArray("notatki") << int(OtwartyZestaw::Stan::NieZestaw) << QByteArray("notatki");
    QTest::newRow("10 records and a half")
        << numbered(10) + "xyz" << int(OtwartyZestaw::Stan::Gotowe) << numbered(10) + "xyz";
}

void TstSets::openedSet()
{
    QFETCH(QByteArray, before);
    QFETCH(int, stan);
    QFETCH(QByteArray, after);
    TempCwd dir;
    if (!before.isEmpty())
        QVERIFY(writeAll(QStringLiteral("set"), before));
    OtwartyZestaw set;
    QCOMPARE(int(set.otworz(QStringLiteral("set")).stan), stan);
    set.zamknij();
    QCOMPARE(readAll(QStringLiteral("set")), after);
    if (stan == int(OtwartyZestaw::Stan::Gotowe))
        QCOMPARE(set.iloscrekordow(), qMax(1, int(after.size() / 1314)));
    QCOMPARE(int(set.otworz(dir.path()).stan), int(OtwartyZestaw::Stan::NieOtwarto)); // a folder
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
    QVERIFY(writeAll(QStringLiteral("set"), bytes));
    OtwartyZestaw set;
    QVERIFY(set.otworz(QStringLiteral("set")).ok);
    QCOMPARE(set.iloscrekordow(), count);
    const OtwartyZestaw::WynikUsuniecia w = set.usun(n);
    QVERIFY2(w.ok, qPrintable(w.error));
    QByteArray expected = bytes;
    expected.remove((n - 1) * 1314, 1314);
    expected.resize((count - 1) * 1314, '\0');
    if (count == 1)
        expected = rekord::pusty().encode();
    QCOMPARE(readAll(QStringLiteral("set")), expected);
    QCOMPARE(set.iloscrekordow(), qMax(1, count - 1));
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("set")});
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
    QVERIFY(writeAll(QStringLiteral("set"), bytes));
    const QString from = other.isEmpty() ? QStringLiteral("set") : QStringLiteral("other");
    if (!other.isEmpty())
        QVERIFY(writeAll(from, other));
    QFile file(QStringLiteral("set"));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QFile source(from);
    QVERIFY(source.open(QIODevice::ReadOnly));
    const zestaw::WynikDolaczania w = zestaw::dolaczZestaw(file, count, source);
    QVERIFY2(w.ok, qPrintable(w.error));
    QCOMPARE(w.appended, appended);
    const QByteArray taken = (other.isEmpty() ? bytes : other).left(appended * 1314);
    QCOMPARE(readAll(QStringLiteral("set")), bytes.left(count * 1314) + taken);
    if (appended > 0)
        QCOMPARE(w.last.encode(), taken.right(1314));
}

void TstSets::recovery()
{
    TempCwd dir;
    QVERIFY(writeAll(QStringLiteral("set"), numbered(3)));
    OtwartyZestaw set;
    QVERIFY(set.otworz(QStringLiteral("set")).ok);
    QCOMPARE(int(set.upewnijSie().miejsce), int(OtwartyZestaw::Miejsce::NaMiejscu));

    QVERIFY(QFile::remove(QStringLiteral("set")));
    QCOMPARE(int(set.upewnijSie().miejsce), int(OtwartyZestaw::Miejsce::Odtworzony));
    QCOMPARE(readAll(QStringLiteral("set")), numbered(3));

    QVERIFY(writeAll(QStringLiteral("inny"), "cudzy plik") && QFile::remove(QStringLiteral("set")) &&
            QFile::rename(QStringLiteral("inny"), QStringLiteral("set")));
    const OtwartyZestaw::WynikMiejsca w = set.upewnijSie();
    QVERIFY(w.ok && w.miejsce == OtwartyZestaw::Miejsce::Kopia);
    QCOMPARE(readAll(QStringLiteral("set")), QByteArray("cudzy plik"));
    QCOMPARE(set.nazwapliku(), dir.file(QStringLiteral("set.kopia")));
    QVERIFY(set.zapisz(4, rekord::pusty()).ok); // later saves go to the copy
    QCOMPARE(readAll(set.nazwapliku()), numbered(3) + rekord::pusty().encode());
}

void TstSets::writeFaultsLoseNothing()
{
    TempCwd dir;
    QVERIFY(writeAll(QStringLiteral("set"), numbered(10)));
    OtwartyZestaw set;
    QVERIFY(set.otworz(QStringLiteral("set")).ok);
    QVERIFY(writeAll(QStringLiteral("other"), numbered(3, 50)));
    {
        const FileSizeLimit limit(5000);
        const OtwartyZestaw::WynikUsuniecia deleted = set.usun(1);
        QVERIFY(!deleted.ok && deleted.stan == OtwartyZestaw::Stan::Gotowe && !deleted.error.isEmpty());
        QCOMPARE(readAll(QStringLiteral("set")), numbered(10));
    }
    {
        const FileSizeLimit limit(1314 * 12 + 100);
        // The records that reached the file count, so no later question is written over them.
        const zestaw::WynikDolaczania appended = set.dolacz(QStringLiteral("other"));
        QVERIFY(!appended.ok && !appended.error.isEmpty());
        QCOMPARE(appended.appended, 2);
        QCOMPARE(set.iloscrekordow(), 12);
    }
    QCOMPARE(readAll(QStringLiteral("set")).left(12 * 1314), numbered(10) + numbered(2, 50));
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden).size(), 2);

    // The set's folder vanished while it was open.
    QVERIFY(QDir().mkdir(QStringLiteral("sub")) && writeAll(QStringLiteral("sub/set"), numbered(2)));
    OtwartyZestaw gone;
    QVERIFY(gone.otworz(QStringLiteral("sub/set")).ok);
    QVERIFY(QDir(QStringLiteral("sub")).removeRecursively());
    QVERIFY(!gone.usun(1).ok);
}

void TstSets::killedDeletionLeavesNothingBehind()
{
    TempCwd dir;
    const QByteArray original = numbered(3000);
    for (int run = 0; run < 20; ++run) {
        QVERIFY(writeAll(QStringLiteral("set"), original));
        const pid_t child = fork();
        if (child == 0) {
            OtwartyZestaw set;
            set.otworz(QStringLiteral("set"));
            for (;;)
                set.usun(1);
        }
        usleep(useconds_t(2000 + 1500 * run));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        QCOMPARE(
            QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).join(QLatin1Char(' ')),
            QStringLiteral("set"));
        const QByteArray now = readAll(QStringLiteral("set"));
        QVERIFY(now.size() % 1314 == 0 && now.size() > 0 && original.endsWith(now));
    }
}

QTEST_GUILESS_MAIN(TstSets)
#include "tst_sets.moc"
