#include "losowanie.h"
#include "sequence.h"

#include <QSet>
#include <QTest>

#include <deque>

// The number of questions as typed and the draw of distinct records.
class TstLosowanie : public QObject
{
    Q_OBJECT
private slots:
    void leadingNumber_data();
    void leadingNumber();
    void roundHalfToEven_data();
    void roundHalfToEven();
    void drawRejectsRepeats();
    void drawMapsTheWholeRange_data();
    void drawMapsTheWholeRange();
    void drawingEveryRecordGivesEachOnce();
    void moreThanHundredFillsHundredSlotsThenFails();
    void timeSeededSource();
};

static QString u(const char* s)
{
    return QString::fromUtf8(s);
}

void TstLosowanie::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("words") << u("abc") << 0.0;
    QTest::newRow("0.9") << u("0.9") << 0.9;
    QTest::newRow("1.4") << u("1.4") << 1.4;
    QTest::newRow("2.5") << u("2.5") << 2.5;
    QTest::newRow("number then words") << u("12 pytań") << 12.0;
    QTest::newRow("glued words") << u("7abc") << 7.0;
    QTest::newRow("leading blanks") << u("  5") << 5.0;
    QTest::newRow("negative") << u("-3") << -3.0;
    QTest::newRow("plus") << u("+4") << 4.0;
    QTest::newRow("point first") << u(".5") << 0.5;
    QTest::newRow("trailing point") << u("5.") << 5.0;
    QTest::newRow("comma ends the number") << u("1,5") << 1.0;
    QTest::newRow("second point ends it") << u("1.2.3") << 1.2;
    QTest::newRow("sign alone") << u("-") << 0.0;
    QTest::newRow("point alone") << u(".") << 0.0;
    QTest::newRow("huge") << u("99999999999999999999") << 1e20;
}

void TstLosowanie::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(losowanie::liczbaNaPoczatku(text), value);
}

void TstLosowanie::roundHalfToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rounded");
    QTest::newRow("1.4") << 1.4 << 1.0;
    QTest::newRow("2.5") << 2.5 << 2.0;
    QTest::newRow("3.5") << 3.5 << 4.0;
    QTest::newRow("1.5") << 1.5 << 2.0;
    QTest::newRow("100.5") << 100.5 << 100.0;
    QTest::newRow("2.51") << 2.51 << 3.0;
}

void TstLosowanie::roundHalfToEven()
{
    QFETCH(double, value);
    QFETCH(double, rounded);
    QCOMPARE(losowanie::zaokraglij(value), rounded);
}

void TstLosowanie::drawRejectsRepeats()
{
    // 10 records: 0.0 -> 1, 0.05 -> 1 again, 0.95 -> 10, 0.0 -> 1 again, 0.5 -> 6.
    losowanie::Wylosowane numbers{};
    QList<qint16> shown;
    QVERIFY(losowanie::losuj(10, 3, sequence({0.0, 0.05, 0.95, 0.0, 0.5}), numbers,
                             [&shown](qint16 k) { shown << k; }));
    QCOMPARE(shown, (QList<qint16>{1, 10, 6}));
    QCOMPARE(numbers[1], qint16(1));
    QCOMPARE(numbers[2], qint16(10));
    QCOMPARE(numbers[3], qint16(6));
    QCOMPARE(numbers[0], qint16(0));
}

void TstLosowanie::drawMapsTheWholeRange_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("r");
    QTest::addColumn<int>("record");
    QTest::newRow("lowest") << 32767 << 0.0 << 1;
    QTest::newRow("highest") << 32767 << 0.99999999 << 32767;
    QTest::newRow("just below a step") << 4 << 0.2499999 << 1;
    QTest::newRow("at a step") << 4 << 0.25 << 2;
    QTest::newRow("single record") << 1 << 0.7 << 1;
}

void TstLosowanie::drawMapsTheWholeRange()
{
    QFETCH(int, count);
    QFETCH(double, r);
    QFETCH(int, record);
    losowanie::Wylosowane numbers{};
    QVERIFY(losowanie::losuj(qint16(count), 1, sequence({r}), numbers));
    QCOMPARE(numbers[1], qint16(record));
}

void TstLosowanie::drawingEveryRecordGivesEachOnce()
{
    losowanie::Wylosowane numbers{};
    QVERIFY(losowanie::losuj(100, 100, losowanie::zrodlo(42), numbers));
    QSet<qint16> seen(numbers.begin() + 1, numbers.end());
    QCOMPARE(seen.size(), 100);
    QCOMPARE(*std::min_element(numbers.begin() + 1, numbers.end()), qint16(1));
    QCOMPARE(*std::max_element(numbers.begin() + 1, numbers.end()), qint16(100));
}

void TstLosowanie::moreThanHundredFillsHundredSlotsThenFails()
{
    losowanie::Wylosowane numbers{};
    int shown = 0;
    QVERIFY(!losowanie::losuj(150, 101, losowanie::zrodlo(7), numbers, [&shown](qint16) { ++shown; }));
    QCOMPARE(shown, 100);
    QSet<qint16> seen(numbers.begin() + 1, numbers.end());
    QCOMPARE(seen.size(), 100);
    QVERIFY(*std::max_element(numbers.begin() + 1, numbers.end()) <= 150);
}

void TstLosowanie::timeSeededSource()
{
    losowanie::Zrodlo a = losowanie::zrodlo(123), b = losowanie::zrodlo(123), c = losowanie::zrodlo(124);
    bool differs = false;
    for (int i = 0; i < 1000; ++i) {
        const double x = a();
        QVERIFY(x >= 0 && x < 1);
        QCOMPARE(b(), x);
        differs = differs || c() != x;
    }
    QVERIFY(differs);
}

QTEST_GUILESS_MAIN(TstLosowanie)
#include "tst_losowanie.moc"
