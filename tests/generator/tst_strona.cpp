#include "losowanie.h"
#include "rekordtestowy.h"
#include "sequence.h"
#include "strona.h"
#include "tempdir.h"

#include <QTest>

// The page as a whole, against golden files, and the numbers the generator reads and draws.
class TstStrona : public QObject
{
    Q_OBJECT
private slots:
    void wholePage();
    void numbers();
    void draw();
    void writeReplacesWholeOrFails();
};

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

void TstStrona::wholePage()
{
    const QString code = QString::fromUtf16(u"Łódź \"1\" \\ </script><!-- niño 😀\t");
    QVERIFY(matchesGolden(strona::bajty(strona::strona(wszystkie(), u" 600"_s, code)),
                          u"strona/wszystkie.html"_s));
    // No questions, an empty code.
    QVERIFY(matchesGolden(strona::bajty(strona::strona({}, u"-300"_s, QString())), u"strona/pusta.html"_s));
}

// The time limit as typed (in the C and the Polish locale), the number a count starts with, and
// its rounding half to even, each against what the golden file lists for it ("-" for refused).
void TstStrona::numbers()
{
    QStringList out;
    const QString digits = QString(10000, QLatin1Char('9'));
    for (const QString& minutes : {u"10"_s, u"-5"_s, u"-0"_s, u"1,5"_s, u"1.5"_s, u"1.01"_s, u"abc"_s,
                                   QString(), u"inf"_s, u"1e308"_s, u"1e14"_s, digits})
        for (const char* locale : {"C", "pl_PL"}) {
            const std::optional<double> s =
                strona::sekundyZMinut(minutes, QLocale(QString::fromUtf8(locale)));
            out << u"%1 minut (%2): %3"_s.arg(minutes.left(20), QString::fromUtf8(locale),
                                              s ? strona::sekundy(*s) : u"-"_s);
        }
    for (const char* text : {"", "abc", "0.9", "12 pytań", "  5", "-3", "+4", ".5", "5.", "1,5", "1.2.3", "-",
                             ".", "1e2", "99999999999999999999"})
        out << u"liczba „%1”: %2"_s.arg(QString::fromUtf8(text))
                   .arg(losowanie::liczbaNaPoczatku(QString::fromUtf8(text)));
    for (const double v : {1.4, 2.5, 3.5, 2.51})
        out << u"zaokrąglone %1: %2"_s.arg(v).arg(losowanie::zaokraglij(v));
    QVERIFY(matchesGolden(out.join(QLatin1Char('\n')).toUtf8(), u"strona/liczby.txt"_s));
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
    QVERIFY(strona::zapisz(u"test.html"_s, page));
    QCOMPARE(readAll(u"test.html"_s), QByteArray("<HTML>\xb3\xb9</HTML>\r\n"));
    QVERIFY(QDir().mkdir(u"folder"_s));
    QVERIFY(!strona::zapisz(u"folder"_s, page).error().szczegol.isEmpty());
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary file left behind
}

QTEST_GUILESS_MAIN(TstStrona)
#include "tst_strona.moc"
