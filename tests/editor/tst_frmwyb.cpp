#include "frmwyb.h"
#include "nowyzestaw.h"
#include "scripteddialogs.h"
#include "tempdir.h"
#include "typing.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// The editor driven through its real widgets, with scripted dialogs answering.
class TstFrmWyb : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void buildThreeTypesFromNothing();
    void navigationAtTheEnds();
    void displayRules_data();
    void displayRules();
    void markOutsideCheckBoxValuesIsNotASet();
    void typedAnswerKeepsHiddenAnswers();
    void newQuestionTwice();
    void shortNonEmptyFileIsNotOverwritten();
    void unopenableSetClosesTheEditor();
    void partialLastRecordIsNotTruncated();
    void closeControlSavesLikeKoniec();
    void cancelledChoicesEndTheProgram();
    void existingNameAfterNowyOpensItUnchanged();
    void missingPictureIsReportedAndDropped();
    void longQuestionIsCut();
    void keyboardReachesEveryControl();

private:
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<FrmWyb> editor;
    std::unique_ptr<TempCwd> dir;

    FrmWyb* open(const QString& name, qint16 flag = 1);
    template <class T>
    T* w(const char* name)
    {
        return editor->findChild<T*>(QLatin1String(name));
    }
    void click(const char* button) { QTest::mouseClick(w<QPushButton>(button), Qt::LeftButton); }
    void type(const char* box, const QString& text);
    QString label(const char* name) { return w<QLabel>(name)->text(); }
    rekord recordOf(const QString& file, int n);
};

void TstFrmWyb::init()
{
    editor.reset();
    dir.reset();
    dir = std::make_unique<TempCwd>();
    dialogs = std::make_unique<ScriptedDialogs>();
}

FrmWyb* TstFrmWyb::open(const QString& name, qint16 flag)
{
    nowyzestaw = flag;
    if (flag == 1)
        dialogs->inputs << name;
    else
        dialogs->files << name;
    editor = std::make_unique<FrmWyb>(*dialogs);
    if (!editor->load())
        return nullptr;
    editor->show();
    return editor.get();
}

void TstFrmWyb::type(const char* box, const QString& text)
{
    QWidget* widget = editor->findChild<QWidget*>(QLatin1String(box));
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
        edit->clear();
    else
        static_cast<QLineEdit*>(widget)->clear();
    typeText(widget, text);
}

rekord TstFrmWyb::recordOf(const QString& file, int n)
{
    return rekord::decode(readAll(file).mid((n - 1) * 1314, 1314));
}

static QByteArray setOf(const QList<rekord>& records)
{
    QByteArray bytes;
    for (const rekord& r : records)
        bytes += r.encode();
    return bytes;
}

static rekord question(const QString& text, qint16 typ, std::array<qint16, 5> marks = {})
{
    rekord r = rekord::pusty();
    ustawTekst(r.pytanie, text);
    for (int k = 0; k < 5; ++k) {
        ustawTekst(r.odp(k + 1), QStringLiteral("odp %1").arg(k + 1));
        r.poprawna(k + 1) = marks[k];
    }
    r.typ = typ;
    return r;
}

