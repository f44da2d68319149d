#include "setfile.h"
#include "tempdir.h"

#include <QBuffer>
#include <QTest>

class TstSetFile : public QObject
{
    Q_OBJECT
private slots:
    void count_data();
    void count();
    void recordPositions();
    void writingOnePastTheEndAppends();
    void partialLastRecordReadsZeroPadded();
    void openCreatesAMissingFileEmpty();
    void openFailures();
    void readOnlyFallback();
};

void TstSetFile::count_data()
{
    QTest::addColumn<qint64>("length");
    QTest::addColumn<qint64>("records");
    QTest::addColumn<qint64>("whole");
    QTest::newRow("0") << qint64(0) << qint64(0) << qint64(0);
    QTest::newRow("657 is half: to even 0") << qint64(657) << qint64(0) << qint64(0);
    QTest::newRow("658") << qint64(658) << qint64(1) << qint64(0);
    QTest::newRow("1314") << qint64(1314) << qint64(1) << qint64(1);
    QTest::newRow("1970") << qint64(1970) << qint64(1) << qint64(1);
    QTest::newRow("1971 is one and a half: to even 2") << qint64(1971) << qint64(2) << qint64(1);
    QTest::newRow("3285 is two and a half: to even 2") << qint64(3285) << qint64(2) << qint64(2);
    QTest::newRow("3*1314+600") << qint64(3 * 1314 + 600) << qint64(3) << qint64(3);
    QTest::newRow("3*1314+700") << qint64(3 * 1314 + 700) << qint64(4) << qint64(3);
    QTest::newRow("13140") << qint64(13140) << qint64(10) << qint64(10);
    QTest::newRow("32767 records") << qint64(32767) * 1314 << qint64(32767) << qint64(32767);
}

void TstSetFile::count()
{
    QFETCH(qint64, length);
    QFETCH(qint64, records);
    QFETCH(qint64, whole);
    QCOMPARE(zestaw::liczbaRekordow(length), records);
    QCOMPARE(zestaw::pelneRekordy(length), whole);

    // The same through a real file of that length.
    if (length <= 20000) {
        TempCwd dir;
        QVERIFY(writeAll(dir.file(QStringLiteral("s")), QByteArray(length, 'x')));
        SetFile set;
        QVERIFY(set.open(dir.file(QStringLiteral("s"))));
        QCOMPARE(set.count(), records);
    }
}

void TstSetFile::recordPositions()
{
    QByteArray bytes;
    for (int n = 1; n <= 10; ++n) {
        QByteArray rec(1314, '\0');
        rec[0] = char('0' + n % 10);
        rec[1313] = char(n);
        bytes += rec;
    }
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    rekord r;
    QVERIFY(zestaw::czytaj(buffer, 10, r));
    QCOMPARE(r.pytanie[0], '0');
    QCOMPARE(r.typ, qint16(10 << 8));
    QCOMPARE(bytes.indexOf(r.encode()), 11826);
    QVERIFY(!zestaw::czytaj(buffer, 0, r));
}

void TstSetFile::writingOnePastTheEndAppends()
{
    TempCwd dir;
    QVERIFY(writeAll(QStringLiteral("set"), QByteArray(13140, '\0')));
    SetFile set;
    QVERIFY(set.open(QStringLiteral("set")));
    rekord r = rekord::pusty();
    ustawTekst(r.pytanie, QStringLiteral("jedenaste"));
    QVERIFY(set.write(11, r));
    QCOMPARE(QFileInfo(QStringLiteral("set")).size(), 14454);
    QCOMPARE(readAll(QStringLiteral("set")).mid(13140), r.encode());

    // Past the end with a gap: the gap reads as a zero record.
    QVERIFY(set.write(13, r));
    rekord gap;
    QVERIFY(set.read(12, gap));
    QCOMPARE(gap.encode(), QByteArray(1314, '\0'));
}

void TstSetFile::partialLastRecordReadsZeroPadded()
{
    TempCwd dir;
    QByteArray bytes(1314 + 700, 'q');
    QVERIFY(writeAll(QStringLiteral("set"), bytes));
    SetFile set;
    QVERIFY(set.open(QStringLiteral("set")));
    QCOMPARE(set.count(), 2);
    rekord r;
    QVERIFY(set.read(2, r));
    QCOMPARE(r.encode(), QByteArray(700, 'q') + QByteArray(614, '\0'));
    // Reading leaves the file as it was.
    set.close();
    QCOMPARE(readAll(QStringLiteral("set")), bytes);
}

void TstSetFile::openCreatesAMissingFileEmpty()
{
    TempCwd dir;
    SetFile set;
    QVERIFY(set.open(QStringLiteral("biologia")));
    QVERIFY(QFileInfo::exists(dir.file(QStringLiteral("biologia"))));
    QCOMPARE(set.length(), 0);
    QCOMPARE(set.count(), 0);
}

void TstSetFile::openFailures()
{
    TempCwd dir;
    QDir().mkdir(QStringLiteral("folder"));
    SetFile set;
    QVERIFY(!set.open(QStringLiteral("folder")));
    QVERIFY(!set.errorString().isEmpty());
    QVERIFY(!set.open(QStringLiteral("missing/dir/name")));
    QVERIFY(!set.open(QString()));
    QVERIFY(!set.isOpen());
}

void TstSetFile::readOnlyFallback()
{
    TempCwd dir;
    QVERIFY(writeAll(QStringLiteral("ro"), QByteArray(1314, 'r')));
    QFile::setPermissions(QStringLiteral("ro"), QFileDevice::ReadOwner);
    SetFile set;
    QVERIFY(set.open(QStringLiteral("ro"), SetFile::Mode::ReadOnlyFallback));
    QCOMPARE(set.count(), 1);
    // A missing file is still created rather than reported.
    QVERIFY(set.open(QStringLiteral("new"), SetFile::Mode::ReadOnlyFallback));
}

QTEST_APPLESS_MAIN(TstSetFile)
#include "tst_setfile.moc"
