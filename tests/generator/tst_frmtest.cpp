#include "frmtest.h"
#include "scripteddialogs.h"
#include "sequence.h"
#include "strona.h"
#include "tempdir.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <csignal>
#include <deque>
#include <sys/resource.h>

// The generator window driven through its real widgets, with scripted dialogs answering.
class TstFrmTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startShowsNameAndCount_data();
    void startShowsNameAndCount();
    void cancelledDialogComesBack();
    void unusableSetClosesTheWindow_data();
    void unusableSetClosesTheWindow();
    void rejectedCount_data();
    void rejectedCount();
    void acceptedCount_data();
    void acceptedCount();
    void everyRecordOnceWhenAllAreAsked();
    void moreThanHundredQuestions();
    void badTimeLimit_data();
    void badTimeLimit();
    void polishMinutes();
    void pageIsAssembledInDrawOrder();
    void pageGoesBesideTheChosenSet();
    void failedWriteKeepsTheEarlierPage();
    void closingClosesTheSet_data();
    void closingClosesTheSet();
    void secondOpeningHoldsOnlyItsOwnQuestions();

private:
    std::unique_ptr<TempCwd> dir;
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<FrmTest> window;

    FrmTest* open(const QString& set, std::deque<double> random = {});
    template <class T>
    T* w(const char* name)
    {
        return window->findChild<T*>(QLatin1String(name));
    }
    QString label(const char* name) { return w<QLabel>(name)->text(); }
    void generate(const QString& count);
    void expectMessage(const QString& text, Dialogs::Icon icon, const QString& title);
};

static QString u(const char* s)
{
    return QString::fromUtf8(s);
}

static rekord question(int n, qint16 typ)
{
    rekord r = rekord::pusty();
    ustawTekst(r.pytanie, QStringLiteral("Pytanie %1").arg(n));
    for (int k = 1; k <= 4; ++k)
        ustawTekst(r.odp(k), QStringLiteral("odp %1.%2").arg(n).arg(k));
    r.poprawna1 = typ == 1 ? -1 : 1;
    r.typ = typ;
    return r;
}

// A set of n questions "Pytanie 1".."Pytanie n", answer types as given, repeated.
static void writeSet(const QString& name, int n, QList<qint16> types = {1})
{
    QByteArray bytes;
    for (int i = 1; i <= n; ++i)
        bytes += question(i, types.at((i - 1) % types.size())).encode();
    QVERIFY(writeAll(name, bytes));
}

static QStringList formsIn(const QByteArray& page)
{
    QStringList questions;
    const QString text = QString::fromLatin1(page);
    QRegularExpression re(QStringLiteral("<FORM NAME=\"form(\\d+)\">(Pytanie \\d+)<BR>"));
    for (auto it = re.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        questions << m.captured(1) + QLatin1Char(':') + m.captured(2);
    }
    return questions;
}

void TstFrmTest::init()
{
    window.reset();
    dir = std::make_unique<TempCwd>();
    dialogs = std::make_unique<ScriptedDialogs>();
}

void TstFrmTest::cleanup()
{
    window.reset();
    dir.reset();
}

FrmTest* TstFrmTest::open(const QString& set, std::deque<double> random)
{
    dialogs->files << set;
    window = std::make_unique<FrmTest>(*dialogs);
    if (!random.empty())
        window->setRandom(sequence(std::move(random)));
    if (!window->load())
        return nullptr;
    window->show();
    return window.get();
}

void TstFrmTest::generate(const QString& count)
{
    w<QLineEdit>("txtiloscpytan")->setText(count);
    QTest::mouseClick(w<QPushButton>("cmdgeneruj"), Qt::LeftButton);
}

void TstFrmTest::expectMessage(const QString& text, Dialogs::Icon icon, const QString& title)
{
    QCOMPARE(dialogs->messages.size(), 1);
    QCOMPARE(dialogs->messages[0].text, text);
    QCOMPARE(dialogs->messages[0].buttons, Dialogs::Buttons::Ok);
    QCOMPARE(dialogs->messages[0].icon, icon);
    QCOMPARE(dialogs->messages[0].title, title);
}

void TstFrmTest::startShowsNameAndCount_data()
{
    QTest::addColumn<int>("length"); // -1: a name typed into the dialog that does not exist yet
    QTest::addColumn<QString>("count");
    QTest::newRow("empty file counts 1") << 0 << u("1");
    QTest::newRow("new name counts 1") << -1 << u("1");
    QTest::newRow("five records") << 5 * 1314 << u("5");
    QTest::newRow("3*1314+700 counts 4") << 3 * 1314 + 700 << u("4");
    QTest::newRow("3*1314+600 counts 3") << 3 * 1314 + 600 << u("3");
}

