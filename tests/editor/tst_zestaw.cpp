#include "frmwyb.h"
#include "fsizelimit.h"
#include "nowyzestaw.h"
#include "scripteddialogs.h"
#include "tempdir.h"

#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

// Deleting a question, appending a set and attaching pictures, through the editor's widgets.
class TstZestaw : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void deleteAnsweredNoChangesNothing();
    void deleteMiddleAndLast();
    void deleteRightAfterNewQuestion();
    void deleteTheOnlyQuestion();
    void deleteIgnoresAStaleTemporaryFile();
    void deleteFailureKeepsTheSetAndTheEditor();
    void setRemovedOrReplacedWhileOpen();
    void saveFailureKeepsTheQuestionOnScreen();
    void newSetThatCannotBeWritten();
    void deleteQuestionAbove32767();
    void mergeAppendsAndShowsTheLast();
    void mergeShortFiles_data();
    void mergeShortFiles();
    void mergeCancelled();
    void mergeRightAfterNewQuestion();
    void mergeItself();
    void mergeFailureCountsWhatReachedTheFile();
    void pictureThroughImage1();
    void pictureThroughLabel2();
    void notAPicture();
    void longPictureName();
    void pictureMovedAway();

private:
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<FrmWyb> editor;
    std::unique_ptr<TempCwd> dir;

    void openSet(const QByteArray& bytes, int showQuestion = 1);
    template <class T>
    T* w(const char* name)
    {
        return editor->findChild<T*>(QLatin1String(name));
    }
    void click(const char* name) { QTest::mouseClick(w<QWidget>(name), Qt::LeftButton); }
    QString label(const char* name) { return w<QLabel>(name)->text(); }
    QString shownQuestion() { return w<QPlainTextEdit>("txtpytanie")->toPlainText(); }
    bool pictureShown() { return !w<QLabel>("Image1")->pixmap().isNull(); }
};

static rekord q(const QString& text)
{
    // As the editor saves it, so that a save without a change keeps the file's bytes.
    rekord r = rekord::pusty();
    ustawTekst(r.pytanie, text);
    for (int k = 1; k <= 5; ++k)
        ustawTekst(r.odp(k), QString());
    return r;
}

static QByteArray set(int count, const QString& prefix = QStringLiteral("p"))
{
    QByteArray bytes;
    for (int n = 1; n <= count; ++n)
        bytes += q(prefix + QString::number(n)).encode();
    return bytes;
}

void TstZestaw::init()
{
    editor.reset();
    dir.reset();
    dir = std::make_unique<TempCwd>();
    dialogs = std::make_unique<ScriptedDialogs>();
}

void TstZestaw::openSet(const QByteArray& bytes, int showQuestion)
{
    QVERIFY(writeAll(QStringLiteral("s"), bytes));
    nowyzestaw = 0;
    dialogs->files << dir->file(QStringLiteral("s"));
    editor = std::make_unique<FrmWyb>(*dialogs);
    QVERIFY(editor->load());
    editor->show();
    for (int i = 1; i < showQuestion; ++i)
        click("cmddalej");
}

void TstZestaw::deleteAnsweredNoChangesNothing()
{
    QImage(4, 4, QImage::Format_RGB32).save(QStringLiteral("a.png"));
    rekord r = q(QStringLiteral("z obrazkiem"));
    ustawTekst(r.rysunek, QStringLiteral("a.png"));
    const QByteArray bytes = r.encode() + set(1);
    openSet(bytes);
    QVERIFY(pictureShown());
    dialogs->answers << Dialogs::Answer::No;
    click("cmdKasuj");
    QCOMPARE(dialogs->messages.size(), 1);
    QCOMPARE(dialogs->messages[0].text, QStringLiteral("Kasować ten rekord?"));
    QCOMPARE(dialogs->messages[0].buttons, Dialogs::Buttons::YesNo);
    QCOMPARE(dialogs->messages[0].icon, Dialogs::Icon::None);
    QCOMPARE(dialogs->messages[0].title, QStringLiteral("Budowanie bazy pytań"));
    QVERIFY(pictureShown());
    QCOMPARE(readAll(QStringLiteral("s")), bytes);
    QCOMPARE(label("lbliloscpytan"), QStringLiteral("2"));
}