void TstFrmWyb::buildThreeTypesFromNothing()
{
    QVERIFY(open(QStringLiteral("biologia")));
    QCOMPARE(label("lblnazwazestawu"), QStringLiteral("biologia"));
    QCOMPARE(label("lbliloscpytan"), QStringLiteral("1"));
    QCOMPARE(label("lblnrpytania"), QStringLiteral("1"));
    QByteArray fresh(1314, '\0');
    fresh.replace(1212, 100, QByteArray(100, ' '));
    QCOMPARE(readAll(QStringLiteral("biologia")), fresh);
    QVERIFY(w<QCheckBox>("wy1_0")->isVisible());

    // 1: multiple choice, answers 1 and 3 ticked.
    type("txtpytanie", QStringLiteral("Które są ssakami?"));
    type("txtodp_0", QStringLiteral("pies"));
    type("txtodp_1", QStringLiteral("żaba"));
    type("txtodp_2", QStringLiteral("wieloryb"));
    click("cmdwybor");
    QTest::mouseClick(w<QCheckBox>("wy1_0"), Qt::LeftButton);
    QTest::mouseClick(w<QCheckBox>("wy1_2"), Qt::LeftButton);
    click("cmdnowepytanie");
    QCOMPARE(label("lbliloscpytan"), QStringLiteral("2"));
    QCOMPARE(label("lblnrpytania"), QStringLiteral("2"));
    QVERIFY(w<QGroupBox>("Frame1")->isHidden());
    QVERIFY(w<QPlainTextEdit>("txtpytanie")->toPlainText().isEmpty());

    // 2: single choice, answer 2.
    type("txtpytanie", QStringLiteral("Ile to 2+2?"));
    click("cmdopcja");
    type("txtodp_0", QStringLiteral("3"));
    type("txtodp_1", QStringLiteral("4"));
    QTest::mouseClick(w<QRadioButton>("Opt_1"), Qt::LeftButton);
    click("cmdnowepytanie");

    // 3: typed answer.
    type("txtpytanie", QStringLiteral("Stolica Polski?"));
    click("cmdtekst");
    QVERIFY(w<QLineEdit>("txtodpowiedz")->hasFocus() || !editor->isActiveWindow());
    type("txtodpowiedz", QStringLiteral("warszawa"));
    click("cmdkoniec");
    QVERIFY(!editor->isVisible());

    const QByteArray bytes = readAll(QStringLiteral("biologia"));
    QCOMPARE(bytes.size(), 3 * 1314);

    rekord e1 = rekord::pusty();
    ustawTekst(e1.pytanie, QStringLiteral("Które są ssakami?"));
    ustawTekst(e1.odp1, QStringLiteral("pies"));
    ustawTekst(e1.odp2, QStringLiteral("żaba"));
    ustawTekst(e1.odp3, QStringLiteral("wieloryb"));
    for (int k = 4; k <= 5; ++k)
        ustawTekst(e1.odp(k), QString());
    e1.poprawna1 = 1, e1.poprawna3 = 1;
    ustawTekst(e1.rysunek, QString());
    // odp6 keeps the buffer's zero bytes.
    QCOMPARE(bytes.mid(0, 1314), e1.encode());
    QCOMPARE(bytes.mid(1050, 150), QByteArray(150, '\0'));

    rekord e2 = rekord::pusty();
    ustawTekst(e2.pytanie, QStringLiteral("Ile to 2+2?"));
    ustawTekst(e2.odp1, QStringLiteral("3"));
    ustawTekst(e2.odp2, QStringLiteral("4"));
    for (int k = 3; k <= 5; ++k)
        ustawTekst(e2.odp(k), QString());
    e2.poprawna2 = -1;
    e2.typ = 1;
    QCOMPARE(bytes.mid(1314, 1314), e2.encode());

    rekord e3 = rekord::pusty();
    ustawTekst(e3.pytanie, QStringLiteral("Stolica Polski?"));
    ustawTekst(e3.odp1, QStringLiteral("warszawa"));
    for (int k = 2; k <= 5; ++k)
        ustawTekst(e3.odp(k), QString());
    e3.poprawna1 = 1;
    e3.typ = 2;
    QCOMPARE(bytes.mid(2628, 1314), e3.encode());
}

