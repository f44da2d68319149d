#include "frmtest.h"
#include "fsizelimit.h"
#include "okna.h"
#include "sequence.h"

#include <QAccessible>

// The generator window driven through its real widgets, with scripted dialogs answering.
class TstFrmTest : public QObject, WindowFixture<FrmTest>
{
    Q_OBJECT
private slots:
    void init() { reset(); }
    void start_data();
    void start();
    void acceptedCount_data();
    void acceptedCount();
    void failures_data();
    void failures();
    void pageBesideTheSetInDrawOrder();
    void sealedPage();

private:
    void writeSet(int count)
    {
        QList<rekord> set;
        for (int i = 1; i <= count; ++i)
            set << question(u"Pytanie %1"_s.arg(i), qint16(i % 3), {-1, 1});
        QVERIFY(writeAll(u"zestaw"_s, setOf(set)));
    }
    bool open(std::deque<double> random = {0.5, 0.1, 0.9, 0.3, 0.7})
    {
        dialogs->files << dir->file(u"zestaw"_s);
        window = std::make_unique<FrmTest>(*dialogs);
        window->setRandom(sequence(std::move(random)));
        if (!window->load())
            return false;
        window->show();
        return true;
    }
    void generate(const QString& count)
    {
        w<QLineEdit>("txtiloscpytan")->setText(count);
        click("cmdgeneruj");
    }
};

void TstFrmTest::start_data()
{
    QTest::addColumn<int>("length"); // -1: a name that does not exist yet
    QTest::addColumn<QString>("count");
    QTest::newRow("empty file counts 1") << 0 << u"1"_s;
    QTest::newRow("new name counts 1") << -1 << u"1"_s;
    QTest::newRow("3*1314+700 counts 4") << 3 * 1314 + 700 << u"4"_s;
    QTest::newRow("3*1314+600 counts 3") << 3 * 1314 + 600 << u"3"_s;
    QTest::newRow("32768 records") << 32768 * 1314 << u""_s;
}

void TstFrmTest::start()
{
    QFETCH(int, length);
    QFETCH(QString, count);
    if (length >= 0)
        QVERIFY(writeAll(u"zestaw"_s, QByteArray(length, '\0')));
    dialogs->files << QString() << QString(); // cancelled twice: the dialog comes back
    QCOMPARE(open(), !count.isEmpty());
    QCOMPARE(dialogs->fileDialogs.size(), 3);
    if (count.isEmpty())
        QCOMPARE(message(), u"Błąd danych|Wybrałeś niewłaściwy plik źródłowy"_s);
    else
        QCOMPARE(label("lblnazwazestawu") + QLatin1Char(' ') + label("lbliloscpytan"), u"zestaw "_s + count);
}

void TstFrmTest::acceptedCount_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("drawn");
    QTest::newRow("2.5 gives 2") << u"2.5"_s << u">>- 3- 1"_s;
    QTest::newRow("3.5 gives 4, repeats drawn again") << u"3.5"_s << u">>- 3- 1- 5- 2"_s;
    QTest::newRow("every record once") << u"5"_s << u">>- 3- 1- 5- 2- 4"_s;
}

void TstFrmTest::acceptedCount()
{
    QFETCH(QString, count);
    QFETCH(QString, drawn);
    QStringList heard;
    writeSet(5);
    QVERIFY(open({0.5, 0.1, 0.9, 0.5, 0.3, 0.1, 0.7}));
    dialogs->inputs << u"10"_s << u"kod"_s;
    generate(count);
    QCOMPARE(label("lblspr"), drawn);
    // What a screen reader hears of the value labels: their caption and their value.
    for (const char* name : {"lblnazwazestawu", "lbliloscpytan", "lblspr"})
        heard << QAccessible::queryAccessibleInterface(w(name))->text(QAccessible::Name);
    QCOMPARE(heard, (QStringList{u"Nazwa zestawu: zestaw"_s, u"Ilość pytań w zestawie: 5"_s,
                                 u"Wylosowane pytania: "_s + drawn}));
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(readAll(u"test.html"_s).count("<FORM NAME="), drawn.count(QLatin1Char('-')));
}