void TstZestaw::deleteMiddleAndLast()
{
    const QByteArray bytes = set(5);
    openSet(bytes, 2);
    dialogs->answers << Dialogs::Answer::Yes;
    click("cmdKasuj");
    QByteArray expected = bytes;
    expected.remove(1314, 1314);
    QCOMPARE(readAll(QStringLiteral("s")), expected);
    QCOMPARE(label("lbliloscpytan"), QStringLiteral("4"));
    QCOMPARE(label("lblnrpytania"), QStringLiteral("2"));
    QCOMPARE(shownQuestion(), QStringLiteral("p3"));

    for (int i = 0; i < 3; ++i)
        click("cmddalej");
    dialogs->answers << Dialogs::Answer::Yes;
    click("cmdKasuj");
    QCOMPARE(label("lbliloscpytan"), QStringLiteral("3"));
    QCOMPARE(label("lblnrpytania"), QStringLiteral("3"));
    QCOMPARE(shownQuestion(), QStringLiteral("p4"));
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("s")});
}

void TstZestaw::deleteRightAfterNewQuestion()
{
    const QByteArray bytes = set(3);
    openSet(bytes);
    click("cmdnowepytanie");
    w<QPlainTextEdit>("txtpytanie")->setPlainText(QStringLiteral("nowe, nie zapisane"));
    dialogs->answers << Dialogs::Answer::Yes;
    click("cmdKasuj");
    QCOMPARE(readAll(QStringLiteral("s")), bytes);
    QCOMPARE(label("lbliloscpytan"), QStringLiteral("3"));
    QCOMPARE(label("lblnrpytania"), QStringLiteral("3"));
    QCOMPARE(shownQuestion(), QStringLiteral("p3"));
}

void TstZestaw::deleteTheOnlyQuestion()
{
    rekord r = q(QStringLiteral("jedyne"));
    r.typ = 1;
    r.poprawna2 = -1;
    openSet(r.encode());
    dialogs->answers << Dialogs::Answer::Yes;
    click("cmdKasuj");
    QCOMPARE(readAll(QStringLiteral("s")), rekord::pusty().encode());
    QCOMPARE(label("lbliloscpytan"), QStringLiteral("1"));
    QVERIFY(shownQuestion().isEmpty());
}

void TstZestaw::deleteIgnoresAStaleTemporaryFile()
{
    QVERIFY(writeAll(QStringLiteral("usun.tmp"), set(7, QStringLiteral("stare"))));
    const QByteArray bytes = set(3);
    openSet(bytes);
    dialogs->answers << Dialogs::Answer::Yes;
    click("cmdKasuj");
    QCOMPARE(readAll(QStringLiteral("s")), bytes.mid(1314));
    // A file of that name is someone's: it is neither used nor removed.
    QCOMPARE(readAll(QStringLiteral("usun.tmp")), set(7, QStringLiteral("stare")));
}