void TstFrmWyb::navigationAtTheEnds()
{
    QVERIFY(writeAll(QStringLiteral("s"), setOf({question(QStringLiteral("  pierwsze  "), 0),
                                                 question(QStringLiteral("drugie"), 0)})));
    QVERIFY(open(QStringLiteral("s"), 0));
    QCOMPARE(label("lblnazwazestawu"), QStringLiteral("s"));

    // "<<" on question 1: saved and shown again, still 1, no message.
    type("txtpytanie", QStringLiteral("  raz  "));
    click("cmdwstecz");
    QCOMPARE(editor->nrrekordu(), 1);
    QCOMPARE(w<QPlainTextEdit>("txtpytanie")->toPlainText(), QStringLiteral("raz"));
    QCOMPARE(tekst(recordOf(QStringLiteral("s"), 1).pytanie), QStringLiteral("raz"));

    click("cmddalej");
    QCOMPARE(label("lblnrpytania"), QStringLiteral("2"));
    // ">>" on the last: saved, shown again from the file, the number stays.
    type("txtpytanie", QStringLiteral(" dwa "));
    click("cmddalej");
    QCOMPARE(editor->nrrekordu(), 2);
    QCOMPARE(label("lblnrpytania"), QStringLiteral("2"));
    QCOMPARE(w<QPlainTextEdit>("txtpytanie")->toPlainText(), QStringLiteral("dwa"));
    QCOMPARE(readAll(QStringLiteral("s")).mid(1314, 5), QByteArray(" dwa "));
    QVERIFY(dialogs->messages.isEmpty());
}

void TstFrmWyb::displayRules_data()
{
    QTest::addColumn<int>("typ");
    QTest::addColumn<QList<int>>("marks");
    QTest::addColumn<int>("savedTyp");
    QTest::addColumn<QList<int>>("savedMarks");

    QTest::newRow("typ 1: the last non-zero mark is selected")
        << 1 << QList<int>{0, -1, 0, -1, 0} << 1 << QList<int>{0, 0, 0, -1, 0};
    QTest::newRow("typ 1: any non-zero counts")
        << 1 << QList<int>{7, 0, 0, 0, 0} << 1 << QList<int>{-1, 0, 0, 0, 0};
    QTest::newRow("typ 1: none selected") << 1 << QList<int>{0, 0, 0, 0, 0} << 1 << QList<int>{0, 0, 0, 0, 0};
    QTest::newRow("typ 0: grey 2 survives")
        << 0 << QList<int>{1, 2, 0, 0, 1} << 0 << QList<int>{1, 2, 0, 0, 1};
    QTest::newRow("typ 5 is shown and saved as multiple choice")
        << 5 << QList<int>{0, 1, 0, 0, 0} << 0 << QList<int>{0, 1, 0, 0, 0};
}

void TstFrmWyb::displayRules()
{
    QFETCH(int, typ);
    QFETCH(QList<int>, marks);
    QFETCH(int, savedTyp);
    QFETCH(QList<int>, savedMarks);
    std::array<qint16, 5> m{};
    for (int k = 0; k < 5; ++k)
        m[k] = qint16(marks[k]);
    QVERIFY(writeAll(QStringLiteral("s"), setOf({question(QStringLiteral("q"), qint16(typ), m)})));
    QVERIFY(open(QStringLiteral("s"), 0));

    if (typ == 1) {
        QVERIFY(w<QWidget>("frmopt")->isVisible());
        QVERIFY(w<QWidget>("frmwyb")->isHidden());
        for (int k = 0; k < 5; ++k)
            QCOMPARE(w<QRadioButton>(qPrintable(QStringLiteral("Opt_%1").arg(k)))->isChecked(),
                     savedMarks[k] == -1);
    } else {
        QVERIFY(w<QWidget>("frmopt")->isHidden());
        QVERIFY(w<QWidget>("frmwyb")->isVisible());
        if (marks[1] == 2)
            QCOMPARE(w<QCheckBox>("wy1_1")->checkState(), Qt::PartiallyChecked);
    }
    click("cmddalej");
    const rekord saved = recordOf(QStringLiteral("s"), 1);
    QCOMPARE(int(saved.typ), savedTyp);
    for (int k = 0; k < 5; ++k)
        QCOMPARE(int(saved.poprawna(k + 1)), savedMarks[k]);
    QVERIFY(dialogs->messages.isEmpty());
}