void TstFrmTest::failures_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<int>("sizeLimit");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("drawn");
    // Counts that are no number of questions of the 150, or more than it holds.
    for (const QString& c : {u""_s, u"abc"_s, u"0.9"_s, u"151"_s, u"150.1"_s, u"-2"_s, u"32768"_s,
                             u"4294967297"_s, QString(10000, QLatin1Char('7'))})
        QTest::newRow(qPrintable(c.left(12))) << c << QStringList{} << 0 << u"TESTER|Zła ilośc pytań "_s << 0;
    const QString wrong = u"Błąd danych|Niewłaściwe dane"_s;
    QTest::newRow("more than 100 asks nothing") << u"101"_s << QStringList{} << 0 << wrong << 100;
    QTest::newRow("time limit empty") << u"2"_s << QStringList{u""_s} << 0 << wrong << 2;
    QTest::newRow("time limit words") << u"2"_s << QStringList{u"kwadrans"_s} << 0 << wrong << 2;
    QTest::newRow("page cannot be written") << u"2"_s << QStringList{u"10"_s, u"kod"_s} << 1000 << wrong << 2;
}

// Whatever goes wrong, the old page stays and there is one page per opening.
void TstFrmTest::failures()
{
    QFETCH(QString, count);
    QFETCH(QStringList, inputs);
    QFETCH(int, sizeLimit);
    QFETCH(QString, shown);
    QFETCH(int, drawn);
    writeSet(150);
    QVERIFY(writeAll(u"test.html"_s, QByteArray(3000, 'e')));
    std::deque<double> random;
    for (int i = 0; i < 101; ++i)
        random.push_back((i + 0.5) / 150);
    QVERIFY(open(random));
    dialogs->inputs = inputs;
    {
        const FileSizeLimit limit(sizeLimit ? rlim_t(sizeLimit) : RLIM_INFINITY);
        generate(count);
    }
    QCOMPARE(message(), shown);
    QVERIFY(w("cmdgeneruj")->isHidden());
    QCOMPARE(dialogs->prompts.size(), inputs.size());
    QCOMPARE(readAll(u"test.html"_s), QByteArray(3000, 'e'));
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden).size(), 2);
    QCOMPARE(label("lblspr").count(QLatin1Char('-')), drawn);
}

void TstFrmTest::pageBesideTheSetInDrawOrder()
{
    writeSet(5);
    QVERIFY(QDir().mkdir(u"inny"_s) && QDir::setCurrent(u"inny"_s)); // the dialog moves to the set's folder
    QVERIFY(open());
    dialogs->inputs << u"1,5"_s << u"Łódź"_s;
    QLocale::setDefault(QLocale(QLocale::Polish));
    generate(u"3"_s);
    QLocale::setDefault(QLocale::c());
    QVERIFY(
        matchesGolden(readAll(dir->file(u"test.html"_s)), u"strona/okno_3_1_5.html"_s)); // records 3, 1, 5
    QCOMPARE(dialogs->prompts, (QStringList{u"Czas|Podaj czas trwania testu w pełnych minutach"_s,
                                            u"Hasło|Podaj kod uruchommieniowy testu"_s}));
    // One of the five cannot be scored: typ 0 with a mark -1.
    QVERIFY(
        label("lbluwaga").startsWith(u"Uwaga: w zestawie są pytania, których nie da się zaliczyć (1)."_s));
    QVERIFY(!w("lbluwaga")->isHidden());
    dialogs->saves << dir->file(u"test"_s) << dir->file(u"klucz.pdf"_s);
    click("cmdtestdruk");
    click("cmdklucz");
    QVERIFY(readAll(dir->file(u"test.pdf"_s)).startsWith("%PDF"));
    QVERIFY(readAll(dir->file(u"klucz.pdf"_s)).startsWith("%PDF"));
    click("cmdkoniec");
    QVERIFY(!window->isVisible());
}

void TstFrmTest::sealedPage()
{
    writeSet(5);
    QVERIFY(open());
    QVERIFY(!w("chklosowo")->isEnabled());
    for (const char* box : {"chkukryj", "chklosowo"}) // on the box itself, at the left of the wide row
        QTest::mouseClick(w(box), Qt::LeftButton, {}, QPoint(8, w(box)->height() / 2));
    dialogs->inputs << u"10"_s << u"krótk"_s << u"10"_s << u"tajne6"_s;
    generate(u"2"_s); // a code of five characters is refused, and the button stays
    QVERIFY(message().startsWith(u"Generowanie Testu|Kod uruchomieniowy musi mieć co najmniej 6 znaków"_s));
    QVERIFY(!w("cmdgeneruj")->isHidden() && !QFile::exists(u"test.html"_s));
    QCOMPARE(label("lblspr"), u">>"_s);
    click("cmdgeneruj");
    const QByteArray page = readAll(u"test.html"_s);
    QVERIFY(page.contains("<FORM NAME=\"form2\">") && !page.contains("tajne6") && !page.contains("dobrze"));
    QVERIFY(w("cmdgeneruj")->isHidden() && !w("chkukryj")->isEnabled() && dialogs->messages.isEmpty());
}

QTEST_MAIN(TstFrmTest)
#include "tst_frmtest.moc"
