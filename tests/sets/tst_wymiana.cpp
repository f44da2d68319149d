#include "fsizelimit.h"
#include "tempdir.h"
#include "wymiana.h"

#include <QCryptographicHash>
#include <QTest>

// Questions from and to Moodle XML, GIFT and Aiken, against golden files in tests/data/wymiana.
class TstWymiana : public QObject
{
    Q_OBJECT
private slots:
    void exportAndBack_data();
    void exportAndBack();
    void importCases_data();
    void importCases();
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
    QCOMPARE(out.value().raport, lines(file + u(".raport")));
    wymiana::WynikImportu in = wymiana::wczytajPytania(file, dir.path());
    QVERIFY(in.wynik && wymiana::zapiszRysunki(in));
    QCOMPARE(in.pytania, records(file + u(".zestaw")));
    QCOMPARE(readAll(u("kwadrat.png")), format == Format::Gift ? "" : readAll(data(u("kwadrat.png"))));
}

// Each file under import/<group>/ is read into a set's folder that holds zajety.png already; the
// message or the report, the records and the folder afterwards are compared with <file>.wynik.
void TstWymiana::importCases_data()
{
    QTest::addColumn<QString>("file");
    for (const char* file : {"import.xml", "import.gift", "import.txt"}) // also the editor's
        QTest::newRow(file) << u(file);
    const QDir root(data(u("import")));
    for (const QString& group : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QString& name : QDir(root.filePath(group)).entryList(QDir::Files))
            if (!name.endsWith(u(".wynik")))
                QTest::newRow(qPrintable(group + u'/' + name)) << u("import/%1/%2").arg(group, name);
}

void TstWymiana::importCases()
{
    QFETCH(QString, file);
    TempCwd dir;
    QVERIFY(QDir().mkdir(u("zestaw")) && writeAll(u("zestaw/zajety.png"), "inny"));
    wymiana::WynikImportu w = wymiana::wczytajPytania(data(file), dir.file(u("zestaw")));
    QCOMPARE(files(u("zestaw")).size(), 1); // nothing written before it is asked for
    QVERIFY(!w.wynik || wymiana::zapiszRysunki(w));
    const QStringList formats{u("zestaw"), u("Moodle XML"), u("GIFT"), u("Aiken")};
    QStringList out{w.wynik ? u("Format ") + formats.at(int(w.format))
                            : u("Odmowa: ") + w.wynik.error().szczegol};
    out += w.raport;
    const auto md5 = [](const QByteArray& b) {
        return QString::fromLatin1(QCryptographicHash::hash(b, QCryptographicHash::Md5).toHex().left(8));
    };
    const auto field = [](const auto& f) { return tekst(f).replace(u("\r\n"), u("\\n")); };
    for (qsizetype i = 0; i < w.pytania.size(); ++i) {
        const rekord& r = w.pytania.at(i);
        out << u("%1. typ %2 [%3] %4").arg(i + 1).arg(r.typ).arg(md5(r.encode()), field(r.pytanie));
        for (int k = 1; k <= 5; ++k)
            if (r.poprawna(k) != 0 || !field(r.odp(k)).isEmpty())
                out << u("   %1 %2").arg(r.poprawna(k)).arg(field(r.odp(k)));
        if (!field(r.rysunek).isEmpty())
            out << u("   rysunek ") + field(r.rysunek);
    }
    for (const QString& name : files(u("zestaw")))
        out << u("Plik %1 [%2]").arg(name, md5(readAll(u("zestaw/") + name)));
    QCOMPARE(files(dir.path()), QStringList{u("zestaw")});
    if (!matchesGolden(out.join(u'\n').toUtf8() + '\n', u("wymiana/") + file + u(".wynik")))
        QCOMPARE(out, lines(file + u(".wynik")));
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
    QCOMPARE(w.wynik ? w.raport.last() : w.wynik.error().szczegol, message);
    QVERIFY(w.wynik ? bool(wymiana::zapiszRysunki(w)) : w.pytania.isEmpty());
    QCOMPARE(files(dir.path()), QStringList{file});
    QVERIFY(!QFile::exists(QDir(dir.path()).filePath(u("../u.png"))));
}

void TstWymiana::failedExportLeavesTheEarlierFile()
{
    if (!FileSizeLimit::works)
        QSKIP("Windows has no file size limit");
    TempCwd dir;
    QVERIFY(writeAll(u("stary.xml"), "stara treść"));
    const Wynik<wymiana::Eksport> w = [] {
        FileSizeLimit limit(100);
        return wymiana::eksportuj(records(u("zestaw")), Format::MoodleXml, data(QString()), u("stary.xml"));
    }();
    QVERIFY(!w);
    QVERIFY2(w.error().szczegol.startsWith(u("Nie udało się zapisać pliku „stary.xml”: ")),
             qPrintable(w.error().szczegol));
    QCOMPARE(readAll(u("stary.xml")), QByteArray("stara treść"));
    QCOMPARE(files(dir.path()), QStringList{u("stary.xml")});
}

QTEST_APPLESS_MAIN(TstWymiana)
#include "tst_wymiana.moc"
