#include "fsizelimit.h"
#include "tempdir.h"
#include "wymiana.h"

#include <QTest>

// Questions from and to Moodle XML, GIFT and Aiken, against golden files in tests/data/wymiana.
class TstWymiana : public QObject
{
    Q_OBJECT
private slots:
    void exportGolden_data();
    void exportGolden();
    void importGolden_data();
    void importGolden();
    void roundTrip_data();
    void roundTrip();
    void refused_data();
    void refused();
    void failedExportLeavesTheEarlierFile();
};

static QString data(const QString& name)
{
    return QFINDTESTDATA("../data/wymiana") + QLatin1Char('/') + name;
}

static QList<rekord> records(const QByteArray& bytes)
{
    QList<rekord> list;
    for (qsizetype at = 0; at + rekord::size <= bytes.size(); at += rekord::size)
        list << rekord::decode(bytes.mid(at, rekord::size));
    return list;
}

static QByteArray bytes(const QList<rekord>& list)
{
    QByteArray all;
    for (const rekord& r : list)
        all += r.encode();
    return all;
}

static QString lines(const QStringList& raport)
{
    return raport.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

static QStringList files(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
}

void TstWymiana::exportGolden_data()
{
    QTest::addColumn<QString>("golden");
    QTest::newRow("moodle xml") << QStringLiteral("eksport.xml");
    QTest::newRow("gift") << QStringLiteral("eksport.gift");
}

void TstWymiana::exportGolden()
{
    QFETCH(QString, golden);
    const QList<rekord> set = records(readAll(data(QStringLiteral("zestaw"))));
    const auto w =
        golden.endsWith(QLatin1String("xml")) ? wymiana::moodleXml(set, data(QString())) : wymiana::gift(set);
    QCOMPARE(w.bajty, readAll(data(golden)));
    QCOMPARE(lines(w.raport), QString::fromUtf8(readAll(data(golden + QStringLiteral(".raport")))));
    QCOMPARE(w.zapisane, 5);
}

void TstWymiana::importGolden_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<wymiana::Format>("format");
    QTest::addColumn<QStringList>("pictures");
    QTest::newRow("moodle xml") << QStringLiteral("import.xml") << wymiana::Format::MoodleXml
                                << QStringList{QStringLiteral("obraz.png")};
    QTest::newRow("gift, utf-8 with bom")
        << QStringLiteral("import.gift") << wymiana::Format::Gift << QStringList();
    QTest::newRow("aiken, windows-1250")
        << QStringLiteral("import.txt") << wymiana::Format::Aiken << QStringList();
}

void TstWymiana::importGolden()
{
    QFETCH(QString, input);
    QFETCH(wymiana::Format, format);
    QFETCH(QStringList, pictures);
    TempCwd dir;
    // The set's folder already holds a picture that an imported one must not replace.
    QVERIFY(QDir().mkdir(QStringLiteral("zestaw")));
    QVERIFY(writeAll(QStringLiteral("zestaw/zajety.png"), "inny"));
    QVERIFY(QFile::copy(data(input), input));
    wymiana::WynikImportu w = wymiana::wczytajPytania(input, dir.file(QStringLiteral("zestaw")));
    QVERIFY2(w.ok, qPrintable(w.error));
    QCOMPARE(w.format, format);
    QVERIFY(files(QStringLiteral("zestaw")) ==
            QStringList{QStringLiteral("zajety.png")}); // nothing written yet
    QVERIFY(wymiana::zapiszRysunki(w).ok);
    QCOMPARE(bytes(w.pytania), readAll(data(input + QStringLiteral(".zestaw"))));
    QCOMPARE(lines(w.raport), QString::fromUtf8(readAll(data(input + QStringLiteral(".raport")))));
    for (const QString& p : pictures)
        QCOMPARE(readAll(QStringLiteral("zestaw/") + p), readAll(data(p)));
    QStringList after = pictures << QStringLiteral("zajety.png");
    after.sort();
    QCOMPARE(files(QStringLiteral("zestaw")), after);
    QCOMPARE(readAll(QStringLiteral("zestaw/zajety.png")), QByteArray("inny"));
    QCOMPARE(files(dir.path()), (QStringList{input, QStringLiteral("zestaw")}));
    QVERIFY(!QFile::exists(QStringLiteral("/tmp/wymiana-ucieczka.png")));
}

