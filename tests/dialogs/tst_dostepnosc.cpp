#include "frmtest.h"
#include "frmwyb.h"
#include "qtdialogs.h"
#include "tempdir.h"

#include <QAccessible>
#include <QLabel>
#include <QTest>

// The value labels of tests/data/dostepnosc.txt (window, label, caption) as assistive technology hears them.
class TstDostepnosc : public QObject
{
    Q_OBJECT
private slots:
    void valueLabels();
};

void TstDostepnosc::valueLabels()
{
    QtDialogs dialogs;
    QWidget windows; // the editor and the generator, found by their names
    new FrmWyb(dialogs, &windows);
    new FrmTest(dialogs, &windows);
    const QString table = QString::fromUtf8(readAll(u(TESTOWNIK_DATA "/dostepnosc.txt")));
    for (const QString& line : table.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList row = line.split(u'\t');
        auto* shown = windows.findChild<QWidget*>(row[0])->findChild<QLabel*>(row[1]);
        QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(shown);
        QVERIFY2(heard && heard->role() == QAccessible::StaticText, qPrintable(line));
        shown->setText(u(">>- 3- 1"));
        QCOMPARE(heard->text(QAccessible::Name), row[2] + u(": >>- 3- 1"));
        shown->clear(); // read at every query: the name follows the text
        QCOMPARE(heard->text(QAccessible::Name), row[2]);
    }
}

QTEST_MAIN(TstDostepnosc)
#include "tst_dostepnosc.moc"
