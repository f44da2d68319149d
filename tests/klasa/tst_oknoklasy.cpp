#include "frmtest.h"
#include "okna.h"
#include "oknoklasy.h"
#include "program.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTableWidget>

#include <csignal>
#include <sys/resource.h>

// "Test w klasie" started from the generator's real button, pupils joining over HTTP on
// 127.0.0.1, the teacher's window clicked, scripted dialogs answering.
class TstOknoKlasy : public QObject, WindowFixture<FrmTest>
{
    Q_OBJECT

    QNetworkAccessManager nam_;

    static OknoKlasy* okno()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* o = qobject_cast<OknoKlasy*>(w); o && o->isVisible())
                return o;
        return nullptr;
    }
    static QString slyszy(QWidget* w)
    {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    }
    static QString wiersz(const QTableWidget* t, int r, int kolumn = 5)
    {
        QStringList w;
        for (int k = 0; k < kolumn; ++k)
            w << t->item(r, k)->text();
        return w.join(u'|');
    }
    // METHOD PATH BODY TOKEN: the status and the reply's JSON; status 0 when nobody listens.
    std::pair<int, QJsonObject> wyslij(const QByteArray& metoda, const QString& sciezka,
                                       const QJsonObject& tresc, const QString& token = {})
    {
        QNetworkRequest r(QUrl(u"http://127.0.0.1:%1%2"_s.arg(okno() ? okno()->port() : 1).arg(sciezka)));
        r.setRawHeader("Content-Type", "application/json");
        if (!token.isEmpty())
            r.setRawHeader("Authorization", "Bearer " + token.toLatin1());
        r.setTransferTimeout(5000);
        auto* odp = nam_.sendCustomRequest(r, metoda, QJsonDocument(tresc).toJson());
        QEventLoop petla;
        connect(odp, &QNetworkReply::finished, &petla, &QEventLoop::quit);
        petla.exec();
        odp->deleteLater();
        return {odp->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                QJsonDocument::fromJson(odp->readAll()).object()};
    }
    // Joins and hands in, or only saves: the choice questions answered right, the typed one as given.
    std::pair<int, QJsonObject> pisze(const QString& imie, const QString& wpisana, bool oddaj)
    {
        const auto [status, dolaczenie] =
            wyslij("POST", u"/api/dolacz"_s, {{u"imie"_s, imie}, {u"pin"_s, pin()}});
        if (status != 200)
            return {status, dolaczenie};
        QJsonArray odp;
        for (const auto& p : dolaczenie[u"pytania"].toArray()) {
            const auto o = p[u"odpowiedzi"].toArray().toVariantList();
            const auto typ = p[u"typ"].toString();
            odp.append(typ == u"tekst" ? QJsonValue(wpisana)
                       : typ == u"opcja"
                           ? QJsonValue(o.indexOf(u"odp 2"_s))
                           : QJsonValue(QJsonArray{o.indexOf(u"odp 1"_s), o.indexOf(u"odp 3"_s)}));
        }
        return wyslij(oddaj ? "POST" : "PUT", oddaj ? u"/api/oddaj"_s : u"/api/odpowiedzi"_s,
                      {{u"odpowiedzi"_s, odp}}, dolaczenie[u"token"].toString());
    }
    QString pin() const { return okno()->findChild<QLabel*>(u"lblpin"_s)->text(); }
    void start(const QStringList& odpowiedzi)
    {
        dialogs->inputs << odpowiedzi;
        click("cmdklasa");
    }

private slots:
    void initTestCase() { qputenv("TESTOWNIK_ADRES_KLASY", "127.0.0.1"); }
    void init()
    {
        reset();
        QVERIFY(writeAll(u"zestaw"_s,
                         setOf({question(u"Która?"_s, 1, {0, -1}), question(u"Które?"_s, 0, {1, 0, 1}),
                                question(u"Wpisz"_s, 2, {1})})));
        dialogs->files << dir->file(u"zestaw"_s);
        window = std::make_unique<FrmTest>(*dialogs, *folder);
        QVERIFY(window->load());
        w<QLineEdit>("txtiloscpytan")->setText(u"3"_s);
    }
    void cleanup()
    {
        while (auto* o = okno()) {
            dialogs->answers << Dialogs::Answer::Yes;
            o->close();
            delete o;
        }
    }
    void przebieg();
    void wznowienie();
    void bladZapisu();
};

