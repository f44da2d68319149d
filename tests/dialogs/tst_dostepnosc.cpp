#include "frmtest.h"
#include "frmwyb.h"
#include "qtdialogs.h"

#include <QAccessible>
#include <QLabel>
#include <QTest>

// What assistive technology hears of the labels that show a value in the editor and the
// generator: the label's caption with the value it shows now.
class TstDostepnosc : public QObject
{
    Q_OBJECT
private slots:
    void valueLabels_data();
    void valueLabels();
};

static QString u(const char* s)
{
    return QString::fromUtf8(s);
}

void TstDostepnosc::valueLabels_data()
{
    QTest::addColumn<bool>("editor");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("caption");
    QTest::newRow("editor: set name") << true << u("lblnazwazestawu") << u("Nazwa zestawu");
    QTest::newRow("editor: count") << true << u("lbliloscpytan") << u("Ilość pytań");
    QTest::newRow("editor: number") << true << u("lblnrpytania") << u("Numer pytania");
    QTest::newRow("generator: set name") << false << u("lblnazwazestawu") << u("Nazwa zestawu");
    QTest::newRow("generator: count") << false << u("lbliloscpytan") << u("Ilość pytań w zestawie");
    QTest::newRow("generator: drawn") << false << u("lblspr") << u("Wylosowane pytania");
}

void TstDostepnosc::valueLabels()
{
    QFETCH(bool, editor);
    QFETCH(QString, label);
    QFETCH(QString, caption);
    QtDialogs dialogs;
    std::unique_ptr<QWidget> window;
    if (editor)
        window = std::make_unique<FrmWyb>(dialogs);
    else
        window = std::make_unique<FrmTest>(dialogs);
    auto* shown = window->findChild<QLabel*>(label);
    QVERIFY(shown);
    QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(shown);
    QCOMPARE(heard->role(), QAccessible::StaticText);

    for (const QString& value : {u("12"), u(">>- 3- 1")}) {
        shown->setText(value);
        QCOMPARE(shown->text(), value); // the window shows the bare value
        QCOMPARE(heard->text(QAccessible::Name), caption + u(": ") + value);
    }
    shown->clear();
    QCOMPARE(heard->text(QAccessible::Name), caption);
}

QTEST_MAIN(TstDostepnosc)
#include "tst_dostepnosc.moc"
