#include "rekordtestowy.h"
#include "sprawdzenie.h"
#include "tempdir.h"

#include <QBuffer>
#include <QTest>

using namespace Qt::StringLiterals;
using enum sprawdzenie::Problem;
using Problems = QList<sprawdzenie::Problem>;
static const QString folder = u(TESTOWNIK_DATA "/sprawdzenie"); // beside the set: rys.png, opis.png

// The set check: each kind of question the page cannot score, or scores against intent.
class TstSprawdzenie : public QObject
{
    Q_OBJECT
    QByteArray all_; // every row's question, for the whole-set check

private slots:
    void findings_data()
    {
        QTest::addColumn<rekord>("r");
        QTest::addColumn<Problems>("expected");
        auto q = [n = 0]() mutable { return u"Pytanie %1"_s.arg(++n); }; // each row its own text
        auto row = [&](const char* name, const rekord& r, const Problems& e) {
            all_ += r.encode();
            QTest::newRow(name) << r << e;
        };
        const QString abcd = u"Kraków|Gdańsk|Łódź|Poznań"_s, abcde = abcd + u"|Opole"_s;
        row("clean", pytanie(1, u"<b>Polska</b> &ndash; &#261;?"_s, abcd, {0, 0, -1}, u"rys.png"_s), {});
        row("clean, 1-letter picture", pytanie(0, u"Nad Wisłą"_s, abcd, {1}, u"j"_s), {});
        row("no -1", pytanie(1, q(), abcd), {BrakPoprawnej});
        row("-1 on 5th", pytanie(1, q(), abcde, {0, 0, 0, 0, -1}), {PoprawnaPiata});
        row("two -1, a 1", pytanie(1, q(), abcd, {-1, 1, -1, 0}), {OznaczenieOpcji, KilkaPoprawnych});
        row("none ticked", pytanie(0, q(), abcd), {NicNieZaznaczono});
        row("multiple, -1", pytanie(0, q(), abcd, {1, -1, 0, 0}), {ZleOznaczenie});
        row("ticked, empty", pytanie(0, q(), u"a|"_s, {0, 1}), {PustaPoprawna});
        row("model empty, not a picture", pytanie(2, q(), {}, {}, u"opis.png"_s), {PustyWzor, NieRysunek});
        row("2 lines, long", pytanie(2, q(), u"dwadzieścia\r\ndziewięć"_s), {DlugiWzor, WzorNieDoWpisania});
        row("no text, no picture", pytanie(2, {}, u"tak"_s, {}, u"brak.png"_s), {PustePytanie, BrakRysunku});
        row("typ 5, grey", pytanie(5, q(), abcd, {1, 2, 0, 0}), {NieznanyTyp, SzaraOdpowiedz});
        row("lone <, capital", pytanie(2, u"Czy 2 < 3, a<b?"_s, u"Żółw"_s), {WielkieLitery, ZnakMniejszosci});
        row("lone &, 5th answer", pytanie(0, q(), u"R&D|&amp|c|d|e"_s, {1}),
            {PiataOdpowiedz, ZnakEt, ZnakEt});
        row("same text", pytanie(0, u"  pytanie 1\r\n"_s, abcd, {1}), {}); // repeats question 3 in the set
    }

    void findings()
    {
        QFETCH(rekord, r);
        Problems got;
        for (const auto& u : sprawdzenie::sprawdz(r, 7, folder))
            got << u.problem;
        QTEST(got, "expected");
    }

    void wholeSet() // all the rows as one set, in one pass
    {
        QBuffer set(&all_);
        QVERIFY(set.open(QIODevice::ReadOnly));
        QVERIFY(sprawdzenie::sprawdzZestaw(set, 2, folder).value().isEmpty()); // the clean rows alone
        const auto found = sprawdzenie::sprawdzZestaw(set, all_.size() / rekord::size, folder).value();
        QString lines;
        for (const auto& u : found)
            lines += u.wiersz() + u'\n';
        QCOMPARE(lines, QString::fromUtf8(readAll(folder + u"/zestaw.txt"_s)));
        QCOMPARE(sprawdzenie::pytaniaZBledami(found), 7);
    }
};

QTEST_GUILESS_MAIN(TstSprawdzenie)
#include "tst_sprawdzenie.moc"