void TstFrmTest::startShowsNameAndCount()
{
    QFETCH(int, length);
    QFETCH(QString, count);
    QVERIFY(QDir().mkdir(u("zestawy")));
    const QString set = dir->file(u("zestawy/biologia"));
    if (length >= 0)
        QVERIFY(writeAll(set, QByteArray(length, '\0')));
    QVERIFY(open(set));
    QCOMPARE(window->windowTitle(), u("Generowanie Testu"));
    QCOMPARE(label("lblnazwazestawu"), u("biologia"));
    QCOMPARE(label("lbliloscpytan"), count);
    QCOMPARE(label("lblspr"), u(">>"));
    QVERIFY(w<QPushButton>("cmdgeneruj")->isVisible());
    QCOMPARE(dialogs->fileDialogs.size(), 1);
    QCOMPARE(dialogs->fileDialogs[0].title, u("Wskaż nazwę zestawu"));
    QCOMPARE(QDir(dialogs->fileDialogs[0].initialDir), QDir(dir->path()));
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(QFileInfo(set).size(), qint64(qMax(length, 0))); // never written
}

void TstFrmTest::cancelledDialogComesBack()
{
    writeSet(u("zestaw"), 3);
    dialogs->files << QString() << QString();
    QVERIFY(open(u("zestaw")));
    QCOMPARE(dialogs->fileDialogs.size(), 3);
    for (const OpenFileDialog& shown : dialogs->fileDialogs)
        QCOMPARE(QDir(shown.initialDir), QDir(dir->path()));
    QCOMPARE(label("lbliloscpytan"), u("3"));
}

void TstFrmTest::unusableSetClosesTheWindow_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("a folder") << u("folder");
    QTest::newRow("32768 records") << u("too long");
}

void TstFrmTest::unusableSetClosesTheWindow()
{
    QFETCH(QString, kind);
    const QString name = u("zestaw");
    if (kind == u("folder")) {
        QVERIFY(QDir().mkdir(name));
    } else {
        QFile big(name); // sparse: only its length matters
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(qint64(32768) * 1314));
    }
    dialogs->files << name;
    window = std::make_unique<FrmTest>(*dialogs);
    window->show();
    QVERIFY(!window->load());
    expectMessage(u("Wybrałeś niewłaściwy plik źródłowy"), Dialogs::Icon::Stop, u("Błąd danych"));
    QVERIFY(window->isHidden());
}

void TstFrmTest::rejectedCount_data()
{
    QTest::addColumn<QString>("count");
    QTest::newRow("words") << u("abc");
    QTest::newRow("empty") << QString();
    QTest::newRow("0.9") << u("0.9");
    QTest::newRow("above the record count") << u("6");
    QTest::newRow("5.1 above the record count") << u("5.1");
    QTest::newRow("negative") << u("-2");
}

void TstFrmTest::rejectedCount()
{
    QFETCH(QString, count);
    writeSet(u("zestaw"), 5);
    QVERIFY(open(u("zestaw")));
    generate(count);
    expectMessage(u("Zła ilośc pytań "), Dialogs::Icon::Exclamation, u("TESTER"));
    QVERIFY(dialogs->prompts.isEmpty());
    QVERIFY(!QFile::exists(u("test.html")));
    QCOMPARE(label("lblspr"), u(">>"));
    QVERIFY(w<QPushButton>("cmdgeneruj")->isHidden());
}

void TstFrmTest::acceptedCount_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("drawn");
    QTest::addColumn<QStringList>("forms");
    // Random numbers 0.5, 0.1, 0.5, 0.9, 0.3, 0.7 draw records 3, 1, (3 again), 5, 2, 4 of 5.
    QTest::newRow("1.4 gives 1") << u("1.4") << u(">>- 3") << QStringList{u("1:Pytanie 3")};
    QTest::newRow("2.5 gives 2") << u("2.5") << u(">>- 3- 1")
                                 << QStringList{u("1:Pytanie 3"), u("2:Pytanie 1")};
    QTest::newRow("3.5 gives 4") << u("3.5") << u(">>- 3- 1- 5- 2")
                                 << QStringList{u("1:Pytanie 3"), u("2:Pytanie 1"), u("3:Pytanie 5"),
                                                u("4:Pytanie 2")};
    QTest::newRow("the record count") << u("5") << u(">>- 3- 1- 5- 2- 4")
                                      << QStringList{u("1:Pytanie 3"), u("2:Pytanie 1"), u("3:Pytanie 5"),
                                                     u("4:Pytanie 2"), u("5:Pytanie 4")};
}