void TstZestaw::deleteFailureKeepsTheSetAndTheEditor()
{
    const QByteArray bytes = set(5);
    openSet(bytes, 2);
    {
        FileSizeLimit limit(2 * 1314);
        dialogs->answers << Dialogs::Answer::Yes;
        click("cmdKasuj");
    }
    QCOMPARE(dialogs->messages.size(), 2);
    QVERIFY(dialogs->messages[1].text.startsWith(QStringLiteral("Nie udało się usunąć pytania nr 2.")));
    QCOMPARE(dialogs->messages[1].icon, Dialogs::Icon::Stop);
    QCOMPARE(readAll(QStringLiteral("s")), bytes);
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("s")});
    QCOMPARE(label("lbliloscpytan"), QStringLiteral("5"));

    // The editor goes on with the same set.
    w<QPlainTextEdit>("txtpytanie")->setPlainText(QStringLiteral("dalej działa"));
    click("cmddalej");
    QCOMPARE(tekst(rekord::decode(readAll(QStringLiteral("s")).mid(1314, 1314)).pytanie),
             QStringLiteral("dalej działa"));
    dialogs->answers << Dialogs::Answer::Yes;
    click("cmdKasuj");
    QCOMPARE(readAll(QStringLiteral("s")).size(), 4 * 1314);

    // Another program put a folder where the set was: the set is kept beside it, whole, and
    // the deletion goes on there; the folder is not touched.
    QVERIFY(QFile::remove(QStringLiteral("s")));
    QVERIFY(QDir().mkpath(QStringLiteral("s/inside")));
    dialogs->answers << Dialogs::Answer::Yes;
    click("cmdKasuj");
    QCOMPARE(dialogs->messages.size(), 5);
    QVERIFY(dialogs->messages[4].text.contains(QStringLiteral("s.kopia")));
    QCOMPARE(dialogs->messages[4].icon, Dialogs::Icon::Exclamation);
    QCOMPARE(readAll(QStringLiteral("s.kopia")).size(), 3 * 1314);
    QCOMPARE(label("lblnazwazestawu"), QStringLiteral("s.kopia"));
    QVERIFY(QFileInfo(QStringLiteral("s/inside")).isDir());
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), (QStringList{QStringLiteral("s.kopia")}));
}

void TstZestaw::setRemovedOrReplacedWhileOpen()
{
    const QByteArray bytes = set(3);
    openSet(bytes, 2);

    // Removed: written back under its name with every question, then the save goes on.
    QVERIFY(QFile::remove(QStringLiteral("s")));
    w<QPlainTextEdit>("txtpytanie")->setPlainText(QStringLiteral("po usunięciu"));
    click("cmddalej");
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].text.contains(QStringLiteral("usunięty")));
    QByteArray expected = bytes;
    expected.replace(1314, 1314, q(QStringLiteral("po usunięciu")).encode());
    QCOMPARE(readAll(QStringLiteral("s")), expected);

    // Replaced by another file: that file stays as it is; the set goes on as s.kopia.
    QVERIFY(QFile::remove(QStringLiteral("s")));
    QVERIFY(writeAll(QStringLiteral("s"), "cudzy plik"));
    w<QPlainTextEdit>("txtpytanie")->setPlainText(QStringLiteral("po podmianie"));
    click("cmdkoniec");
    QCOMPARE(readAll(QStringLiteral("s")), QByteArray("cudzy plik"));
    expected.replace(2 * 1314, 1314, q(QStringLiteral("po podmianie")).encode());
    QCOMPARE(readAll(QStringLiteral("s.kopia")), expected);
    QVERIFY(!editor->isVisible());
}

void TstZestaw::saveFailureKeepsTheQuestionOnScreen()
{
    const QByteArray bytes = set(2);
    openSet(bytes);
    click("cmdnowepytanie");
    w<QPlainTextEdit>("txtpytanie")->setPlainText(QStringLiteral("trzecie"));
    {
        FileSizeLimit limit(2 * 1314);
        click("cmddalej");
        click("cmdkoniec");
    }
    QCOMPARE(dialogs->messages.size(), 2);
    QVERIFY(dialogs->messages[0].text.startsWith(QStringLiteral("Nie udało się zapisać pytania nr 3")));
    QVERIFY(editor->isVisible());
    QCOMPARE(shownQuestion(), QStringLiteral("trzecie"));
    QCOMPARE(readAll(QStringLiteral("s")), bytes);
    // Once the disk takes it again, nothing typed was lost.
    click("cmdkoniec");
    QCOMPARE(tekst(rekord::decode(readAll(QStringLiteral("s")).mid(2 * 1314)).pytanie),
             QStringLiteral("trzecie"));
}

void TstZestaw::newSetThatCannotBeWritten()
{
    nowyzestaw = 1;
    dialogs->inputs << QStringLiteral("biologia");
    editor = std::make_unique<FrmWyb>(*dialogs);
    {
        FileSizeLimit limit(100);
        QVERIFY(!editor->load());
    }
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].text.startsWith(QStringLiteral("Nie można zapisać zestawu „biologia”")));
    QVERIFY(!dialogs->ended());
}

