#include "pieczec.h"
#include "rekordtestowy.h"
#include "strona.h"
#include "tempdir.h"
#include "zapieczetowana.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

// The seal against the published vectors, the sealed page byte for byte, and what its source gives
// away to a student who reads it. HMAC is Qt's own; the golden page, which the page's script opens
// with its HMAC checked against the same vectors, shows that both sides agree.
class TstPieczec : public QObject
{
    Q_OBJECT
private slots:
    void pbkdf2Vectors_data();
    void pbkdf2Vectors();
    void sealOpensOnlyWithItsKey();
    void sealedPage();
    void typedCodes_data();
    void typedCodes();
    void issuedCodes();
    void shuffledRadiosEvenlySpaced();
};

static QByteArray hex(const QJsonValue& v)
{
    return QByteArray::fromHex(v.toString().toLatin1());
}

void TstPieczec::pbkdf2Vectors_data()
{
    QTest::addColumn<QJsonObject>("v");
    const QJsonDocument all =
        QJsonDocument::fromJson(readAll(QStringLiteral(TESTOWNIK_DATA "/pieczec.json")));
    for (const QJsonValue v : all[u("pbkdf2")].toArray())
        QTest::newRow(qPrintable(v[u("opis")].toString())) << v.toObject();
}

void TstPieczec::pbkdf2Vectors()
{
    QFETCH(QJsonObject, v);
    const QByteArray dk = hex(v[u("dk")]);
    QCOMPARE(pieczec::pbkdf2(hex(v[u("haslo")]), hex(v[u("sol")]), v[u("c")].toInt(), int(dk.size())), dk);
}

static const strona::Pieczec fixed{true, 1000, "0123456789abcdef", "fedcba9876543210"};

// The key's inputs other than the code are covered by the golden page; here the C++ opening.
void TstPieczec::sealOpensOnlyWithItsKey()
{
    const QByteArray text = u("[[2,\"żółć\"]]").toUtf8().leftJustified(100, ' '); // several keystream blocks
    const QByteArray key = pieczec::klucz(u("Łódź ✓"), fixed.sol, 10);
    const pieczec::Zamkniete sealed = pieczec::zamknij(key, fixed.nonce, text);
    const Wynik<QByteArray> opened = pieczec::otworz(key, fixed.nonce, sealed);
    QVERIFY(opened);
    QCOMPARE(*opened, text);

    pieczec::Zamkniete forged = sealed;
    forged.szyfr[50] = char(forged.szyfr[50] ^ 1);
    const QList<Wynik<QByteArray>> refused = {
        pieczec::otworz(pieczec::klucz(u("Łódź ✔"), fixed.sol, 10), fixed.nonce, sealed),
        pieczec::otworz(key, fixed.sol, sealed),
        pieczec::otworz(key, fixed.nonce, forged),
    };
    for (const Wynik<QByteArray>& o : refused)
        QVERIFY(!o && o.error().rodzaj == Blad::Rodzaj::ZleDane);
    const strona::Pieczec a = strona::Pieczec::nowa(true), b = strona::Pieczec::nowa(true);
    QVERIFY(a.losowo && a.sol.size() == 16 && a.nonce.size() == 16 && a.sol != b.sol && a.nonce != b.nonce);
}

// Every type and every odd case of scoring; what opening it gives is in pieczec.json.
static const QList<rekord> questions = {
    pytanie(0, u("Które zwierzęta są ssakami?"), u("kot|wróbel|pies|karp"), {1, 0, 1, 0, 1}),
    pytanie(1, u("Ile to 2+2?"), u("3|4|5|6"), {0, -1, 0, 0, 0}, u("rys.png")),
    pytanie(2, u("Wydzielina wątroby to..."), u("żółć")),
    pytanie(2, u("Zapisz w cudzysłowie a, ukośnik wsteczny i b, potem koniec skryptu"),
            u("\"a\\b\"</script>")),
    pytanie(2, u("Ile to 1+1? (słownie)"), u("  dwa  ")),
    pytanie(1, u("Jednokrotny wybór bez zaznaczenia"), u("a|b|c|d")),
    pytanie(1, u("Zaznaczona tylko piąta odpowiedź"), u("a|b|c|d|e"), {0, 0, 0, 0, -1}),
    pytanie(7, u("Nieznany typ odpowiedzi"), u("a|b|c|d"), {1, 0, 0, 1}),
    pytanie(0, u("Znaczniki inne niż 0 i 1"), u("ą|ę|ś|ź"), {-1, 2, 0, 1}),
};