void TstWymiana::roundTrip_data()
{
    QTest::addColumn<wymiana::Format>("format");
    QTest::newRow("moodle xml") << wymiana::Format::MoodleXml;
    QTest::newRow("gift") << wymiana::Format::Gift;
}

void TstWymiana::roundTrip()
{
    QFETCH(wymiana::Format, format);
    TempCwd dir;
    QList<rekord> set = records(readAll(data(QStringLiteral("zestaw"))));
    const auto out = wymiana::eksportuj(set, format, data(QString()), QStringLiteral("pytania"));
    QVERIFY2(out.ok, qPrintable(out.error));
    QVERIFY(QDir().mkdir(QStringLiteral("nowy")));
    wymiana::WynikImportu in = wymiana::wczytajPytania(QStringLiteral("pytania"), QStringLiteral("nowy"));
    QVERIFY2(in.ok, qPrintable(in.error));
    QVERIFY(wymiana::zapiszRysunki(in).ok);
    // What neither format carries: the fifth answer, the hidden answers of a typed question,
    // a question without a right answer among the four shown, pictures in GIFT or missing ones.
    set.removeAt(3);
    for (rekord& r : set) {
        ustawTekst(r.odp5, QString());
        r.poprawna5 = 0;
        for (int k = 2; r.typ == 2 && k <= 4; ++k)
            ustawTekst(r.odp(k), QString());
        if (format == wymiana::Format::Gift || !QFile::exists(data(tekst(r.rysunek))))
            ustawTekst(r.rysunek, QString());
    }
    QCOMPARE(bytes(in.pytania), bytes(set));
    if (format == wymiana::Format::MoodleXml)
        QCOMPARE(readAll(QStringLiteral("nowy/kwadrat.png")), readAll(data(QStringLiteral("kwadrat.png"))));
}