void TstFrmTest::acceptedCount()
{
    QFETCH(QString, count);
    QFETCH(QString, drawn);
    QFETCH(QStringList, forms);
    writeSet(u("zestaw"), 5);
    QVERIFY(open(u("zestaw"), {0.5, 0.1, 0.5, 0.9, 0.3, 0.7}));
    dialogs->inputs << u("10") << u("tajne");
    generate(count);
    QVERIFY(dialogs->messages.isEmpty());
    QCOMPARE(label("lblspr"), drawn);
    QCOMPARE(dialogs->prompts.size(), 2);
    QCOMPARE(dialogs->prompts[0].prompt, u("Podaj czas trwania testu w pełnych minutach"));
    QCOMPARE(dialogs->prompts[0].title, u("Czas"));
    QCOMPARE(dialogs->prompts[1].prompt, u("Podaj kod uruchommieniowy testu"));
    QCOMPARE(dialogs->prompts[1].title, u("Hasło"));
    const QByteArray page = readAll(u("test.html"));
    QCOMPARE(formsIn(page), forms);
    QVERIFY(page.contains("CONTENT=\" 600; URL=koniec.html\""));
    QVERIFY(page.contains("var dobrze=\"tajne\";"));
    QVERIFY(page.endsWith("</HTML>\r\n"));
    QVERIFY(w<QPushButton>("cmdgeneruj")->isHidden());
}

void TstFrmTest::everyRecordOnceWhenAllAreAsked()
{
    writeSet(u("zestaw"), 40, {0, 1, 2});
    QVERIFY(open(u("zestaw"))); // the window's own time-seeded numbers
    dialogs->inputs << u("5") << QString();
    generate(u("40"));
    QVERIFY(dialogs->messages.isEmpty());
    const QStringList forms = formsIn(readAll(u("test.html")));
    QCOMPARE(forms.size(), 40);
    QSet<QString> questions;
    for (int i = 0; i < forms.size(); ++i) {
        QVERIFY(forms[i].startsWith(QString::number(i + 1) + QLatin1Char(':')));
        questions << forms[i].section(QLatin1Char(':'), 1);
    }
    QCOMPARE(questions.size(), 40);
    QCOMPARE(label("lblspr").count(QLatin1Char('-')), 40);
}

void TstFrmTest::moreThanHundredQuestions()
{
    writeSet(u("zestaw"), 150);
    QVERIFY(open(u("zestaw")));
    generate(u("101"));
    expectMessage(u("Niewłaściwe dane"), Dialogs::Icon::Stop, u("Błąd danych"));
    const QStringList numbers = label("lblspr").mid(2).split(QLatin1Char('-'), Qt::SkipEmptyParts);
    QCOMPARE(numbers.size(), 100);
    QCOMPARE(QSet<QString>(numbers.begin(), numbers.end()).size(), 100);
    QVERIFY(dialogs->prompts.isEmpty());
    QVERIFY(!QFile::exists(u("test.html")));
    QVERIFY(w<QPushButton>("cmdgeneruj")->isHidden());
}

void TstFrmTest::badTimeLimit_data()
{
    QTest::addColumn<QString>("minutes");
    QTest::newRow("empty or cancelled") << QString();
    QTest::newRow("words") << u("kwadrans");
    QTest::newRow("too large") << u("1e308");
}

void TstFrmTest::badTimeLimit()
{
    QFETCH(QString, minutes);
    writeSet(u("zestaw"), 5);
    QVERIFY(writeAll(u("test.html"), "earlier page"));
    QVERIFY(open(u("zestaw")));
    dialogs->inputs << minutes;
    generate(u("2"));
    expectMessage(u("Niewłaściwe dane"), Dialogs::Icon::Stop, u("Błąd danych"));
    QCOMPARE(dialogs->prompts.size(), 1); // the release code is not asked
    QCOMPARE(readAll(u("test.html")), QByteArray("earlier page"));
    QVERIFY(w<QPushButton>("cmdgeneruj")->isHidden());
}

void TstFrmTest::polishMinutes()
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    writeSet(u("zestaw"), 2);
    QVERIFY(open(u("zestaw")));
    dialogs->inputs << u("1,5") << u("0");
    generate(u("1"));
    QLocale::setDefault(previous);
    QVERIFY(dialogs->messages.isEmpty());
    QVERIFY(
        readAll(u("test.html")).contains("<META HTTP-EQUIV=\"Refresh\"CONTENT=\" 90; URL=koniec.html\">"));
}