static QString page(const QList<rekord>& pytania, const QString& code)
{
    return strona::zapieczetowana(pytania, strona::sekundy(600), code, fixed);
}

void TstPieczec::sealedPage()
{
    // The code also opens the page in its script; a lone surrogate is U+FFFD's UTF-8 on both sides.
    const QString sealedPage = page(questions, u("Łódź ✓") + QChar(0xD800));
    QVERIFY(matchesGolden(strona::bajty(sealedPage), u("zapieczetowana.html")));

    // Neither the default page's answer markers nor model answers in plain among the sealed bytes.
    QStringList secrets = {u("odp["), u("popr"), u("dobrze")};
    for (const char* answer : {"żółć", "\"a\\b\"</script>", "dwa"})
        secrets << QString::fromLatin1(QByteArray(answer).toHex());
    for (const QString& secret : secrets)
        QVERIFY2(!sealedPage.contains(secret, Qt::CaseInsensitive), qPrintable(secret));

    // Nothing but the sealed bytes depends on the answers or the code, nor does their length: the
    // same questions with other marks (of any size), another choice and model answers of other
    // lengths, sealed by another code, give the same page around them and as much sealed data.
    QList<rekord> blank = questions;
    int typed = 0;
    for (rekord& r : blank) {
        for (int k = 1; k <= 5; ++k)
            r.poprawna(k) = r.typ == 1 ? qint16(k == 3 ? -1 : 0) : -32768;
        if (r.typ == 2)
            ustawTekst(r.odp1, QString(++typed == 1 ? 150 : typed, QChar(0x0107)));
    }
    static const QRegularExpression sealed(QStringLiteral("t:\"[0-9a-f]{64}\",d:\"[0-9a-f]+\""));
    const auto masked = [](QString s) {
        return s.replace(sealed, QString::number(sealed.match(s).capturedLength()));
    };
    QCOMPARE(masked(page(blank, u("inny kod"))), masked(sealedPage));
}

// Typings ({S} a lone surrogate) that are the golden page's code or not, as the page's script in
// node takes them too, and how many of their characters count.
void TstPieczec::typedCodes_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("same");
    QTest::addColumn<int>("counted");
    const QJsonDocument all =
        QJsonDocument::fromJson(readAll(QStringLiteral(TESTOWNIK_DATA "/pieczec.json")));
    for (const QJsonValue v : all[u("kody")].toArray())
        QTest::newRow(qPrintable(v[0].toString()))
            << v[0].toString().replace(u("{S}"), QChar(0xD800)) << v[1].toBool() << v[2].toInt();
}

void TstPieczec::typedCodes()
{
    QFETCH(QString, typed);
    QFETCH(bool, same);
    QFETCH(int, counted);
    QCOMPARE(pieczec::kodKlucza(typed) == u("Łódź ✓") + QChar(0xD800), same);
    QCOMPARE(pieczec::znakiKodu(typed), counted);
}

void TstPieczec::issuedCodes()
{
    QSet<QString> seen;
    for (int i = 0; i < 10000; ++i)
        seen.insert(pieczec::wydajKod());
    QCOMPARE(seen.size(), 10000);
    static const QRegularExpression form(u("^[2-9a-hjkmnp-z]{9}$")); // no 0/o, 1/l/i: 44 bits
    for (const QString& code : seen)
        QVERIFY2(form.match(code).hasMatch(), qPrintable(code));
}

// A space before only the fourth answer would travel with it; unshuffled, the default block stays.
void TstPieczec::shuffledRadiosEvenlySpaced()
{
    for (strona::Pieczec p = fixed; const bool losowo : {false, true}) {
        p.losowo = losowo;
        const QString sealed = strona::zapieczetowana(questions, strona::sekundy(600), u("kod123"), p);
        QCOMPARE(sealed.count(u("<INPUT TYPE=\"Radio\" NAME=\"odp\" ALIGN=\"left\"> ")), losowo ? 0 : 3);
        QCOMPARE(sealed.contains(strona::blok(questions[1], 2).blokpytania), !losowo);
    }
}

QTEST_GUILESS_MAIN(TstPieczec)
#include "tst_pieczec.moc"
