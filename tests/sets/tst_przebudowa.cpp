#include "fsizelimit.h"
#include "przebudowa.h"
#include "setfile.h"
#include "tempdir.h"

#include <QTest>

// Rebuilding a set without one record, and appending another set, on real files.
class TstPrzebudowa : public QObject
{
    Q_OBJECT
private slots:
    void deleteKeepsTheOthersInOrder_data();
    void deleteKeepsTheOthersInOrder();
    void deletePadsPartialAndMissingRecords();
    void failedDeleteLeavesTheSetWhole();
    void appendWholeRecordsOnly_data();
    void appendWholeRecordsOnly();
    void appendToItself();
    void appendAfterAGapLeavesZeroRecords();
    void failedAppendCountsWhatReachedTheFile();
};

static QByteArray numbered(int count, int from = 1)
{
    QByteArray bytes;
    for (int n = from; n < from + count; ++n) {
        QByteArray rec(1314, char('a' + n % 26));
        rec[0] = char(n & 0xff);
        rec[1] = char(n >> 8);
        bytes += rec;
    }
    return bytes;
}

void TstPrzebudowa::deleteKeepsTheOthersInOrder_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("n");
    QTest::newRow("2 of 5") << 5 << 2;
    QTest::newRow("first of 5") << 5 << 1;
    QTest::newRow("last of 5") << 5 << 5;
    QTest::newRow("only one") << 1 << 1;
    QTest::newRow("crosses a copy chunk") << 2000 << 1000;
}

void TstPrzebudowa::deleteKeepsTheOthersInOrder()
{
    QFETCH(int, count);
    QFETCH(int, n);
    TempCwd dir;
    const QByteArray bytes = numbered(count);
    QVERIFY(writeAll(QStringLiteral("set"), bytes));
    SetFile set;
    QVERIFY(set.open(QStringLiteral("set")));
    const auto result = zestaw::usunRekord(set.device(), set.fileName(), n, count);
    QVERIFY2(result.ok, qPrintable(result.error));
    QByteArray expected = bytes;
    expected.remove((n - 1) * 1314, 1314);
    QCOMPARE(readAll(QStringLiteral("set")), expected);
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("set")});
}

void TstPrzebudowa::deletePadsPartialAndMissingRecords()
{
    TempCwd dir;
    // Two whole records and 700 bytes of a third; the editor counts a fourth it has not
    // written yet (a new question) and deletes it.
    const QByteArray bytes = numbered(3).left(2 * 1314 + 700);
    QVERIFY(writeAll(QStringLiteral("set"), bytes));
    SetFile set;
    QVERIFY(set.open(QStringLiteral("set")));
    QVERIFY(zestaw::usunRekord(set.device(), set.fileName(), 4, 4).ok);
    QCOMPARE(readAll(QStringLiteral("set")), bytes + QByteArray(614, '\0'));
}

void TstPrzebudowa::failedDeleteLeavesTheSetWhole()
{
    TempCwd dir;
    const QByteArray bytes = numbered(5);
    QVERIFY(writeAll(QStringLiteral("set"), bytes));
    SetFile set;
    QVERIFY(set.open(QStringLiteral("set")));
    {
        FileSizeLimit limit(2 * 1314);
        const auto result = zestaw::usunRekord(set.device(), set.fileName(), 2, 5);
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
    }
    QCOMPARE(readAll(QStringLiteral("set")), bytes);
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("set")});

    // The set's folder vanished underneath: nothing can be written beside it.
    QDir().mkdir(QStringLiteral("sub"));
    QVERIFY(writeAll(QStringLiteral("sub/set"), bytes));
    SetFile inSub;
    QVERIFY(inSub.open(QStringLiteral("sub/set")));
    QVERIFY(QDir(QStringLiteral("sub")).removeRecursively());
    QVERIFY(!zestaw::usunRekord(inSub.device(), inSub.fileName(), 1, 5).ok);
}

void TstPrzebudowa::appendWholeRecordsOnly_data()
{
    QTest::addColumn<int>("otherLength");
    QTest::addColumn<int>("appended");
    QTest::newRow("3 records") << 3 * 1314 << 3;
    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("shorter than a record") << 1313 << 0;
    QTest::newRow("2.5 records") << 2 * 1314 + 657 << 2;
    QTest::newRow("2.9 records") << 2 * 1314 + 1300 << 2;
}

void TstPrzebudowa::appendWholeRecordsOnly()
{
    QFETCH(int, otherLength);
    QFETCH(int, appended);
    TempCwd dir;
    const QByteArray bytes = numbered(10);
    const QByteArray other = numbered(3, 100).left(otherLength);
    QVERIFY(writeAll(QStringLiteral("set"), bytes));
    QVERIFY(writeAll(QStringLiteral("other"), other));
    SetFile set, source;
    QVERIFY(set.open(QStringLiteral("set")));
    QVERIFY(source.open(QStringLiteral("other")));
    const auto result = zestaw::dolaczZestaw(set.device(), 10, source.device());
    QVERIFY(result.ok);
    QCOMPARE(result.appended, appended);
    QCOMPARE(readAll(QStringLiteral("set")), bytes + other.left(appended * 1314));
    if (appended > 0)
        QCOMPARE(result.last.encode(), other.mid((appended - 1) * 1314, 1314));
    QCOMPARE(readAll(QStringLiteral("other")), other);
}

void TstPrzebudowa::appendToItself()
{
    TempCwd dir;
    const QByteArray bytes = numbered(1500);
    QVERIFY(writeAll(QStringLiteral("set"), bytes));
    SetFile set, same;
    QVERIFY(set.open(QStringLiteral("set")));
    QVERIFY(same.open(QStringLiteral("set")));
    const auto result = zestaw::dolaczZestaw(set.device(), 1500, same.device());
    QVERIFY(result.ok);
    QCOMPARE(result.appended, 1500);
    QCOMPARE(readAll(QStringLiteral("set")), bytes + bytes);
}

void TstPrzebudowa::appendAfterAGapLeavesZeroRecords()
{
    TempCwd dir;
    QVERIFY(writeAll(QStringLiteral("set"), numbered(2)));
    QVERIFY(writeAll(QStringLiteral("other"), numbered(1, 50)));
    SetFile set, source;
    QVERIFY(set.open(QStringLiteral("set")));
    QVERIFY(source.open(QStringLiteral("other")));
    // The editor counts 3: the third is a new question not yet written.
    QVERIFY(zestaw::dolaczZestaw(set.device(), 3, source.device()).ok);
    QCOMPARE(readAll(QStringLiteral("set")), numbered(2) + QByteArray(1314, '\0') + numbered(1, 50));
}

void TstPrzebudowa::failedAppendCountsWhatReachedTheFile()
{
    TempCwd dir;
    QVERIFY(writeAll(QStringLiteral("set"), numbered(2)));
    QVERIFY(writeAll(QStringLiteral("other"), numbered(5, 10)));
    SetFile set, source;
    QVERIFY(set.open(QStringLiteral("set")));
    QVERIFY(source.open(QStringLiteral("other")));
    zestaw::WynikDolaczania result;
    {
        FileSizeLimit limit(4 * 1314 + 500);
        result = zestaw::dolaczZestaw(set.device(), 2, source.device());
    }
    QVERIFY(!result.ok);
    QCOMPARE(result.appended, 2);
    QCOMPARE(result.last.encode(), numbered(1, 11));
    QCOMPARE(readAll(QStringLiteral("set")).left(4 * 1314), numbered(2) + numbered(2, 10));
}

QTEST_APPLESS_MAIN(TstPrzebudowa)
#include "tst_przebudowa.moc"