void TstZestaw::deleteQuestionAbove32767()
{
    // A sparse file: 40001 records, only the last two hold something.
    QFile f(QStringLiteral("s"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    QVERIFY(f.seek(qint64(39999) * 1314));
    QVERIFY(f.write(q(QStringLiteral("40000")).encode() + q(QStringLiteral("40001")).encode()) == 2 * 1314);
    f.close();
    nowyzestaw = 0;
    dialogs->files << dir->file(QStringLiteral("s"));
    editor = std::make_unique<FrmWyb>(*dialogs);
    QVERIFY(editor->load());
    QCOMPARE(label("lbliloscpytan"), QStringLiteral("40001"));
    // The quick way to the end: "Nowe pytanie" jumps there, "<<" saves it and steps back.
    click("cmdnowepytanie");
    click("cmdwstecz");
    QCOMPARE(label("lblnrpytania"), QStringLiteral("40001"));
    QCOMPARE(shownQuestion(), QStringLiteral("40001"));
    click("cmdwstecz");
    QCOMPARE(shownQuestion(), QStringLiteral("40000"));
    dialogs->answers << Dialogs::Answer::Yes;
    click("cmdKasuj");
    QCOMPARE(label("lblnrpytania"), QStringLiteral("40000"));
    QCOMPARE(label("lbliloscpytan"), QStringLiteral("40001"));
    QCOMPARE(shownQuestion(), QStringLiteral("40001"));
    QCOMPARE(QFileInfo(QStringLiteral("s")).size(), qint64(40001) * 1314);
}

void TstZestaw::mergeAppendsAndShowsTheLast()
{
    QVERIFY(writeAll(QStringLiteral("inny"), set(3, QStringLiteral("inny"))));
    openSet(set(10), 4);
    dialogs->files << dir->file(QStringLiteral("inny"));
    click("Command1");
    QCOMPARE(dialogs->fileDialogs.last().fileName, QString());
    QCOMPARE(label("lbliloscpytan"), QStringLiteral("13"));
    QCOMPARE(label("lblnrpytania"), QStringLiteral("13"));
    QCOMPARE(shownQuestion(), QStringLiteral("inny3"));
    QCOMPARE(readAll(QStringLiteral("s")), set(10) + set(3, QStringLiteral("inny")));
}

void TstZestaw::mergeShortFiles_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << 0 << 5;
    QTest::newRow("shorter than a record") << 1000 << 5;
    QTest::newRow("2.5 records") << 2 * 1314 + 657 << 7;
}

void TstZestaw::mergeShortFiles()
{
    QFETCH(int, length);
    QFETCH(int, count);
    QVERIFY(writeAll(QStringLiteral("inny"), set(3, QStringLiteral("x")).left(length)));
    openSet(set(5), 2);
    dialogs->files << dir->file(QStringLiteral("inny"));
    click("Command1");
    QCOMPARE(label("lbliloscpytan"), QString::number(count));
    QCOMPARE(label("lblnrpytania"), QString::number(count == 5 ? 2 : count));
    QCOMPARE(readAll(QStringLiteral("s")).size(), count * 1314);
    QVERIFY(dialogs->messages.isEmpty());
}

void TstZestaw::mergeCancelled()
{
    const QByteArray bytes = set(2);
    openSet(bytes);
    dialogs->files << QString();
    click("Command1");
    QCOMPARE(readAll(QStringLiteral("s")), bytes);
    QCOMPARE(label("lbliloscpytan"), QStringLiteral("2"));
}

void TstZestaw::mergeRightAfterNewQuestion()
{
    QVERIFY(writeAll(QStringLiteral("inny"), set(2, QStringLiteral("inny"))));
    openSet(set(3));
    click("cmdnowepytanie");
    dialogs->files << dir->file(QStringLiteral("inny"));
    click("Command1");
    QCOMPARE(label("lbliloscpytan"), QStringLiteral("6"));
    QCOMPARE(readAll(QStringLiteral("s")), set(3) + QByteArray(1314, '\0') + set(2, QStringLiteral("inny")));
    click("cmdwstecz");
    click("cmdwstecz");
    QCOMPARE(label("lblnrpytania"), QStringLiteral("4"));
    QVERIFY(shownQuestion().isEmpty());
}

void TstZestaw::mergeItself()
{
    openSet(set(3));
    dialogs->files << dir->file(QStringLiteral("s"));
    click("Command1");
    QCOMPARE(label("lbliloscpytan"), QStringLiteral("6"));
    QCOMPARE(readAll(QStringLiteral("s")), set(3) + set(3));
}

void TstZestaw::mergeFailureCountsWhatReachedTheFile()
{
    QVERIFY(writeAll(QStringLiteral("inny"), set(5, QStringLiteral("inny"))));
    openSet(set(2));
    dialogs->files << dir->file(QStringLiteral("inny"));
    {
        FileSizeLimit limit(4 * 1314 + 100);
        click("Command1");
    }
    QCOMPARE(dialogs->messages.size(), 1);
    QVERIFY(dialogs->messages[0].text.contains(QStringLiteral("Dołączone pytania: 2.")));
    QCOMPARE(label("lbliloscpytan"), QStringLiteral("4"));
    QCOMPARE(shownQuestion(), QStringLiteral("inny2"));
    // A new question now goes after the appended ones instead of over them.
    click("cmdnowepytanie");
    w<QPlainTextEdit>("txtpytanie")->setPlainText(QStringLiteral("piąte"));
    click("cmdkoniec");
    const QByteArray after = readAll(QStringLiteral("s"));
    QCOMPARE(after.left(4 * 1314), set(2) + set(2, QStringLiteral("inny")));
    QCOMPARE(tekst(rekord::decode(after.mid(4 * 1314, 1314)).pytanie), QStringLiteral("piąte"));
}

void TstZestaw::pictureThroughImage1()
{
    QDir().mkdir(QStringLiteral("obrazki"));
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(QStringLiteral("obrazki/kot.png")));
    QVERIFY(image.save(QStringLiteral("obrazki/pies.jpg")));
    openSet(set(2));

    dialogs->files << dir->file(QStringLiteral("obrazki/kot.png"));
    click("Image1");
    QVERIFY(pictureShown());
    // Saved at once, by its bare name; the dialog moved the current folder to the picture.
    QCOMPARE(tekst(rekord::decode(readAll(dir->file(QStringLiteral("s"))).left(1314)).rysunek),
             QStringLiteral("kot.png"));
    QCOMPARE(QDir::currentPath(), QDir(dir->file(QStringLiteral("obrazki"))).canonicalPath());

    // A second click removes it and saves at once.
    click("Image1");
    QVERIFY(!pictureShown());
    QVERIFY(tekst(rekord::decode(readAll(dir->file(QStringLiteral("s"))).left(1314)).rysunek).isEmpty());

    dialogs->files << dir->file(QStringLiteral("obrazki/pies.jpg"));
    click("Image1");
    QVERIFY(pictureShown());
    // A cancelled dialog is no failure: no picture, no message.
    click("Image1");
    dialogs->files << QString();
    click("Image1");
    QVERIFY(!pictureShown());
    QVERIFY(dialogs->messages.isEmpty());
}