void TstFrmWyb::markOutsideCheckBoxValuesIsNotASet()
{
    const QByteArray bytes = setOf({question(QStringLiteral("q"), 0, {0, -1, 0, 0, 0})});
    QVERIFY(writeAll(QStringLiteral("s"), bytes));
    QVERIFY(!open(QStringLiteral("s"), 0));
    QCOMPARE(dialogs->messages.size(), 1);
    QCOMPARE(dialogs->messages[0].text,
             QStringLiteral("Wybrany plik nie jest bazą pytań\rnastąpi zakończenie programu"));
    QCOMPARE(dialogs->messages[0].icon, Dialogs::Icon::Stop);
    QCOMPARE(dialogs->messages[0].title, QStringLiteral("TEST"));
    QVERIFY(dialogs->ended());
    QCOMPARE(readAll(QStringLiteral("s")), bytes);
}

void TstFrmWyb::typedAnswerKeepsHiddenAnswers()
{
    rekord typed = question(QStringLiteral("typed"), 2);
    ustawTekst(typed.odp1, QStringLiteral("wzór"));
    for (int k = 2; k <= 5; ++k)
        ustawTekst(typed.odp(k), QString());
    QVERIFY(writeAll(QStringLiteral("s"), setOf({question(QStringLiteral("mc"), 0), typed})));
    QVERIFY(open(QStringLiteral("s"), 0));
    click("cmddalej");
    QVERIFY(w<QGroupBox>("Frame1")->isHidden());
    QCOMPARE(w<QLineEdit>("txtodpowiedz")->text(), QStringLiteral("wzór"));
    click("cmdwstecz");

    // The hidden boxes still hold question 1's answers and go into odp2..odp5.
    const rekord saved = recordOf(QStringLiteral("s"), 2);
    QCOMPARE(saved.typ, qint16(2));
    QCOMPARE(tekst(saved.odp1), QStringLiteral("wzór"));
    for (int k = 2; k <= 5; ++k)
        QCOMPARE(tekst(saved.odp(k)), QStringLiteral("odp %1").arg(k));
    QCOMPARE(saved.poprawna1, qint16(1));
    for (int k = 2; k <= 5; ++k)
        QCOMPARE(saved.poprawna(k), qint16(0));
}

void TstFrmWyb::newQuestionTwice()
{
    QVERIFY(writeAll(QStringLiteral("s"),
                     setOf({question(QStringLiteral("a"), 1, {-1, 0, 0, 0, 0}),
                            question(QStringLiteral("b"), 0), question(QStringLiteral("c"), 0)})));
    QVERIFY(open(QStringLiteral("s"), 0));
    click("cmdnowepytanie");
    QCOMPARE(label("lbliloscpytan"), QStringLiteral("4"));
    QCOMPARE(label("lblnrpytania"), QStringLiteral("4"));
    QCOMPARE(readAll(QStringLiteral("s")).size(), 3 * 1314);
    click("cmdnowepytanie");
    QCOMPARE(label("lbliloscpytan"), QStringLiteral("5"));
    const QByteArray bytes = readAll(QStringLiteral("s"));
    QCOMPARE(bytes.size(), 4 * 1314);
    // The first new question: empty texts, no picture, marks 0, and the single-choice frame
    // of question 1 still decides its type.
    const rekord fourth = recordOf(QStringLiteral("s"), 4);
    QVERIFY(tekst(fourth.pytanie).isEmpty());
    QVERIFY(tekst(fourth.odp1).isEmpty());
    QCOMPARE(fourth.rysunek, rekord::pusty().rysunek);
    QCOMPARE(fourth.typ, qint16(1));
    for (int k = 1; k <= 5; ++k)
        QCOMPARE(fourth.poprawna(k), qint16(0));
    // ">>" stays on the new last question; "<<" saves it first.
    click("cmddalej");
    QCOMPARE(editor->nrrekordu(), 5);
    click("cmdwstecz");
    QCOMPARE(readAll(QStringLiteral("s")).size(), 5 * 1314);
}

