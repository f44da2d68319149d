#include "codepage.h"
#include "rekord.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

// Byte-exact record encoding: offsets, widths, cut and padding, little-endian marks.
class TstRekord : public QObject
{
    Q_OBJECT
private slots:
    void textFieldWrite_data();
    void textFieldWrite();
    void textFieldRead_data();
    void textFieldRead();
    void numbersAreLittleEndianAtTheirOffsets();
    void allZeroRecord();
    void unchangedRoundTripIsByteExact();
    void polishLettersAreTheirCodePageBytes();
    void conversionAgreesWithQtsConverter();
};

static QByteArray spaces(int n)
{
    return QByteArray(n, ' ');
}

void TstRekord::textFieldWrite_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("field"); // 0 pytanie, 1 odp1, 2 rysunek
    QTest::addColumn<QByteArray>("stored");

    QTest::newRow("question cut at 300") << QString(301, QLatin1Char('a')) << 0 << QByteArray(300, 'a');
    QTest::newRow("answer cut at 150") << QString(151, QLatin1Char('b')) << 1 << QByteArray(150, 'b');
    QTest::newRow("picture cut at 100") << QString(101, QLatin1Char('c')) << 2 << QByteArray(100, 'c');
    QTest::newRow("short text padded with spaces")
        << QStringLiteral("abc") << 1 << QByteArray("abc") + spaces(147);
    QTest::newRow("leading spaces kept") << QStringLiteral("  x") << 2 << QByteArray("  x") + spaces(97);
    QTest::newRow("empty picture is all spaces") << QString() << 2 << spaces(100);
    QTest::newRow("outside the code page gets the substitute")
        << QStringLiteral("a\u4e2d") << 1 << QByteArray("a\x1a") + spaces(148);
}

void TstRekord::textFieldWrite()
{
    QFETCH(QString, text);
    QFETCH(int, field);
    QFETCH(QByteArray, stored);

    rekord r;
    int offset = 0;
    switch (field) {
    case 0:
        ustawTekst(r.pytanie, text), offset = 0;
        break;
    case 1:
        ustawTekst(r.odp1, text), offset = 300;
        break;
    default:
        ustawTekst(r.rysunek, text), offset = 1212;
        break;
    }
    const QByteArray bytes = r.encode();
    QCOMPARE(bytes.size(), 1314);
    QCOMPARE(bytes.mid(offset, stored.size()), stored);
}

void TstRekord::textFieldRead_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("text");

    QTest::newRow("spaces trimmed both sides")
        << QByteArray("  ab c  ") + QByteArray(142, ' ') << QStringLiteral("ab c");
    QTest::newRow("zero byte ends the text")
        << QByteArray("ab\0cd", 5) + QByteArray(145, ' ') << QStringLiteral("ab");
    QTest::newRow("only zero bytes") << QByteArray(150, '\0') << QString();
    QTest::newRow("only spaces") << QByteArray(150, ' ') << QString();
    QTest::newRow("tabs are not trimmed")
        << QByteArray("\tx\t") + QByteArray(147, ' ') << QStringLiteral("\tx\t");
    QTest::newRow("full width without padding") << QByteArray(150, 'z') << QString(150, QLatin1Char('z'));
}

void TstRekord::textFieldRead()
{
    QFETCH(QByteArray, field);
    QFETCH(QString, text);
    QByteArray bytes(1314, '\0');
    bytes.replace(450, 150, field);
    QCOMPARE(tekst(rekord::decode(bytes).odp2), text);
}

void TstRekord::numbersAreLittleEndianAtTheirOffsets()
{
    rekord r;
    r.poprawna1 = -1;
    r.poprawna2 = 1;
    r.poprawna5 = 2;
    r.poprawna6 = 0x1234;
    r.typ = 2;
    const QByteArray b = r.encode();
    QCOMPARE(b.mid(1200, 12), QByteArray("\xff\xff\x01\x00\x00\x00\x00\x00\x02\x00\x34\x12", 12));
    QCOMPARE(b.mid(1312, 2), QByteArray("\x02\x00", 2));

    QByteArray raw(1314, '\0');
    raw[1200] = char(0xff), raw[1201] = char(0xff), raw[1312] = 1;
    const rekord d = rekord::decode(raw);
    QCOMPARE(d.poprawna1, qint16(-1));
    QCOMPARE(d.typ, qint16(1));
    raw[1206] = char(0x00), raw[1207] = char(0x80);
    QCOMPARE(rekord::decode(raw).poprawna4, qint16(-32768));
}

void TstRekord::allZeroRecord()
{
    const rekord r = rekord::decode(QByteArray(1314, '\0'));
    QVERIFY(tekst(r.pytanie).isEmpty());
    for (int k = 1; k <= 6; ++k) {
        QVERIFY(tekst(r.odp(k)).isEmpty());
        QCOMPARE(r.poprawna(k), qint16(0));
    }
    QVERIFY(tekst(r.rysunek).isEmpty());
    QCOMPARE(r.typ, qint16(0));
    QCOMPARE(r.encode(), QByteArray(1314, '\0'));

    // A new set's first record differs only by its blank picture name.
    QByteArray expected(1314, '\0');
    expected.replace(1212, 100, spaces(100));
    QCOMPARE(rekord::pusty().encode(), expected);
}

void TstRekord::unchangedRoundTripIsByteExact()
{
    QByteArray raw(1314, '\0');
    for (int i = 0; i < raw.size(); ++i)
        raw[i] = char((i * 37 + 11) & 0xff);
    QCOMPARE(rekord::decode(raw).encode(), raw);

    // A short input reads as padded with zero bytes.
    const QByteArray part = raw.left(700);
    QCOMPARE(rekord::decode(part).encode(), part + QByteArray(614, '\0'));
}

void TstRekord::polishLettersAreTheirCodePageBytes()
{
    rekord r;
    ustawTekst(r.pytanie, QStringLiteral("Zażółć gęślą jaźń ĄĘŁŃÓŚŹŻĆ"));
    const QByteArray expected =
        "Za\xbf\xf3\xb3\xe6 g\xea\x9cl\xb9 ja\x9f\xf1 \xa5\xca\xa3\xd1\xd3\x8c\x8f\xaf\xc6";
    QCOMPARE(r.encode().left(expected.size()), expected);
    QCOMPARE(tekst(rekord::decode(r.encode()).pytanie), QStringLiteral("Zażółć gęślą jaźń ĄĘŁŃÓŚŹŻĆ"));
    QCOMPARE(cp1250::encode(QStringLiteral("±")), QByteArray("\xb1"));
}

// The fast tables must give exactly what Qt's own converter gives, substitutes included.
void TstRekord::conversionAgreesWithQtsConverter()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    QStringDecoder decoder("windows-1250");
    const QString decoded = decoder.decode(all);
    QCOMPARE(cp1250::decode(all), decoded);

    QString sample = decoded + QStringLiteral("€‚„…†‡‰Š‹ŚŤŽŹ ˇ˘Ł¤Ą¦§¨©Ş«¬­®Ż°±˛ł´µ¶·¸ąş»Ľ˝ľż");
    for (char16_t c = 0x100; c < 0x3000; c += 7)
        sample.append(QChar(c));
    sample += QString::fromUcs4(U"\U0001F600x");
    sample += QChar(0xD800); // a lone surrogate
    QStringEncoder encoder("windows-1250");
    QCOMPARE(cp1250::encode(sample), encoder.encode(sample));
    QCOMPARE(cp1250::encode(decoded), all);
}

QTEST_APPLESS_MAIN(TstRekord)
#include "tst_rekord.moc"
