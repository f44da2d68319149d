// Writing an open set out under another name must leave every other file of its folder alone,
// the set itself included when it is called usun.tmp.

#include "przebudowa.h"
#include "setfile.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray records(int n, char fill)
{
    return QByteArray(qsizetype(n) * rekord::size, fill);
}

} // namespace

class TstKopiaObok : public QObject
{
    Q_OBJECT

private slots:
    // Found by fuzz_zestaw with the one-byte input in crashes/fuzz_zestaw/.
    void zestawNazwanyUsunTmp()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("usun.tmp"));
        const QByteArray set = records(3, 'a');
        QVERIFY(writeFile(path, set));

        SetFile open;
        QVERIFY(open.open(path));
        const QString target = dir.filePath(QStringLiteral("usun.tmp.kopia"));
        const zestaw::WynikUsuwania copy = zestaw::zapiszKopie(open.device(), target);
        QVERIFY2(copy.ok, qPrintable(copy.error));
        QCOMPARE(bytesOf(target), set);
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(bytesOf(path), set);
        QVERIFY(open.isAtItsPath());
    }

    // The editor writes a set replaced underneath it to "<name>.kopia"; a file called usun.tmp
    // beside it is someone's file and stays.
    void obcyPlikUsunTmp()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("biologia"));
        const QString foreign = dir.filePath(QStringLiteral("usun.tmp"));
        QVERIFY(writeFile(path, records(2, 'b')));
        QVERIFY(writeFile(foreign, records(5, 'c')));

        SetFile open;
        QVERIFY(open.open(path));
        const zestaw::WynikUsuwania copy = zestaw::zapiszKopie(open.device(), path + QStringLiteral(".kopia"));
        QVERIFY2(copy.ok, qPrintable(copy.error));
        QCOMPARE(bytesOf(path + QStringLiteral(".kopia")), records(2, 'b'));
        QCOMPARE(bytesOf(foreign), records(5, 'c'));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 3);
    }
};

QTEST_GUILESS_MAIN(TstKopiaObok)
#include "tst_kopiaobok.moc"
