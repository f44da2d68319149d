#include "pytanie.h"
#include "sprawdzenie.h"
#include "tempdir.h"

#include <QTest>

using sprawdzenie::Problem;
using Problems = QList<Problem>;

// The set check: each kind of question the page cannot score, or scores against intent.
class TstSprawdzenie : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void findings_data();
    void findings();
    void wholeSetSortedErrorsFirst();
    void cleanSetHasNoFindings();

private:
    QTemporaryDir dir_;
};

static QString s(const char* text)
{
    return QString::fromUtf8(text);
}

static QStringList abcd()
{
    return {s("Kraków"), s("Gdańsk"), s("Łódź"), s("Poznań")};
}

static QList<rekord> clean()
{
    return {pytanie(1, s("Stolica <b>Polski</b> &ndash; &#261;?"), abcd(), {0, 0, -1, 0}, s("rys.png")),
            pytanie(0, s("Miasta nad Wisłą"), abcd(), {1, 0, 0, 0}, s("j")),
            pytanie(2, s("Stolica Polski?"), {s("warszawa")}, {1})};
}

void TstSprawdzenie::initTestCase()
{
    QVERIFY(writeAll(dir_.filePath(s("rys.png")), "\x89PNG\r\n\x1a\n rest"));
    QVERIFY(writeAll(dir_.filePath(s("opis.png")), "not a picture"));
}

struct Row
{
    const char* name;
    rekord r;
    Problems expected;
};

// One question per kind, each with its own text.
static QList<Row> rows()
{
    int n = 0;
    auto q = [&n] { return QStringLiteral("Pytanie %1").arg(++n); };
    using P = Problem;
    return {
        {"clean single", clean().at(0), {}},
        {"no -1", pytanie(1, q(), abcd()), {P::BrakPoprawnej}},
        {"-1 on 5th", pytanie(1, q(), abcd() << s("e"), {0, 0, 0, 0, -1}), {P::PoprawnaPiata}},
        {"two -1", pytanie(1, q(), abcd(), {-1, 0, -1, 0}), {P::KilkaPoprawnych}},
        {"single, mark 1", pytanie(1, q(), abcd(), {-1, 1, 0, 0}), {P::OznaczenieOpcji}},
        {"none ticked", pytanie(0, q(), abcd()), {P::NicNieZaznaczono}},
        {"multiple, -1", pytanie(0, q(), abcd(), {1, -1, 0, 0}), {P::ZleOznaczenie}},
        {"grey", pytanie(0, q(), abcd(), {1, 2, 0, 0}), {P::SzaraOdpowiedz}},
        {"ticked, empty", pytanie(0, q(), {s("a"), {}}, {0, 1}), {P::PustaPoprawna}},
        {"model empty", pytanie(2, q()), {P::PustyWzor}},
        {"model 21", pytanie(2, q(), {QString(21, QLatin1Char('a'))}), {P::DlugiWzor}},
        {"model 2 lines, long",
         pytanie(2, q(), {s("dwadzieścia\r\ntrzydzieści")}),
         {P::DlugiWzor, P::WzorNieDoWpisania}},
        {"model capital", pytanie(2, q(), {s("Żółw")}), {P::WielkieLitery}},
        {"no text", pytanie(2, {}, {s("tak")}), {P::PustePytanie}},
        {"no picture", pytanie(2, q(), {s("x")}, {}, s("brak.png")), {P::BrakRysunku}},
        {"not picture", pytanie(2, q(), {s("x")}, {}, s("opis.png")), {P::NieRysunek}},
        {"5th answer", pytanie(0, q(), abcd() << s("e"), {1}), {P::PiataOdpowiedz}},
        {"typ 5", pytanie(5, q(), abcd(), {1}), {P::NieznanyTyp}},
        {"lone <", pytanie(2, s("Czy 2 < 3, a<b?"), {s("x")}), {P::ZnakMniejszosci}},
        {"lone &", pytanie(0, q(), {s("R&D"), s("&amp")}, {1}), {P::ZnakEt, P::ZnakEt}},
        {"same text", pytanie(0, s("  pytanie 1\r\n"), abcd(), {1}), {}}, // alone here, repeated in a set
    };
}

void TstSprawdzenie::findings_data()
{
    QTest::addColumn<rekord>("r");
    QTest::addColumn<Problems>("expected");
    for (const Row& row : rows())
        QTest::newRow(row.name) << row.r << row.expected;
}

void TstSprawdzenie::findings()
{
    QFETCH(rekord, r);
    QFETCH(Problems, expected);
    Problems got;
    for (const auto& u : sprawdzenie::sprawdz(r, 7, dir_.path())) {
        got << u.problem;
        QCOMPARE(u.nr, 7);
        QCOMPARE(u.rodzaj, sprawdzenie::rodzaj(u.problem));
    }
    QCOMPARE(got, expected);
}

// All the kinds in one set, with the last question repeating the second's text.
void TstSprawdzenie::wholeSetSortedErrorsFirst()
{
    const QString path = dir_.filePath(s("zestaw"));
    QByteArray bytes;
    for (const Row& row : rows())
        bytes += row.r.encode();
    QVERIFY(writeAll(path, bytes));
    const auto result = sprawdzenie::sprawdzZestaw(path);
    QVERIFY2(result.ok, qPrintable(result.error));
    QStringList lines;
    for (const auto& u : result.uwagi)
        lines << u.wiersz();
    QCOMPARE(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'),
             QString::fromUtf8(readAll(s(TESTDATA "/sprawdzenie/zestaw.txt"))));
    QCOMPARE(sprawdzenie::bledy(result.uwagi), 11);
    QCOMPARE(sprawdzenie::pytaniaZBledami(result.uwagi), 10);
}

void TstSprawdzenie::cleanSetHasNoFindings()
{
    QByteArray bytes;
    for (const rekord& r : clean())
        bytes += r.encode();
    const QString path = dir_.filePath(s("czysty"));
    QVERIFY(writeAll(path, bytes));
    const auto result = sprawdzenie::sprawdzZestaw(path);
    QVERIFY(result.ok);
    QCOMPARE(result.uwagi.size(), 0);
}

QTEST_GUILESS_MAIN(TstSprawdzenie)
#include "tst_sprawdzenie.moc"
