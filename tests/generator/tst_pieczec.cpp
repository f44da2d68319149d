#include "codepage.h"
#include "pieczec.h"
#include "strona.h"
#include "zapieczetowana.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>

// The seal against the published vectors, the sealed page byte for byte, and what its source gives
// away to a student who reads it.
class TstPieczec : public QObject
{
    Q_OBJECT
private slots:
    void vectors_data();
    void vectors();
    void sealOpensOnlyWithItsKey();
    void goldenPage();
    void sourceGivesNothingAway();
};

static QString u(const char* s)
{
    return QString::fromUtf8(s);
}

// A fixed seal for byte-for-byte pages, with few iterations.
static const strona::Pieczec seal{true, 1000, "0123456789abcdef", "fedcba9876543210"};

static QByteArray hex(const QJsonValue& v)
{
    return QByteArray::fromHex(v.toString().toLatin1());
}

// RFC 4231 (HMAC-SHA256) and RFC 7914 (PBKDF2-HMAC-SHA256), shared with the page's script test.
void TstPieczec::vectors_data()
{
    QFile file(QStringLiteral(TESTOWNIK_DATA "/pieczec.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonDocument all = QJsonDocument::fromJson(file.readAll());
    QTest::addColumn<QJsonObject>("v");
    for (const QJsonValue v : all[u("hmac")].toArray() + all[u("pbkdf2")].toArray())
        QTest::newRow(qPrintable(v[u("opis")].toString())) << v.toObject();
}

void TstPieczec::vectors()
{
    QFETCH(QJsonObject, v);
    const QByteArray dk = hex(v[u("dk")]);
    if (v.contains(u("mac")))
        QCOMPARE(pieczec::hmac(hex(v[u("klucz")]), hex(v[u("dane")])), hex(v[u("mac")]));
    else
        QCOMPARE(pieczec::pbkdf2(hex(v[u("haslo")]), hex(v[u("sol")]), v[u("c")].toInt(), int(dk.size())),
                 dk);
}

void TstPieczec::sealOpensOnlyWithItsKey()
{
    const QByteArray text = u("[[2,\"żółć\"]]").toUtf8().leftJustified(100, ' '); // several keystream blocks
    const QByteArray key = pieczec::klucz(u("Łódź ✓"), seal.sol, 10);
    const pieczec::Zamkniete sealed = pieczec::zamknij(key, seal.nonce, text);
    QCOMPARE(sealed.szyfr.size(), text.size());
    const pieczec::Otwarte opened = pieczec::otworz(key, seal.nonce, sealed);
    QVERIFY(opened.ok);
    QCOMPARE(opened.tekst, text);

    pieczec::Zamkniete forged = sealed;
    forged.szyfr[50] = char(forged.szyfr[50] ^ 1);
    const QList<pieczec::Otwarte> refused = {
        pieczec::otworz(pieczec::klucz(u("Łódź ✔"), seal.sol, 10), seal.nonce, sealed),
        pieczec::otworz(pieczec::klucz(u("Łódź ✓"), seal.sol, 11), seal.nonce, sealed),
        pieczec::otworz(pieczec::klucz(u("Łódź ✓"), seal.nonce, 10), seal.nonce, sealed),
        pieczec::otworz(key, seal.sol, sealed),
        pieczec::otworz(key, seal.nonce, forged),
    };
    for (const pieczec::Otwarte& o : refused)
        QVERIFY(!o.ok && o.tekst.isEmpty() && !o.error.isEmpty());
    const strona::Pieczec a = strona::Pieczec::nowa(true), b = strona::Pieczec::nowa(true);
    QVERIFY(a.losowo && a.sol.size() == 16 && a.nonce.size() == 16 && a.sol != b.sol && a.nonce != b.nonce);
}

static rekord question(qint16 typ, const char* text, std::initializer_list<const char*> answers,
                       std::array<qint16, 5> marks = {}, const char* picture = "")
{
    rekord r = rekord::pusty();
    r.typ = typ;
    ustawTekst(r.pytanie, u(text));
    int k = 1;
    for (const char* answer : answers)
        ustawTekst(r.odp(k++), u(answer));
    for (k = 1; k <= 5; ++k)
        r.poprawna(k) = marks[k - 1];
    ustawTekst(r.rysunek, u(picture));
    return r;
}

// Every type and every odd case of scoring; what opening it gives is in pieczec.json.
static const QList<rekord> questions = {
    question(0, "Które zwierzęta są ssakami?", {"kot", "wróbel", "pies", "karp"}, {1, 0, 1, 0, 1}),
    question(1, "Ile to 2+2?", {"3", "4", "5", "6"}, {0, -1, 0, 0, 0}, "rys.png"),
    question(2, "Wydzielina wątroby to...", {"żółć"}),
    question(2, "Zapisz w cudzysłowie a, ukośnik wsteczny i b, potem koniec skryptu", {"\"a\\b\"</script>"}),
    question(2, "Ile to 1+1? (słownie)", {"  dwa  "}),
    question(1, "Jednokrotny wybór bez zaznaczenia", {"a", "b", "c", "d"}),
    question(1, "Zaznaczona tylko piąta odpowiedź", {"a", "b", "c", "d", "e"}, {0, 0, 0, 0, -1}),
    question(7, "Nieznany typ odpowiedzi", {"a", "b", "c", "d"}, {1, 0, 0, 1}),
    question(0, "Znaczniki inne niż 0 i 1", {"ą", "ę", "ś", "ź"}, {-1, 2, 0, 1}),
};

// The code also opens the page in its script; a lone surrogate is U+FFFD's UTF-8 on both sides.
static const QString code = u("Łódź ✓") + QChar(0xD800);

void TstPieczec::goldenPage()
{
    const QByteArray page =
        strona::bajty(strona::zapieczetowana(questions, strona::sekundy(600), code, seal));
    QFile golden(QStringLiteral(TESTOWNIK_DATA "/zapieczetowana.html"));
    QVERIFY(golden.open(QIODevice::ReadOnly));
    QCOMPARE(page, golden.readAll());
}

void TstPieczec::sourceGivesNothingAway()
{
    const QString page = strona::zapieczetowana(questions, strona::sekundy(600), code, seal);
    QStringList secrets = {u("odp["), u("popr"), u("dobrze")};
    for (const QString& text : {code, u("żółć"), u("\"a\\b\"</script>"), u("dwa")}) {
        secrets << text << QString::fromLatin1(text.toUtf8().toHex());
        for (const QByteArray& bytes : {text.toUtf8(), cp1250::encode(text)})
            secrets << QString::fromLatin1(
                QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    }
    for (const QString& secret : secrets)
        QVERIFY2(!page.contains(secret, Qt::CaseInsensitive), qPrintable(secret));

    // Nothing but the sealed bytes depends on the answers: the same questions with no marks and
    // other model answers give the same page around them.
    QList<rekord> blank = questions;
    for (rekord& r : blank) {
        for (int k = 1; k <= 5; ++k)
            r.poprawna(k) = 0;
        if (r.typ == 2)
            ustawTekst(r.odp1, u("inna"));
    }
    const QString other = strona::zapieczetowana(blank, strona::sekundy(600), code, seal);
    static const QRegularExpression sealed(QStringLiteral("t:\"[0-9a-f]{64}\",d:\"[0-9a-f]+\""));
    QVERIFY(page.contains(sealed));
    QCOMPARE(QString(other).remove(sealed), QString(page).remove(sealed));
}

QTEST_GUILESS_MAIN(TstPieczec)
#include "tst_pieczec.moc"
