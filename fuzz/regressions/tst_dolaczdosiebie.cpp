// Appending a set to itself after a count below its own number of records: the records taken
// must be the ones the set held before the append, also when the copy goes in several pieces.

#include "przebudowa.h"
#include "rekord.h"

#include <QTemporaryDir>
#include <QTest>

class TstDolaczDoSiebie : public QObject
{
    Q_OBJECT

private slots:
    void wieleKawalkow_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("count");
        QTest::newRow("1000 records after record 1") << 1000 << 1;
        QTest::newRow("1000 records after record 999") << 1000 << 999;
        QTest::newRow("1700 records after record 400") << 1700 << 400;
    }

    void wieleKawalkow()
    {
        QFETCH(int, records);
        QFETCH(int, count);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("zestaw"));

        QByteArray before;
        for (int i = 0; i < records; ++i) {
            rekord r;
            ustawTekst(r.pytanie, QStringLiteral("pytanie %1").arg(i + 1));
            before += r.encode();
        }
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(before), before.size());
        }

        QFile set(path);
        QFile other(path);
        QVERIFY(set.open(QIODevice::ReadWrite));
        QVERIFY(other.open(QIODevice::ReadOnly));
        const zestaw::WynikDolaczania result = zestaw::dolaczZestaw(set, count, other);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(result.appended, qint64(records));
        set.close();
        other.close();

        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray after = f.readAll();
        QCOMPARE(after.size(), qsizetype(count + records) * rekord::size);
        QCOMPARE(after.left(qsizetype(count) * rekord::size), before.left(qsizetype(count) * rekord::size));
        for (int i = 0; i < records; ++i) {
            const rekord got = rekord::decode(after.mid(qsizetype(count + i) * rekord::size, rekord::size));
            QCOMPARE(tekst(got.pytanie), QStringLiteral("pytanie %1").arg(i + 1));
        }
    }
};

QTEST_GUILESS_MAIN(TstDolaczDoSiebie)
#include "tst_dolaczdosiebie.moc"