void TstOknoKlasy::przebieg()
{
    w<QLineEdit>("txtiloscpytan")->setText(u"4"_s);
    click("cmdklasa");
    QCOMPARE(message(), u"TESTER|Zła ilośc pytań "_s);
    w<QLineEdit>("txtiloscpytan")->setText(u"3"_s);
    start({QString(), u"dziesięć"_s}); // a cancelled time: nothing happens
    start({});
    QCOMPARE(message(), u"Błąd danych|Niewłaściwe dane"_s);
    QVERIFY(!okno());
    start({u"10"_s});
    QCOMPARE(dialogs->prompts, QStringList(3, u"Czas|Podaj czas trwania testu w pełnych minutach"_s));
    auto* o = okno();
    QVERIFY(o && o->windowTitle() == u"Test w klasie"_s && !w("cmdgeneruj")->isHidden());
    const QString adres = u"http://127.0.0.1:%1/"_s.arg(o->port());
    QCOMPARE(slyszy(o->findChild<QLabel*>(u"lbladres"_s)), u"Adres: "_s + adres);
    QCOMPARE(slyszy(o->findChild<QLabel*>(u"lblkodqr"_s)), u"Kod QR: "_s + adres);
    QVERIFY(!o->findChild<QLabel*>(u"lblkodqr"_s)->pixmap().isNull());
    QVERIFY(
        QRegularExpression(u"^PIN: \\d{4}$"_s).match(slyszy(o->findChild<QLabel*>(u"lblpin"_s))).hasMatch());
    QVERIFY(slyszy(o->findChild<QLabel*>(u"lblpozostalo"_s))
                .contains(QRegularExpression(u"^Pozostało: (10:00|9:5\\d)$"_s)));

    QCOMPARE(pisze(u"Ala <b>Nowak</b>"_s, u"odp 1"_s, true).second, (QJsonObject{{u"oddano"_s, true}}));
    QCOMPARE(pisze(u"Bartek"_s, u"zle"_s, false).first, 204);
    QCOMPARE(pisze(u"Bartek"_s, u"zle"_s, false).first, 409); // another browser, the name is writing
    auto* uczniowie = o->findChild<QTableWidget*>(u"tabuczniowie"_s);
    QTRY_COMPARE(uczniowie->rowCount(), 2);
    QCOMPARE(wiersz(uczniowie, 0), u"Ala <b>Nowak</b>|oddał|7|7|100 %"_s);
    QCOMPARE(wiersz(uczniowie, 1) + uczniowie->item(1, 5)->text(), u"Bartek|pisze|5|7|71,4 %"_s);
    QVERIFY(!uczniowie->item(0, 5)->text().isEmpty());
    auto* pytania = o->findChild<QTableWidget*>(u"tabpytania"_s);
    QCOMPARE(wiersz(pytania, 0, 4), u"3|Wpisz|2|50 %"_s);

    const QPoint bartek = uczniowie->visualItemRect(uczniowie->item(1, 0)).center();
    QTest::mouseClick(uczniowie->viewport(), Qt::LeftButton, {},
                      bartek); // the row "Zwolnij nazwisko" acts on
    QTest::mouseDClick(uczniowie->viewport(), Qt::LeftButton, {}, bartek);
    auto* odp = o->findChild<QDialog*>(u"odpowiedziucznia"_s)->findChild<QTableWidget*>(u"tabodpowiedzi"_s);
    QCOMPARE(odp->rowCount(), 3);
    QStringList wpisana;
    for (int r = 0; r < 3; ++r)
        if (odp->item(r, 1)->text() == u"Wpisz"_s)
            wpisana << wiersz(odp, r).section(u'|', 1);
    QCOMPARE(wpisana, QStringList{u"Wpisz|zle|0|2"_s});

    QTest::mouseClick(o->findChild<QWidget*>(u"cmdzwolnij"_s), Qt::LeftButton);
    QVERIFY(message().startsWith(u"Test w klasie|Uczeń „Bartek” może teraz dołączyć ponownie"_s));
    QCOMPARE(pisze(u"Bartek"_s, u"zle"_s, false).first, 204);
    auto* pokaz = o->findChild<QCheckBox*>(u"chkpokaz"_s);
    QVERIFY(!pokaz->isChecked());
    QTest::mouseClick(pokaz, Qt::LeftButton, {}, QPoint(8, pokaz->height() / 2));
    QCOMPARE(pisze(u"=Cezary"_s, u"odp 1"_s, true).second[u"procent"_s].toDouble(), 100.0);

    dialogs->saves << dir->file(u"wyniki.csv"_s) << dir->file(u"wyniki.pdf"_s);
    QTest::mouseClick(o->findChild<QWidget*>(u"cmdeksport"_s), Qt::LeftButton);
    const QByteArray csv = readAll(dir->file(u"wyniki.csv"_s));
    QVERIFY(csv.startsWith("\xEF\xBB\xBFUczeń;Punkty;Maks.;Procent;Oddano;1;2;3\r\n") &&
            csv.contains("\r\n'=Cezary;7;7;100,0;"));
    dialogs->answers << Dialogs::Answer::No << Dialogs::Answer::Yes;
    for (int i = 0; i < 2; ++i)
        QTest::mouseClick(o->findChild<QWidget*>(u"cmdzakoncz"_s), Qt::LeftButton);
    QVERIFY(message().startsWith(
        u"Test w klasie|Zakończyć test dla wszystkich?\rUczniowie, którzy jeszcze piszą (1)"_s));
    QCOMPARE(wiersz(uczniowie, 1, 2), u"Bartek|po czasie"_s);
    QCOMPARE(slyszy(o->findChild<QLabel*>(u"lblpozostalo"_s)), u"Pozostało: test zakończony"_s);
    QCOMPARE(pisze(u"Dorota"_s, {}, false).first, 0); // the server is stopped
    QTest::mouseClick(o->findChild<QWidget*>(u"cmddrukuj"_s), Qt::LeftButton);
    QVERIFY(readAll(dir->file(u"wyniki.pdf"_s)).startsWith("%PDF"));
    QVERIFY(o->close() && dialogs->messages.isEmpty());
}

