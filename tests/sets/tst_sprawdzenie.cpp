#include "pytanie.h"
#include "sprawdzenie.h"
#include "tempdir.h"

#include <QBuffer>
#include <QTest>

using namespace Qt::StringLiterals;
using enum sprawdzenie::Problem;
using Problems = QList<sprawdzenie::Problem>;
static const QString folder =
    QStringLiteral(TESTOWNIK_DATA "/sprawdzenie"); // beside the set: rys.png, opis.png

// The set check: each kind of question the page cannot score, or scores against intent.
class TstSprawdzenie : public QObject
{
    Q_OBJECT
    QList<rekord> all_; // every row's question, for the whole-set check

private slots:
    void findings_data()
    {
        QTest::addColumn<rekord>("r");
        QTest::addColumn<Problems>("expected");
        auto q = [n = 0]() mutable { return u"Pytanie %1"_s.arg(++n); }; // each row its own text
        auto row = [&](const char* name, const rekord& r, const Problems& e) {
            all_ << r;
            QTest::newRow(name) << r << e;
        };
        const QString abcd = u"Kraków|Gdańsk|Łódź|Poznań"_s, abcde = abcd + u"|Opole"_s;
        row("clean", pytanie(1, u"<b>Polska</b> &ndash; &#261;?"_s, abcd, {0, 0, -1}, u"rys.png"_s), {});
        row("clean, 1-letter picture", pytanie(0, u"Nad Wisłą"_s, abcd, {1}, u"j"_s), {});
        row("clean typed", pytanie(2, u"Stolica Polski?"_s, u"warszawa"_s), {});
        row("no -1", pytanie(1, q(), abcd), {BrakPoprawnej});
        row("-1 on 5th", pytanie(1, q(), abcde, {0, 0, 0, 0, -1}), {PoprawnaPiata});
        row("two -1", pytanie(1, q(), abcd, {-1, 0, -1, 0}), {KilkaPoprawnych});
        row("single, mark 1", pytanie(1, q(), abcd, {-1, 1, 0, 0}), {OznaczenieOpcji});
        row("none ticked", pytanie(0, q(), abcd), {NicNieZaznaczono});
        row("multiple, -1", pytanie(0, q(), abcd, {1, -1, 0, 0}), {ZleOznaczenie});
        row("grey", pytanie(0, q(), abcd, {1, 2, 0, 0}), {SzaraOdpowiedz});
        row("ticked, empty", pytanie(0, q(), u"a|"_s, {0, 1}), {PustaPoprawna});
        row("model empty", pytanie(2, q()), {PustyWzor});
        row("model 21", pytanie(2, q(), QString(21, u'a')), {DlugiWzor});
        row("2 lines, long", pytanie(2, q(), u"dwadzieścia\r\ndziewięć"_s), {DlugiWzor, WzorNieDoWpisania});
        row("model capital", pytanie(2, q(), u"Żółw"_s), {WielkieLitery});
        row("no text", pytanie(2, {}, u"tak"_s), {PustePytanie});
        row("no picture", pytanie(2, q(), u"x"_s, {}, u"brak.png"_s), {BrakRysunku});
        row("not picture", pytanie(2, q(), u"x"_s, {}, u"opis.png"_s), {NieRysunek});
        row("5th answer", pytanie(0, q(), abcde, {1}), {PiataOdpowiedz});
        row("typ 5", pytanie(5, q(), abcd, {1}), {NieznanyTyp});
        row("lone <", pytanie(2, u"Czy 2 < 3, a<b?"_s, u"x"_s), {ZnakMniejszosci});
        row("lone &", pytanie(0, q(), u"R&D|&amp"_s, {1}), {ZnakEt, ZnakEt});
        row("same text", pytanie(0, u"  pytanie 1\r\n"_s, abcd, {1}), {}); // repeats question 4 in the set
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
        QByteArray bytes;
        for (const rekord& r : all_)
            bytes += r.encode();
        QBuffer set(&bytes);
        QVERIFY(set.open(QIODevice::ReadOnly));
        QVERIFY(sprawdzenie::sprawdzZestaw(set, 3, folder).uwagi.isEmpty()); // the clean rows alone
        const auto found = sprawdzenie::sprawdzZestaw(set, all_.size(), folder).uwagi;
        QString lines;
        for (const auto& u : found)
            lines += u.wiersz() + u'\n';
        QCOMPARE(lines, QString::fromUtf8(readAll(folder + u"/zestaw.txt"_s)));
        QCOMPARE(sprawdzenie::pytaniaZBledami(found), 10);
    }
};

QTEST_GUILESS_MAIN(TstSprawdzenie)
#include "tst_sprawdzenie.moc"