void TstZestaw::pictureThroughLabel2()
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QVERIFY(image.save(QStringLiteral("ryba.png")));
    openSet(set(2));
    dialogs->files << dir->file(QStringLiteral("ryba.png"));
    click("Label2");
    QVERIFY(pictureShown());
    QCOMPARE(dialogs->fileDialogs.last().initialDir, dir->path());
    // Nothing written until the next save.
    QVERIFY(tekst(rekord::decode(readAll(QStringLiteral("s")).left(1314)).rysunek).isEmpty());
    click("cmddalej");
    QCOMPARE(tekst(rekord::decode(readAll(QStringLiteral("s")).left(1314)).rysunek),
             QStringLiteral("ryba.png"));
    click("cmdwstecz");
    QVERIFY(pictureShown());
    click("Label2");
    QVERIFY(!pictureShown());
    click("cmddalej");
    QVERIFY(tekst(rekord::decode(readAll(QStringLiteral("s")).left(1314)).rysunek).isEmpty());
}

void TstZestaw::notAPicture()
{
    QVERIFY(writeAll(QStringLiteral("notatki.txt"), "to nie jest obrazek"));
    openSet(set(2));

    // Through Image1: two messages, the name dropped and the question saved without it.
    dialogs->files << dir->file(QStringLiteral("notatki.txt"));
    click("Image1");
    QCOMPARE(dialogs->messageTexts(), (QStringList{QStringLiteral("Nniew łaściwa nazwa pliku graficznego"),
                                                   QStringLiteral("notatki.txt")}));
    for (const auto& m : dialogs->messages) {
        QCOMPARE(m.title, QStringLiteral("Błąd"));
        QCOMPARE(m.icon, Dialogs::Icon::Stop);
    }
    QVERIFY(editor->nazwarysunku().isEmpty());
    QVERIFY(tekst(rekord::decode(readAll(QStringLiteral("s")).left(1314)).rysunek).isEmpty());

    // Through Label2: one message, the rejected name kept for the next save.
    dialogs->messages.clear();
    dialogs->files << dir->file(QStringLiteral("notatki.txt"));
    click("Label2");
    QCOMPARE(dialogs->messageTexts(), QStringList{QStringLiteral("Nniew łaściwa nazwa pliku graficznego")});
    QVERIFY(!pictureShown());
    QCOMPARE(editor->nazwarysunku(), QStringLiteral("notatki.txt"));
    click("cmddalej");
    QCOMPARE(tekst(rekord::decode(readAll(QStringLiteral("s")).left(1314)).rysunek),
             QStringLiteral("notatki.txt"));

    // After a failed choice the next click removes the kept name instead of asking again.
    dialogs->files << dir->file(QStringLiteral("notatki.txt"));
    click("Label2");
    QCOMPARE(editor->nazwarysunku(), QStringLiteral("notatki.txt"));
    click("Label2");
    QVERIFY(editor->nazwarysunku().isEmpty());
}