void TstFrmTest::pageIsAssembledInDrawOrder()
{
    // Records of every type, and one whose type the editor never writes.
    QList<rekord> records{question(1, 0), question(2, 1), question(3, 2), question(4, 9)};
    QByteArray set;
    for (const rekord& r : records)
        set += r.encode();
    QVERIFY(writeAll(u("zestaw"), set));
    QVERIFY(open(u("zestaw"), {0.9, 0.6, 0.1, 0.3}));
    dialogs->inputs << u("-5") << u("kod \"ten\"");
    generate(u("4"));
    QVERIFY(dialogs->messages.isEmpty());

    QString scripts, blocks;
    const int order[] = {4, 3, 1, 2};
    for (int i = 0; i < 4; ++i) {
        rekord r = records[order[i] - 1];
        if (r.typ == 9)
            r.typ = 0;
        const strona::Blok b = strona::blok(r, i + 1);
        scripts += b.skryptpytania;
        blocks += b.blokpytania;
    }
    const QString page =
        strona::glowa(u("-300"), u("kod \"ten\"")) + scripts + strona::ogon() + blocks + strona::stopka();
    QCOMPARE(readAll(u("test.html")), strona::bajty(page));
}

void TstFrmTest::pageGoesBesideTheChosenSet()
{
    QVERIFY(QDir().mkpath(u("klasa/zestawy")));
    writeSet(u("klasa/zestawy/fizyka"), 3);
    QVERIFY(open(dir->file(u("klasa/zestawy/fizyka"))));
    dialogs->inputs << u("1") << u("x");
    generate(u("2"));
    QVERIFY(QFile::exists(dir->file(u("klasa/zestawy/test.html"))));
    QVERIFY(!QFile::exists(dir->file(u("test.html"))));
}

void TstFrmTest::failedWriteKeepsTheEarlierPage()
{
    writeSet(u("zestaw"), 5);
    const QByteArray earlier(3000, 'e');
    QVERIFY(writeAll(u("test.html"), earlier));
    QVERIFY(open(u("zestaw")));
    dialogs->inputs << u("10") << u("kod");

    // A file-size limit far below the page's size, as a full disk would do.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1000;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    generate(u("5"));
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &saved), 0);

    expectMessage(u("Niewłaściwe dane"), Dialogs::Icon::Stop, u("Błąd danych"));
    QCOMPARE(readAll(u("test.html")), earlier);
    QCOMPARE(QDir().entryList(QDir::Files), (QStringList{u("test.html"), u("zestaw")}));
}

static int openHandlesOn(const QString& path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    int handles = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        handles += QFileInfo(fds.filePath(fd)).symLinkTarget() == target;
    return handles;
}

void TstFrmTest::closingClosesTheSet_data()
{
    QTest::addColumn<bool>("viaKoniec");
    QTest::newRow("cmdkoniec") << true;
    QTest::newRow("title bar") << false;
}

void TstFrmTest::closingClosesTheSet()
{
    QFETCH(bool, viaKoniec);
    writeSet(u("zestaw"), 3);
    QVERIFY(open(u("zestaw")));
    QCOMPARE(openHandlesOn(u("zestaw")), 1);
    if (viaKoniec)
        QTest::mouseClick(w<QPushButton>("cmdkoniec"), Qt::LeftButton);
    else
        window->close();
    QVERIFY(window->isHidden());
    QCOMPARE(openHandlesOn(u("zestaw")), 0);
}

void TstFrmTest::secondOpeningHoldsOnlyItsOwnQuestions()
{
    writeSet(u("zestaw"), 5);
    QVERIFY(open(u("zestaw"), {0.1, 0.3, 0.5}));
    dialogs->inputs << u("10") << u("a");
    generate(u("3"));
    QTest::mouseClick(w<QPushButton>("cmdkoniec"), Qt::LeftButton);

    QVERIFY(open(u("zestaw"), {0.9}));
    QCOMPARE(label("lblspr"), u(">>"));
    QVERIFY(w<QPushButton>("cmdgeneruj")->isVisible());
    dialogs->inputs << u("10") << u("b");
    generate(u("1"));
    QCOMPARE(formsIn(readAll(u("test.html"))), QStringList{u("1:Pytanie 5")});
    QCOMPARE(label("lblspr"), u(">>- 5"));
}

QTEST_MAIN(TstFrmTest)
#include "tst_frmtest.moc"
