#include "frmtest.h"
#include "fsizelimit.h"
#include "okna.h"
#include "sequence.h"
#include "strona.h"

// The generator window driven through its real widgets, with scripted dialogs answering.
class TstFrmTest : public QObject, WindowFixture<FrmTest>
{
    Q_OBJECT
private slots:
    void init() { reset(); }
    void start_data();
    void start();
    void rejectedCount_data();
    void rejectedCount();
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
            set << question(QStringLiteral("Pytanie %1").arg(i), qint16(i % 3), {-1, 1});
        QVERIFY(writeAll(QStringLiteral("zestaw"), setOf(set)));
    }
    bool open(std::deque<double> random = {0.5, 0.1, 0.9, 0.3, 0.7})
    {
        dialogs->files << dir->file(QStringLiteral("zestaw"));
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
    QTest::newRow("empty file counts 1") << 0 << u("1");
    QTest::newRow("new name counts 1") << -1 << u("1");
    QTest::newRow("3*1314+700 counts 4") << 3 * 1314 + 700 << u("4");
    QTest::newRow("3*1314+600 counts 3") << 3 * 1314 + 600 << u("3");
    QTest::newRow("32768 records") << 32768 * 1314 << u("");
}

void TstFrmTest::start()
{
    QFETCH(int, length);
    QFETCH(QString, count);
    if (length >= 0)
        QVERIFY(writeAll(QStringLiteral("zestaw"), QByteArray(length, '\0')));
    dialogs->files << QString() << QString(); // cancelled twice: the dialog comes back
    QCOMPARE(open(), !count.isEmpty());
    QCOMPARE(dialogs->fileDialogs.size(), 3);
    QCOMPARE(dialogs->fileDialogs[0].title, QStringLiteral("Wskaż nazwę zestawu"));
    if (count.isEmpty())
        QCOMPARE(message(), QStringLiteral("Błąd danych|Wybrałeś niewłaściwy plik źródłowy"));
    else
        QCOMPARE(label("lblnazwazestawu") + QLatin1Char(' ') + label("lbliloscpytan"),
                 QStringLiteral("zestaw ") + count);
}

void TstFrmTest::rejectedCount_data()
{
    QTest::addColumn<QString>("count");
    for (const char* c : {"", "abc", "0.9", "6", "5.1", "-2", "32768", "4294967297"})
        QTest::newRow(c) << u(c);
    QTest::newRow("10000 digits") << QString(10000, QLatin1Char('7'));
}

void TstFrmTest::rejectedCount()
{
    QFETCH(QString, count);
    writeSet(5);
    QVERIFY(open());
    generate(count);
    QCOMPARE(message(), QStringLiteral("TESTER|Zła ilośc pytań "));
    QVERIFY(w("cmdgeneruj")->isHidden()); // one page per opening, whatever happened
    QCOMPARE(dialogs->messages.size() + dialogs->prompts.size(), 0);
    QCOMPARE(label("lblspr"), QStringLiteral(">>"));
    QVERIFY(!QFile::exists(QStringLiteral("test.html")));
}

void TstFrmTest::acceptedCount_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("drawn");
    QTest::newRow("1.4 gives 1") << u("1.4") << u(">>- 3");
    QTest::newRow("2.5 gives 2") << u("2.5") << u(">>- 3- 1");
    QTest::newRow("3.5 gives 4, repeats drawn again") << u("3.5") << u(">>- 3- 1- 5- 2");
    QTest::newRow("every record once") << u("5") << u(">>- 3- 1- 5- 2- 4");
}

void TstFrmTest::acceptedCount()
{
    QFETCH(QString, count);
    QFETCH(QString, drawn);
    writeSet(5);
    QVERIFY(open({0.5, 0.1, 0.9, 0.5, 0.3, 0.1, 0.7}));
    dialogs->inputs << QStringLiteral("10") << QStringLiteral("kod");
    generate(count);
    QCOMPARE(label("lblspr"), drawn);
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(readAll(QStringLiteral("test.html")).count("<FORM NAME="), drawn.count(QLatin1Char('-')));
}