void TstFrmWyb::shortNonEmptyFileIsNotOverwritten()
{
    for (int size : {1, 657}) {
        init();
        const QByteArray bytes(size, 'z');
        QVERIFY(writeAll(QStringLiteral("notes.txt"), bytes));
        QVERIFY(!open(QStringLiteral("notes.txt"), 0));
        QCOMPARE(
            dialogs->messageTexts(),
            QStringList{QStringLiteral("Wybrany plik nie jest bazą pytań\rnastąpi zakończenie programu")});
        QCOMPARE(dialogs->messages[0].title, QStringLiteral("TEST"));
        QVERIFY(dialogs->ended());
        QCOMPARE(readAll(QStringLiteral("notes.txt")), bytes);
    }
}

void TstFrmWyb::unopenableSetClosesTheEditor()
{
    QDir().mkdir(QStringLiteral("folder"));
    for (const QString& name : {QStringLiteral("folder"), QStringLiteral("no/such/dir/set")}) {
        init();
        QDir().mkdir(QStringLiteral("folder"));
        QVERIFY(!open(name, 1));
        QCOMPARE(dialogs->messages.size(), 1);
        QVERIFY(dialogs->messages[0].text.contains(name));
        QCOMPARE(dialogs->messages[0].icon, Dialogs::Icon::Stop);
        QVERIFY(!dialogs->ended());
    }
}

void TstFrmWyb::partialLastRecordIsNotTruncated()
{
    rekord first = question(QStringLiteral("pełne"), 0);
    rekord second = question(QStringLiteral("ucięte"), 0);
    const QByteArray bytes = first.encode() + second.encode().left(700);
    QVERIFY(writeAll(QStringLiteral("s"), bytes));
    QVERIFY(open(QStringLiteral("s"), 0));
    QCOMPARE(label("lbliloscpytan"), QStringLiteral("2"));
    click("cmddalej");
    QCOMPARE(w<QPlainTextEdit>("txtpytanie")->toPlainText(), QStringLiteral("ucięte"));
    click("cmdkoniec");
    const QByteArray after = readAll(QStringLiteral("s"));
    QCOMPARE(after.size(), 2 * 1314);
    QCOMPARE(after.left(1314 + 300), bytes.left(1314 + 300));
}

void TstFrmWyb::closeControlSavesLikeKoniec()
{
    QVERIFY(open(QStringLiteral("s")));
    type("txtpytanie", QStringLiteral("zamknięte krzyżykiem"));
    editor->close();
    QCOMPARE(tekst(recordOf(QStringLiteral("s"), 1).pytanie), QStringLiteral("zamknięte krzyżykiem"));

    // Ending the program saves nothing.
    init();
    QVERIFY(open(QStringLiteral("t")));
    type("txtpytanie", QStringLiteral("utracone"));
    dialogs->endProgram();
    editor->close();
    QVERIFY(tekst(recordOf(QStringLiteral("t"), 1).pytanie).isEmpty());
}

void TstFrmWyb::cancelledChoicesEndTheProgram()
{
    nowyzestaw = 1;
    dialogs->inputs << QString();
    dialogs->files << QString();
    editor = std::make_unique<FrmWyb>(*dialogs);
    QVERIFY(!editor->load());
    QCOMPARE(dialogs->prompts.size(), 1);
    QCOMPARE(dialogs->prompts[0].prompt, QStringLiteral("Podaj nazwę zestawu"));
    QCOMPARE(dialogs->prompts[0].title, QStringLiteral("Nazwa bazy pytań"));
    QCOMPARE(dialogs->fileDialogs.size(), 1);
    QVERIFY(dialogs->ended());
    QVERIFY(dialogs->messages.isEmpty());
}

void TstFrmWyb::existingNameAfterNowyOpensItUnchanged()
{
    const QByteArray bytes = setOf({question(QStringLiteral("x"), 0), question(QStringLiteral("y"), 0)});
    QVERIFY(writeAll(QStringLiteral("istniejacy"), bytes));
    QVERIFY(open(QStringLiteral("istniejacy"), 1));
    QCOMPARE(label("lbliloscpytan"), QStringLiteral("2"));
    QCOMPARE(readAll(QStringLiteral("istniejacy")), bytes);
}