void TstWymiana::refused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message"); // the error, or the report's last line when taken
    QByteArray badSet = readAll(data(QStringLiteral("zestaw")));
    badSet[1314 + 1200] = 5; // record 2, typ 1, would pass; make it multiple choice with mark 5
    badSet[1314 + 1312] = 0;
    const QString neither =
        QStringLiteral("Plik „%1” nie jest zestawem pytań ani plikiem pytań w formacie Moodle "
                       "XML, GIFT lub Aiken.");
    QTest::newRow("png") << QStringLiteral("kwadrat.png") << readAll(data(QStringLiteral("kwadrat.png")))
                         << neither.arg(QStringLiteral("kwadrat.png"));
    QTest::newRow("plain text") << QStringLiteral("lista.txt") << QByteArray("Lista zakupów:\nchleb\n")
                                << neither.arg(QStringLiteral("lista.txt"));
    QTest::newRow("html") << QStringLiteral("a.html") << QByteArray("<html><p>Ile?</p></html>")
                          << neither.arg(QStringLiteral("a.html"));
    QTest::newRow("short binary") << QStringLiteral("b") << QByteArray("\x01\x00ab", 4)
                                  << neither.arg(QStringLiteral("b"));
    QTest::newRow("truncated xml") << QStringLiteral("urwany.xml")
                                   << readAll(data(QStringLiteral("urwany.xml")))
                                   << QStringLiteral(
                                          "Plik „urwany.xml” nie jest poprawnym plikiem Moodle XML: plik "
                                          "urywa się w wierszu 37.");
    QTest::newRow("entity bomb") << QStringLiteral("bomba.xml") << readAll(data(QStringLiteral("bomba.xml")))
                                 << QStringLiteral(
                                        "Plik „bomba.xml” nie jest poprawnym plikiem Moodle XML: ma "
                                        "deklarację typu dokumentu (DTD), a takich plików program nie "
                                        "wczytuje.");
    QTest::newRow("html outside cdata, deeply nested")
        << QStringLiteral("g.xml")
        << QByteArray("<quiz><question><questiontext><text>") + QByteArray("<br>").repeated(200000)
        << QStringLiteral("Plik „g.xml” nie jest poprawnym plikiem Moodle XML: plik urywa się w wierszu 1.");
    QTest::newRow("unclosed brace") << QStringLiteral("otwarty.gift")
                                    << readAll(data(QStringLiteral("otwarty.gift")))
                                    << QStringLiteral(
                                           "Plik „otwarty.gift” nie jest poprawnym plikiem GIFT: nawias { w "
                                           "pytaniu z wiersza 3 nie jest zamknięty.");
    QTest::newRow("50 MB of text") << QStringLiteral("duzy.txt") << QByteArray(50 * 1000 * 1000, 'a')
                                   << QStringLiteral(
                                          "Plik „duzy.txt” nie jest zestawem pytań, a na plik pytań w "
                                          "formacie Moodle XML, GIFT lub Aiken jest za duży (ponad 16 MB).");
    QTest::newRow("nothing the set can hold")
        << QStringLiteral("esej.gift") << QByteArray("Opisz dzień. {}\n")
        << QStringLiteral("W pliku „esej.gift” nie ma pytań, które zestaw "
                          "może przyjąć.");
    QTest::newRow("set the editor would refuse")
        << QStringLiteral("zly") << badSet
        << QStringLiteral("Plik „zly” nie jest zestawem pytań, który edytor umie pokazać: pytanie nr 2 ma "
                          "niewłaściwe oznaczenia odpowiedzi.");
    QTest::newRow("empty file, taken")
        << QStringLiteral("pusty") << QByteArray() << QStringLiteral("Przeniesiono pytań: 0 z 0.");
    QTest::newRow("set, taken") << QStringLiteral("zestaw") << readAll(data(QStringLiteral("zestaw")))
                                << QStringLiteral("Przeniesiono pytań: 6 z 6.");
    QTest::newRow("picture leaving the folder")
        << QStringLiteral("u.xml")
        << QByteArray(
               "<quiz><question type='truefalse'><questiontext><text>&lt;img src='@@PLUGINFILE@@/../u.png'>"
               "</text><file name='u.png' path='/../' encoding='base64'>iVBO</file></questiontext>"
               "<answer fraction='100'><text>true</text></answer></question></quiz>")
        << QStringLiteral(
               "Pytanie nr 1: rysunku „../u.png” nie przeniesiono: nazwa wskazuje poza folder zestawu.");
}

void TstWymiana::refused()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    TempCwd dir;
    QVERIFY(writeAll(name, content));
    wymiana::WynikImportu w = wymiana::wczytajPytania(name, dir.path());
    QCOMPARE(w.ok ? w.raport.last() : w.error, message);
    QVERIFY(w.ok || w.pytania.isEmpty());
    if (w.ok)
        QVERIFY(wymiana::zapiszRysunki(w).ok);
    QCOMPARE(files(dir.path()), QStringList{name});
    QVERIFY(!QFile::exists(QDir(dir.path()).filePath(QStringLiteral("../u.png"))));
}

void TstWymiana::failedExportLeavesTheEarlierFile()
{
    TempCwd dir;
    QVERIFY(writeAll(QStringLiteral("stary.xml"), "stara treść"));
    const QList<rekord> set = records(readAll(data(QStringLiteral("zestaw"))));
    wymiana::WynikEksportu w;
    {
        FileSizeLimit limit(100);
        w = wymiana::eksportuj(set, wymiana::Format::MoodleXml, data(QString()), QStringLiteral("stary.xml"));
    }
    QVERIFY(!w.ok);
    QVERIFY2(w.error.startsWith(QStringLiteral("Nie udało się zapisać pliku „stary.xml”: ")),
             qPrintable(w.error));
    QCOMPARE(readAll(QStringLiteral("stary.xml")), QByteArray("stara treść"));
    QCOMPARE(files(dir.path()), QStringList{QStringLiteral("stary.xml")});
}

QTEST_APPLESS_MAIN(TstWymiana)
#include "tst_wymiana.moc"