void TstFrmTest::failures_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<int>("sizeLimit");
    QTest::newRow("more than 100 asks nothing") << u("101") << QStringList{} << 0;
    QTest::newRow("time limit empty") << u("2") << QStringList{u("")} << 0;
    QTest::newRow("time limit words") << u("2") << QStringList{u("kwadrans")} << 0;
    QTest::newRow("time limit too large") << u("2") << QStringList{u("1e308")} << 0;
    QTest::newRow("time limit of 10000 digits")
        << u("2") << QStringList{QString(10000, QLatin1Char('9'))} << 0;
    QTest::newRow("page cannot be written") << u("2") << QStringList{u("10"), u("kod")} << 1000;
}

void TstFrmTest::failures()
{
    QFETCH(QString, count);
    QFETCH(QStringList, inputs);
    QFETCH(int, sizeLimit);
    writeSet(150);
    QVERIFY(writeAll(QStringLiteral("test.html"), QByteArray(3000, 'e')));
    std::deque<double> random;
    for (int i = 0; i < 101; ++i)
        random.push_back((i + 0.5) / 150);
    QVERIFY(open(random));
    dialogs->inputs = inputs;
    {
        const FileSizeLimit limit(sizeLimit ? rlim_t(sizeLimit) : RLIM_INFINITY);
        generate(count);
    }
    QCOMPARE(message(), QStringLiteral("Błąd danych|Niewłaściwe dane"));
    QVERIFY(w("cmdgeneruj")->isHidden());
    QVERIFY(dialogs->inputs.isEmpty());
    QCOMPARE(dialogs->prompts.size(), inputs.size());
    QCOMPARE(readAll(QStringLiteral("test.html")), QByteArray(3000, 'e'));
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden).size(), 2);
    if (count == QStringLiteral("101"))
        QCOMPARE(label("lblspr").count(QLatin1Char('-')), 100);
}

void TstFrmTest::pageBesideTheSetInDrawOrder()
{
    writeSet(5);
    QVERIFY(QDir().mkdir(QStringLiteral("inny")));
    QVERIFY(QDir::setCurrent(QStringLiteral("inny"))); // the dialog moves to the set's folder
    QVERIFY(open());
    dialogs->inputs << QStringLiteral("1,5") << QStringLiteral("Łódź");
    QLocale::setDefault(QLocale(QLocale::Polish));
    generate(QStringLiteral("3"));
    QLocale::setDefault(QLocale::c());
    QList<rekord> drawn;
    for (const int n : {3, 1, 5})
        drawn << rekord::decode(readAll(QStringLiteral("zestaw")).mid((n - 1) * 1314, 1314));
    QCOMPARE(readAll(dir->file(QStringLiteral("test.html"))),
             strona::bajty(strona::strona(drawn, QStringLiteral(" 90"), QStringLiteral("Łódź"))));
    QCOMPARE(dialogs->prompts, (QStringList{u("Czas|Podaj czas trwania testu w pełnych minutach"),
                                            u("Hasło|Podaj kod uruchommieniowy testu")}));
    // One of the five cannot be scored: typ 0 with a mark -1.
    QCOMPARE(label("lbluwaga"),
             u("Uwaga: w zestawie są pytania, których nie da się zaliczyć (1). Sprawdź je w "
               "edytorze: „sprawdź zestaw”."));
    QVERIFY(!w("lbluwaga")->isHidden());
    dialogs->saves << dir->file(QStringLiteral("test")) << dir->file(QStringLiteral("klucz.pdf"));
    click("cmdtestdruk");
    click("cmdklucz");
    QVERIFY(readAll(dir->file(QStringLiteral("test.pdf"))).startsWith("%PDF"));
    QVERIFY(readAll(dir->file(QStringLiteral("klucz.pdf"))).startsWith("%PDF"));
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
    dialogs->inputs << u("10") << u("krótk") << u("10") << u("tajne6");
    generate(u("2")); // a code of five characters is refused, and the button stays
    QVERIFY(message().startsWith(u("Generowanie Testu|Kod uruchomieniowy musi mieć co najmniej 6 znaków")));
    QVERIFY(!w("cmdgeneruj")->isHidden() && !QFile::exists(u("test.html")));
    QCOMPARE(label("lblspr"), u(">>"));
    click("cmdgeneruj");
    const QByteArray page = readAll(u("test.html"));
    QVERIFY(page.contains("<FORM NAME=\"form2\">") && !page.contains("tajne6") && !page.contains("dobrze"));
    QVERIFY(w("cmdgeneruj")->isHidden() && !w("chkukryj")->isEnabled() && dialogs->messages.isEmpty());
}

QTEST_MAIN(TstFrmTest)
#include "tst_frmtest.moc"
