#include "druk.h"
#include "fsizelimit.h"
#include "proces.h"
#include "rekordtestowy.h"
#include "tempdir.h"

#include <QTest>

static const QString folder = u(TESTOWNIK_DATA "/druk"); // the goldens and rys.png, 400 x 200

// The printouts as a PDF reader gets them, page by page, and a whole file or none.
class TstDruk : public QObject
{
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void documents_data()
    {
        QTest::addColumn<int>("kind");
        for (int kind = 0; const char* name : {"zestaw", "test", "klucz", "klucz-wg-tekstu", "test-48-pytan"})
            QTest::newRow(name) << kind++;
    }

    void documents()
    {
        QFETCH(int, kind);
        QList<rekord> set{pytanie(1, u("Ile to <b>2+2</b>?"), u("3|4|5|sześć"), {0, -1}, u("rys.png")),
                          pytanie(0, u("Zaznacz zdania: zażółć gęślą jaźń\r\nŻÓŁĆ"),
                                  u("pierwsze|drugie|trzecie|x < y & z"), {1, 0, 1}),
                          pytanie(2, u("Stolica Polski?"), u("warszawa"), {1})};
        while (kind == 4 && set.size() < 48)
            set += set.first(2);
        const druk::Opis opis{u("Geografia kl. 2"), u("15"), u("tajne"), QDate(2025, 3, 14), kind == 3};
        const QString name = QString::fromLatin1(QTest::currentDataTag()), pdf = dir_.filePath(name);
        auto write = [&] {
            return kind == 0 ? druk::zestaw(set, opis.nazwaZestawu, folder, pdf)
                             : (kind % 3 == 1 ? druk::test : druk::klucz)(set, opis, folder, pdf);
        };
        QVERIFY(write());
        const QString got = run(u("pdftotext"), {u("-raw"), u("-enc"), u("UTF-8"), pdf, u("-")});
        QCOMPARE(got, QString::fromUtf8(readAll(folder + u'/' + name + u(".txt"))));
        QVERIFY(run(u("pdfimages"), {u("-list"), pdf}).simplified().contains(u(" 1 0 image 400 200 ")));

        const QByteArray before = readAll(pdf); // a write that fails leaves it whole and no other file
        QVERIFY(
            !(FileSizeLimit(4096), write()).error().szczegol.isEmpty()); // the limit holds for this statement
        QCOMPARE(readAll(pdf), before);
        QCOMPARE(QDir(dir_.path()).entryList({name + u'*'}, QDir::Files | QDir::Hidden).size(), 1);
    }
};

QTEST_MAIN(TstDruk)
#include "tst_druk.moc"