void TstOknoKlasy::wznowienie()
{
    start({u"10"_s});
    const QString stary = pin();
    QCOMPARE(pisze(u"Ala"_s, u"odp 1"_s, false).first, 204);
    QTRY_COMPARE(okno()->findChild<QTableWidget*>(u"tabuczniowie"_s)->rowCount(), 1);
    dialogs->answers << Dialogs::Answer::No << Dialogs::Answer::Yes;
    Program program(*dialogs, dir->path());
    program.zakoncz(); // "Koniec" asked while Ala writes, and "Nie" keeps the program
    QVERIFY(!program.konczy() && okno() && okno()->close());
    QVERIFY(message().startsWith(u"Test w klasie|Uczniowie jeszcze piszą (1). Zamknąć okno?"_s));

    dialogs->answers << Dialogs::Answer::Yes;
    start({});
    QVERIFY(message().startsWith(
        u"Test w klasie|Test w klasie z zestawu „zestaw” nie został zakończony (PIN "_s + stary));
    QCOMPARE(pin(), stary);
    QTRY_COMPARE(wiersz(okno()->findChild<QTableWidget*>(u"tabuczniowie"_s), 0), u"Ala|pisze|7|7|100 %"_s);

    // A new test: the unfinished one's results are offered as a file; a cancel asks once more.
    dialogs->answers << Dialogs::Answer::Yes << Dialogs::Answer::No << Dialogs::Answer::Yes;
    QVERIFY(okno()->close());
    dialogs->saves << QString();
    start({u"5"_s});
    QVERIFY(message().contains(u"Wyniki niedokończonego testu nie zostały zapisane do pliku CSV."_s));
    QVERIFY(okno() && okno()->findChild<QTableWidget*>(u"tabuczniowie"_s)->rowCount() == 0);
}

// The store stops growing, as on a full disk: the pupil is refused and the teacher told.
void TstOknoKlasy::bladZapisu()
{
    start({u"10"_s});
    const QString plik = dir->file(u"zestaw.klasa.sqlite"_s);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit r{rlim_t(std::max(QFileInfo(plik).size(), QFileInfo(plik + u"-wal"_s).size())), RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &r);
    const int status = pisze(u"Ala"_s, {}, false).first;
    r.rlim_cur = RLIM_INFINITY;
    setrlimit(RLIMIT_FSIZE, &r);
    QCOMPARE(status, 503);
    QTRY_VERIFY(!dialogs->messages.isEmpty());
    QCOMPARE(message().section(u'\r', 0, 0),
             u"Test w klasie|Nie udało się zapisać odpowiedzi ucznia w pliku „%1”."_s.arg(plik));
    QVERIFY(okno()->findChild<QLabel*>(u"lblblad"_s)->isVisible());
}

QTEST_MAIN(TstOknoKlasy)
#include "tst_oknoklasy.moc"
