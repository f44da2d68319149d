#include "fsizelimit.h"
#include "tempdir.h"
#include "wymiana.h"

#include <QTest>

// Questions from and to Moodle XML, GIFT and Aiken, against golden files in tests/data/wymiana.
class TstWymiana : public QObject
{
    Q_OBJECT
private slots:
    void exportAndBack_data();
    void exportAndBack();
    void importGolden_data();
    void importGolden();
    void refused_data();
    void refused();
    void failedExportLeavesTheEarlierFile();
};

using wymiana::Format;

static QString data(const QString& name)
{
    return QStringLiteral(TESTOWNIK_DATA "/wymiana/") + name;
}

static QList<rekord> records(const QString& name)
{
    const QByteArray bytes = readAll(data(name));
    QList<rekord> list;
    for (qsizetype at = 0; at < bytes.size(); at += rekord::size)
        list << rekord::decode(bytes.mid(at, rekord::size));
    return list;
}

static QStringList lines(const QString& name)
{
    return QString::fromUtf8(readAll(data(name))).split(u'\n', Qt::SkipEmptyParts);
}

static QStringList files(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
}

void TstWymiana::exportAndBack_data()
{
    QTest::addColumn<Format>("format");
    QTest::addColumn<QString>("file");
    QTest::newRow("moodle xml") << Format::MoodleXml << QStringLiteral("eksport.xml");
    QTest::newRow("gift") << Format::Gift << QStringLiteral("eksport.gift");
}

// Read back (file.zestaw), the set lacks what neither format carries: the fifth answer, the hidden
// answers of a typed question, a question without a right answer among 1-4, pictures in GIFT.
void TstWymiana::exportAndBack()
{
    QFETCH(Format, format);
    QFETCH(QString, file);
    TempCwd dir;
    const auto out = wymiana::eksportuj(records(u("zestaw")), format, data(QString()), file);
    QCOMPARE(readAll(file), readAll(data(file)));
    QCOMPARE(out.raport, lines(file + u(".raport")));
    wymiana::WynikImportu in = wymiana::wczytajPytania(file, dir.path());
    QVERIFY2(in.ok && wymiana::zapiszRysunki(in).ok, qPrintable(in.error));
    QCOMPARE(in.pytania, records(file + u(".zestaw")));
    QCOMPARE(readAll(u("kwadrat.png")), format == Format::Gift ? "" : readAll(data(u("kwadrat.png"))));
}

void TstWymiana::importGolden_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Format>("format");
    QTest::addColumn<QStringList>("folder"); // the set's folder afterwards
    const QString taken = u("zajety.png");
    QTest::newRow("moodle xml") << u("import.xml") << Format::MoodleXml << QStringList{u("obraz.png"), taken};
    QTest::newRow("gift, utf-8 with bom") << u("import.gift") << Format::Gift << QStringList{taken};
    QTest::newRow("aiken, windows-1250") << u("import.txt") << Format::Aiken << QStringList{taken};
}

void TstWymiana::importGolden()
{
    QFETCH(QString, file);
    QFETCH(Format, format);
    QFETCH(QStringList, folder);
    TempCwd dir;
    // The set's folder already holds a picture that an imported one must not replace.
    QVERIFY(QDir().mkdir(u("zestaw")) && writeAll(u("zestaw/zajety.png"), "inny"));
    wymiana::WynikImportu w = wymiana::wczytajPytania(data(file), dir.file(u("zestaw")));
    QCOMPARE(w.format, format);
    QCOMPARE(files(u("zestaw")).size(), 1); // nothing written before it is asked for
    QVERIFY(wymiana::zapiszRysunki(w).ok);
    QCOMPARE(w.pytania, records(file + u(".zestaw")));
    QCOMPARE(w.raport, lines(file + u(".raport")));
    QCOMPARE(files(u("zestaw")), folder);
    for (const QString& name : folder) // the pictures as they were given, the earlier one untouched
        QCOMPARE(readAll(u("zestaw/") + name), name == u("zajety.png") ? "inny" : readAll(data(name)));
    QCOMPARE(files(dir.path()), QStringList{u("zestaw")});
}

void TstWymiana::refused_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message"); // the error, or the report's last line when taken
    // A file name, a tab and its message a line; the files are in odmowy/ but for two made
    // here: 50 MB of text, and HTML outside CDATA nested too deep for a recursive reader.
    const QHash<QString, QByteArray> made = {
        {u("duzy.txt"), QByteArray(50 * 1000 * 1000, 'a')},
        {u("gleboki.xml"),
         QByteArray("<quiz><question><questiontext><text>") + QByteArray("<br>").repeated(200000)}};
    for (const QString& line : lines(u("odmowy.txt"))) {
        const QString file = line.section(u'\t', 0, 0);
        QTest::newRow(qPrintable(file))
            << file << made.value(file, readAll(data(u("odmowy/") + file))) << line.section(u'\t', 1);
    }
}

void TstWymiana::refused()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    TempCwd dir;
    QVERIFY(writeAll(file, content));
    wymiana::WynikImportu w = wymiana::wczytajPytania(file, dir.path());
    QCOMPARE(w.ok ? w.raport.last() : w.error, message);
    QVERIFY(w.ok ? wymiana::zapiszRysunki(w).ok : w.pytania.isEmpty());
    QCOMPARE(files(dir.path()), QStringList{file});
    QVERIFY(!QFile::exists(QDir(dir.path()).filePath(u("../u.png"))));
}

void TstWymiana::failedExportLeavesTheEarlierFile()
{
    TempCwd dir;
    QVERIFY(writeAll(u("stary.xml"), "stara treść"));
    wymiana::WynikEksportu w;
    {
        FileSizeLimit limit(100);
        w = wymiana::eksportuj(records(u("zestaw")), Format::MoodleXml, data(QString()), u("stary.xml"));
    }
    QVERIFY(!w.ok);
    QVERIFY2(w.error.startsWith(u("Nie udało się zapisać pliku „stary.xml”: ")), qPrintable(w.error));
    QCOMPARE(readAll(u("stary.xml")), QByteArray("stara treść"));
    QCOMPARE(files(dir.path()), QStringList{u("stary.xml")});
}

QTEST_APPLESS_MAIN(TstWymiana)
#include "tst_wymiana.moc"