void TstZestaw::longPictureName()
{
    const QString name = QString(97, QLatin1Char('d')) + QStringLiteral(".png");
    QCOMPARE(name.size(), 101);
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::green);
    QVERIFY(image.save(name));
    openSet(set(2));
    dialogs->files << dir->file(name);
    click("Image1");
    QVERIFY(pictureShown());
    QCOMPARE(tekst(rekord::decode(readAll(QStringLiteral("s")).left(1314)).rysunek), name.left(100));
    // Shown again, the cut name no longer loads.
    click("cmddalej");
    click("cmdwstecz");
    QCOMPARE(dialogs->messageTexts(), QStringList{QStringLiteral("Nniewłaściwa nazwa pliku graficznego")});
    QVERIFY(!pictureShown());
}

void TstZestaw::pictureMovedAway()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::black);
    QVERIFY(image.save(QStringLiteral("ptak.png")));
    rekord r = q(QStringLiteral("ptak"));
    ustawTekst(r.rysunek, QStringLiteral("ptak.png"));
    openSet(set(1) + r.encode());
    QVERIFY(QFile::rename(QStringLiteral("ptak.png"), QStringLiteral("gdzie-indziej.png")));
    click("cmddalej");
    QCOMPARE(dialogs->messageTexts(), QStringList{QStringLiteral("Nniewłaściwa nazwa pliku graficznego")});
    QCOMPARE(shownQuestion(), QStringLiteral("ptak"));
    click("cmdwstecz");
    QVERIFY(tekst(rekord::decode(readAll(QStringLiteral("s")).mid(1314, 1314)).rysunek).isEmpty());
}

QTEST_MAIN(TstZestaw)
#include "tst_zestaw.moc"
