#include "losowanie.h"
#include "pytanie.h"
#include "sequence.h"
#include "strona.h"
#include "tempdir.h"

#include <QTest>

// The page as a whole, against golden files, and the numbers the generator reads and draws.
class TstStrona : public QObject
{
    Q_OBJECT
private slots:
    void wholePage_data();
    void wholePage();
    void seconds_data();
    void seconds();
    void leadingNumber();
    void draw();
    void writeReplacesWholeOrFails();
};

Q_DECLARE_METATYPE(QList<rekord>)

// Every kind of block: the right index of single choice in every case, marks of every sign,
// model answers that must not end their script string, types the editor never writes, pictures
// of one and two characters, texts with outer spaces, tags and line breaks.
static QList<rekord> wszystkie()
{
    const QString abcd = u"3|4|5|6"_s;
    return {
        pytanie(1, u"Ile to 2+2?"_s, abcd, {0, -1, 0, 0, 0}),
        pytanie(1, u"  Dwie -1: liczy się ostatnia  "_s, abcd, {0, -1, 0, -1, 0}, u"x"_s),
        pytanie(1, u"Bez -1"_s, u"a|b||d"_s, {0, 1, 0, 0, 0}, u"ab"_s),
        pytanie(1, u"-1 tylko na piątej"_s, abcd, {0, 0, 0, 0, -1}),
        pytanie(0, u"Które są <B>ssakami</B>?\r\nDwa."_s, u"pies|karp"_s, {1, 0, 1, 0, 2},
                u"a\"b&c<d>.png"_s),
        pytanie(0, u"Skrajne znaki"_s, abcd, {-1, 32767, -32768, 0, 1}),
        pytanie(2, u"Wpisz"_s, u"  dwa  "_s, {1}),
        pytanie(2, u"Wpisz znaki"_s, u"\"c:\\n\"\r\n</SCRIPT><!--\x01 żółć"_s, {1}),
        pytanie(5, u"Typ 5"_s, abcd, {1}),
        pytanie(-1, u"Typ -1"_s, abcd),
        pytanie(2, QString()),
        pytanie(1, u"Dwunaste"_s, abcd, {0, 0, -1}),
    };
}

void TstStrona::wholePage_data()
{
    QTest::addColumn<QList<rekord>>("pytania");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("golden");
    QTest::newRow("every block") << wszystkie() << u" 600"_s
                                 << QString::fromUtf16(u"Łódź \"1\" \\ </script><!-- niño 😀\t")
                                 << u"strona/wszystkie.html"_s;
    QTest::newRow("no questions, empty code")
        << QList<rekord>{} << u"-300"_s << QString() << u"strona/pusta.html"_s;
}

void TstStrona::wholePage()
{
    QFETCH(QList<rekord>, pytania);
    QFETCH(QString, seconds);
    QFETCH(QString, code);
    QFETCH(QString, golden);
    const QByteArray page = strona::bajty(strona::strona(pytania, seconds, code));
    QVERIFY2(matchesGolden(page, golden), qPrintable(golden));
}

void TstStrona::seconds_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("seconds"); // empty: refused
    const QString c = u"C"_s, pl = u"pl_PL"_s;
    QTest::newRow("10") << c << u"10"_s << u" 600"_s;
    QTest::newRow("-5") << c << u"-5"_s << u"-300"_s;
    QTest::newRow("-0 has no sign") << c << u"-0"_s << u" 0"_s;
    QTest::newRow("polish 1,5") << pl << u"1,5"_s << u" 90"_s;
    QTest::newRow("polish takes no point") << pl << u"1.5"_s << u""_s;
    QTest::newRow("fraction of a second") << c << u"1.01"_s << u" 60.6"_s;
    QTest::newRow("words") << c << u"abc"_s << u""_s;
    QTest::newRow("empty") << c << u""_s << u""_s;
    QTest::newRow("not finite") << c << u"inf"_s << u""_s;
    QTest::newRow("too large times 60") << c << u"1e308"_s << u""_s;
    QTest::newRow("huge stays plain digits") << c << u"1e14"_s << u" 6000000000000000"_s;
    QTest::newRow("10000 digits") << c << QString(10000, QLatin1Char('9')) << u""_s;
}

void TstStrona::seconds()
{
    QFETCH(QString, locale);
    QFETCH(QString, minutes);
    QFETCH(QString, seconds);
    const std::optional<double> s = strona::sekundyZMinut(minutes, QLocale(locale));
    QCOMPARE(s ? strona::sekundy(*s) : QString(), seconds);
}

void TstStrona::leadingNumber()
{
    const std::initializer_list<std::pair<const char*, double>> rows{
        {"", 0},        {"abc", 0}, {"0.9", 0.9}, {"12 pytań", 12}, {"  5", 5},
        {"-3", -3},     {"+4", 4},  {".5", 0.5},  {"5.", 5},        {"1,5", 1},
        {"1.2.3", 1.2}, {"-", 0},   {".", 0},     {"1e2", 1},       {"99999999999999999999", 1e20}};
    for (auto [text, value] : rows)
        QCOMPARE(losowanie::liczbaNaPoczatku(QString::fromUtf8(text)), value);
    for (auto [v, even] :
         std::initializer_list<std::pair<double, double>>{{1.4, 1}, {2.5, 2}, {3.5, 4}, {2.51, 3}})
        QCOMPARE(losowanie::zaokraglij(v), even);
}

void TstStrona::draw()
{
    losowanie::Wylosowane wylosowane{};
    QList<qint16> seen;
    // 0.5 twice: the repeat is drawn again; the range maps 0 to record 1 and 0.99999 to the last.
    QVERIFY(losowanie::losuj(4, 4, sequence({0.5, 0.5, 0.0, 0.25, 0.99999}), wylosowane,
                             [&](qint16 k) { seen << k; }));
    QCOMPARE(seen, (QList<qint16>{3, 1, 2, 4}));
    QCOMPARE(wylosowane[1], 3);
    std::deque<double> many;
    for (int i = 0; i < 101; ++i)
        many.push_back((i + 0.5) / 200);
    seen.clear();
    QVERIFY(!losowanie::losuj(200, 101, sequence(many), wylosowane, [&](qint16 k) { seen << k; }));
    QCOMPARE(seen.size(), 100);
}

void TstStrona::writeReplacesWholeOrFails()
{
    TempCwd dir;
    const QString page = u"<HTML>łą</HTML>"_s;
    QVERIFY(writeAll(u"test.html"_s, QByteArray(5000, 'x')));
    QVERIFY(strona::zapisz(u"test.html"_s, page).ok);
    QCOMPARE(readAll(u"test.html"_s), QByteArray("<HTML>\xb3\xb9</HTML>\r\n"));
    QVERIFY(QDir().mkdir(u"folder"_s));
    QVERIFY(!strona::zapisz(u"folder"_s, page).error.isEmpty());
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary file left behind
}

QTEST_GUILESS_MAIN(TstStrona)
#include "tst_strona.moc"