void TstFrmWyb::missingPictureIsReportedAndDropped()
{
    rekord r = question(QStringLiteral("z obrazkiem"), 0);
    ustawTekst(r.rysunek, QStringLiteral("brak.png"));
    QVERIFY(writeAll(QStringLiteral("s"), setOf({r})));
    QVERIFY(open(QStringLiteral("s"), 0));
    QCOMPARE(dialogs->messageTexts(), QStringList{QStringLiteral("Nniewłaściwa nazwa pliku graficznego")});
    QCOMPARE(dialogs->messages[0].title, QStringLiteral("Błąd"));
    QVERIFY(w<QLabel>("Image1")->pixmap().isNull());
    click("cmddalej");
    click("cmdwstecz");
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(tekst(recordOf(QStringLiteral("s"), 1).rysunek).isEmpty());
}

void TstFrmWyb::longQuestionIsCut()
{
    QVERIFY(open(QStringLiteral("s")));
    const QString text = QString(300, QLatin1Char('p')) + QStringLiteral("0123456789");
    w<QPlainTextEdit>("txtpytanie")->setPlainText(text);
    click("cmddalej");
    QCOMPARE(w<QPlainTextEdit>("txtpytanie")->toPlainText(), text.left(300));
}

void TstFrmWyb::keyboardReachesEveryControl()
{
    QVERIFY(writeAll(QStringLiteral("s"), setOf({question(QStringLiteral("q"), 0)})));
    QVERIFY(open(QStringLiteral("s"), 0));
    QApplication::setActiveWindow(editor.get());
    QVERIFY(QTest::qWaitForWindowActive(editor.get()));
    w<QWidget>("txtpytanie")->setFocus();
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 23; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    const QStringList expected{
        QStringLiteral("txtpytanie"), QStringLiteral("cmdwybor"), QStringLiteral("cmdopcja"),
        QStringLiteral("cmdtekst"),   QStringLiteral("wy1_0"),    QStringLiteral("txtodp_0"),
        QStringLiteral("wy1_1"),      QStringLiteral("txtodp_1"), QStringLiteral("wy1_2"),
        QStringLiteral("txtodp_2"),   QStringLiteral("wy1_3"),    QStringLiteral("txtodp_3"),
        QStringLiteral("wy1_4"),      QStringLiteral("txtodp_4"), QStringLiteral("Image1"),
        QStringLiteral("cmdwstecz"),  QStringLiteral("cmddalej"), QStringLiteral("cmdnowepytanie"),
        QStringLiteral("cmdKasuj"),   QStringLiteral("Command1"), QStringLiteral("cmdkoniec"),
        QStringLiteral("txtpytanie"), QStringLiteral("cmdwybor"), QStringLiteral("cmdopcja")};
    QCOMPARE(visited, expected);

    // Space on a check box ticks it; Space on the picture box opens the picture dialog.
    w<QWidget>("wy1_1")->setFocus();
    QTest::keyClick(w<QWidget>("wy1_1"), Qt::Key_Space);
    QVERIFY(w<QCheckBox>("wy1_1")->isChecked());
    dialogs->files << QString();
    const qsizetype shown = dialogs->fileDialogs.size();
    QTest::keyClick(w<QWidget>("Image1"), Qt::Key_Space);
    QCOMPARE(dialogs->fileDialogs.size(), shown + 1);
    QCOMPARE(recordOf(QStringLiteral("s"), 1).poprawna2, qint16(1));

    // Every control a user can reach has a name for assistive technology.
    for (QWidget* widget : editor->findChildren<QWidget*>())
        if (widget->focusPolicy() & Qt::TabFocus)
            QVERIFY2(!widget->accessibleName().isEmpty() || !widget->property("text").toString().isEmpty(),
                     qPrintable(widget->objectName()));
}

QTEST_MAIN(TstFrmWyb)
#include "tst_frmwyb.moc"
