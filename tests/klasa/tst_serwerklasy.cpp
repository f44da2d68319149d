#include "serwerklasy.h"
#include "tempdir.h"
#include "zestawklasy.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpSocket>
#include <QtTest>

#include <csignal>

// The server on 127.0.0.1 only, every request bounded by a timeout.
class TstSerwerKlasy : public QObject
{
    Q_OBJECT

    struct Odp
    {
        int status = 0;
        QByteArray tresc;
        QJsonObject json() const { return QJsonDocument::fromJson(tresc).object(); }
    };

    QTemporaryDir dir_;
    QDateTime teraz_;
    std::unique_ptr<TestKlasowy> test_;
    std::unique_ptr<SerwerKlasy> serwer_;
    quint16 port_ = 0;
    QNetworkAccessManager nam_;
    QList<QByteArray> odpowiedzi_; // every reply body, for the adversary's reading

    Odp wyslij(const QByteArray& metoda, const QString& sciezka, const QByteArray& tresc = {},
               const QString& token = {}, quint16 port = 0)
    {
        QNetworkRequest r(QUrl(u"http://127.0.0.1:%1%2"_s.arg(port ? port : port_).arg(sciezka)));
        r.setRawHeader("Content-Type", "application/json");
        if (!token.isEmpty())
            r.setRawHeader("Authorization", "Bearer " + token.toLatin1());
        r.setTransferTimeout(5000);
        auto* odp = nam_.sendCustomRequest(r, metoda, tresc);
        QEventLoop petla;
        connect(odp, &QNetworkReply::finished, &petla, &QEventLoop::quit);
        petla.exec();
        Odp w{odp->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), odp->readAll()};
        odp->deleteLater();
        odpowiedzi_.append(w.tresc);
        return w;
    }
    Odp dolacz(const QString& imie, const QString& pin, quint16 port = 0)
    {
        return wyslij("POST", u"/api/dolacz"_s,
                      QJsonDocument(QJsonObject{{u"imie"_s, imie}, {u"pin"_s, pin}}).toJson(), {}, port);
    }
    static QByteArray z(const QJsonArray& odp)
    {
        return QJsonDocument(QJsonObject{{u"odpowiedzi"_s, odp}}).toJson();
    }

private slots:
    void init()
    {
        teraz_ = QDateTime(QDate(2026, 3, 2), QTime(8, 0), Qt::UTC);
        QFile::remove(dir_.filePath(u"z.klasa.sqlite"_s));
        auto m = Magazyn::otworz(dir_.filePath(u"z.klasa.sqlite"_s));
        auto t = TestKlasowy::otworz(std::move(*m), {zestawKlasy(), {}, 3, 10, [this] { return teraz_; }, {}},
                                     false);
        test_ = std::move(*t);
        serwer_ = std::make_unique<SerwerKlasy>(*test_);
        port_ = *serwer_->nasluchuj({QHostAddress::LocalHost});
        odpowiedzi_.clear();
    }
    void cleanup()
    {
        serwer_.reset();
        test_.reset();
    }

    void statusy_data()
    {
        QTest::addColumn<QByteArray>("metoda");
        QTest::addColumn<QString>("sciezka");
        QTest::addColumn<QByteArray>("tresc"); // PIN and PUSTE stand for the PIN and an empty sheet
        QTest::addColumn<QString>("stan");     // before the request: "", "oddany", "zamkniety"
        QTest::addColumn<bool>("token");
        QTest::addColumn<int>("status");
        const QByteArray dolacz = R"({"imie": "Ola", "pin": "PIN"})", puste = R"({"odpowiedzi": PUSTE})";
        struct Wiersz
        {
            const char *nazwa, *metoda, *sciezka;
            QByteArray tresc;
            const char* stan;
            bool token;
            int status;
        };
        for (const auto& w : std::initializer_list<Wiersz>{
                 {"join", "POST", "/api/dolacz", dolacz, "", false, 200},
                 {"wrong PIN", "POST", "/api/dolacz", R"({"imie":"Ola","pin":"x"})", "", false, 403},
                 {"join not JSON", "POST", "/api/dolacz", "{\"imie\":", "", false, 400},
                 {"join a list", "POST", "/api/dolacz", "[]", "", false, 400},
                 {"PIN a number", "POST", "/api/dolacz", R"({"imie":"Ola","pin":1234})", "", false, 400},
                 {"blank name", "POST", "/api/dolacz", R"({"imie":" \t ","pin":"PIN"})", "", false, 400},
                 {"join after the end", "POST", "/api/dolacz", dolacz, "zamkniety", false, 410},
                 {"state", "GET", "/api/stan", {}, "", true, 200},
                 {"state, no token", "GET", "/api/stan", {}, "", false, 401},
                 {"save", "PUT", "/api/odpowiedzi", puste, "", true, 204},
                 {"save, no token", "PUT", "/api/odpowiedzi", puste, "", false, 401},
                 {"save wrong shape", "PUT", "/api/odpowiedzi", R"({"odpowiedzi":[1]})", "", true, 400},
                 {"save no field", "PUT", "/api/odpowiedzi", "{}", "", true, 400},
                 {"save not JSON", "PUT", "/api/odpowiedzi", "\xff", "", true, 400},
                 {"save handed in", "PUT", "/api/odpowiedzi", puste, "oddany", true, 409},
                 {"save after the end", "PUT", "/api/odpowiedzi", puste, "zamkniety", true, 410},
                 {"body over 64 KiB", "PUT", "/api/odpowiedzi", QByteArray(65 * 1024 + 1, ' ') + puste, "",
                  true, 413},
                 {"body just under 64 KiB", "PUT", "/api/odpowiedzi", QByteArray(63 * 1024, ' ') + puste, "",
                  true, 204},
                 {"hand in", "POST", "/api/oddaj", puste, "", true, 200},
                 {"hand in twice", "POST", "/api/oddaj", puste, "oddany", true, 409},
                 {"page", "GET", "/", {}, "", false, 200},
                 {"script", "GET", "/uczen.js", {}, "", false, 200},
                 {"style", "GET", "/uczen.css", {}, "", false, 200},
                 {"other file", "GET", "/../../etc/passwd", {}, "", false, 404},
                 {"unknown picture", "GET", "/rysunki/0", {}, "", false, 404},
                 {"API, other method", "GET", "/api/dolacz", {}, "", false, 404},
             })
            QTest::newRow(w.nazwa) << QByteArray(w.metoda) << QString::fromLatin1(w.sciezka) << w.tresc
                                   << QString::fromLatin1(w.stan) << w.token << w.status;
    }
    void statusy()
    {
        QFETCH(QByteArray, metoda);
        QFETCH(QString, sciezka);
        QFETCH(QByteArray, tresc);
        QFETCH(QString, stan);
        QFETCH(bool, token);
        QFETCH(int, status);
        const auto ala = dolacz(u"Ala"_s, test_->pin()).json();
        const auto puste = std::get<TestKlasowy::Stan>(test_->stan(ala[u"token"].toString())).odpowiedzi;
        if (stan == u"oddany")
            QCOMPARE(wyslij("POST", u"/api/oddaj"_s, z(puste), ala[u"token"].toString()).status, 200);
        if (stan == u"zamkniety")
            teraz_ = teraz_.addSecs(600);
        tresc.replace("PIN", test_->pin().toLatin1()).replace("PUSTE", QJsonDocument(puste).toJson());
        const auto w = wyslij(metoda, sciezka, tresc, token ? ala[u"token"].toString() : QString());
        QCOMPARE(w.status, status);
        QVERIFY(status == 204 || !w.tresc.isEmpty());
        if (status >= 400)
            QVERIFY2(!w.json()[u"blad"].toString().isEmpty(), w.tresc.constData());
    }

    // Ten wrong PINs from one address shut it out for 60 s, even with the right PIN.
    void blokadaPinu()
    {
        for (int i = 0; i < TestKlasowy::probyPinu; ++i)
            QCOMPARE(dolacz(u"Ala"_s, u"0000x"_s).status, 403);
        QCOMPARE(dolacz(u"Ala"_s, test_->pin()).status, 429);
        teraz_ = teraz_.addSecs(59);
        QCOMPARE(dolacz(u"Ala"_s, test_->pin()).status, 429);
        teraz_ = teraz_.addSecs(2);
        QCOMPARE(dolacz(u"Ala"_s, test_->pin()).status, 200);
    }

    // A request too big to read is refused before it is read in whole; long headers too.
    void granice_data()
    {
        QTest::addColumn<QByteArray>("zadanie");
        QTest::addColumn<QByteArray>("status");
        QTest::newRow("body")
            << "PUT /api/odpowiedzi HTTP/1.1\r\nHost: a\r\nContent-Length: 100000000\r\n\r\n" +
                   QByteArray(200 * 1024, '[')
            << QByteArray("413");
        QTest::newRow("headers") << "GET / HTTP/1.1\r\nHost: a\r\nX-A: " + QByteArray(10 * 1024, 'a') +
                                        "\r\n\r\n"
                                 << QByteArray("431");
        // What the server does not speak is refused, never taken for something else.
        for (const auto& [nazwa, z, st] :
             std::initializer_list<std::tuple<const char*, QByteArray, QByteArray>>{
                 {"chunked", "PUT /api/odpowiedzi HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n",
                  "501"},
                 {"two lengths", "PUT / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab", "400"},
                 {"folded header", "GET / HTTP/1.1\r\nHost: a\r\n b\r\n\r\n", "400"},
                 {"bare LF", "GET / HTTP/1.1\nHost: a\r\n\r\n", "400"},
                 {"HTTP/2", "GET / HTTP/2.0\r\n\r\n", "505"},
                 {"not a path", "GET * HTTP/1.1\r\n\r\n", "400"},
                 // Two requests at once are answered in turn; the body waits for "100 Continue".
                 {"pipelined", "GET /x HTTP/1.1\r\n\r\nGET / HTTP/1.1\r\nConnection: close\r\n\r\n",
                  "404*200"},
                 {"continue", "PUT /x HTTP/1.1\r\nExpect: 100-continue\r\nContent-Length: 2\r\n\r\n", "100"},
             })
            QTest::newRow(nazwa) << z << st;
    }
    void granice()
    {
        QFETCH(QByteArray, zadanie);
        QFETCH(QByteArray, status);
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, port_);
        QVERIFY(s.waitForConnected(5000));
        s.write(zadanie);
        QByteArray odp;
        QTRY_VERIFY_WITH_TIMEOUT((odp += s.readAll()).contains("\r\n\r\n"), 5000);
        const auto statusy = status.split('*');
        QTRY_VERIFY_WITH_TIMEOUT((odp += s.readAll()).count("HTTP/1.1 ") >= statusy.size(), 5000);
        for (qsizetype i = 0, od = 0; i < statusy.size(); od = odp.indexOf("HTTP/1.1 ", od) + 1, ++i)
            QVERIFY2(odp.indexOf("HTTP/1.1 " + statusy[i], od) == odp.indexOf("HTTP/1.1 ", od),
                     odp.constData());
    }

    // At 256 open connections the one quiet longest is closed, and a new pupil is still served.
    void wolnePolaczenia()
    {
        std::vector<std::unique_ptr<QTcpSocket>> s;
        for (int i = 0; i < SerwerKlasy::maksPolaczen; ++i) {
            s.push_back(std::make_unique<QTcpSocket>());
            s.back()->connectToHost(QHostAddress::LocalHost, port_);
            QVERIFY(s.back()->waitForConnected(5000));
            QTest::qWait(i % 64 ? 0 : 5);
        }
        QCOMPARE(wyslij("GET", u"/"_s).status, 200);
        QTRY_COMPARE_WITH_TIMEOUT(s.front()->state(), QAbstractSocket::UnconnectedState, 5000);
        QCOMPARE(s.back()->state(), QAbstractSocket::ConnectedState);
        // A connection quiet for too long is closed anyway, and the server goes on serving.
        serwer_->ustawBezczynnosc(300);
        QTRY_COMPARE_WITH_TIMEOUT(s.back()->state(), QAbstractSocket::UnconnectedState, 5000);
        QCOMPARE(wyslij("GET", u"/"_s).status, 200);
    }

    // No reply to a pupil holds a mark, a model answer, a right index or another pupil's data.
    void przeciwnik()
    {
        QCOMPARE(dolacz(u"Bartek Tajny"_s, test_->pin()).status, 200);
        const auto ala = dolacz(u"Ala"_s, test_->pin()).json();
        const auto token = ala[u"token"].toString();
        wyslij("GET", u"/api/stan"_s, {}, token);
        wyslij("GET", u"/"_s);
        wyslij("GET", u"/uczen.js"_s);
        wyslij("PUT", u"/api/odpowiedzi"_s, z(QJsonArray{1, 2}), token);
        const auto dobre = dobreOdpowiedzi(ala[u"pytania"].toArray());
        QCOMPARE(wyslij("POST", u"/api/oddaj"_s, z(dobre), token).json(), (QJsonObject{{u"oddano"_s, true}}));
        const QSet<QString> klucze{u"token"_s, u"koniec"_s,     u"pytania"_s, u"nr"_s,     u"typ"_s,
                                   u"tresc"_s, u"odpowiedzi"_s, u"rysunek"_s, u"oddano"_s, u"blad"_s};
        std::function<void(const QJsonValue&)> obejdz = [&](const QJsonValue& v) {
            for (const auto& e : v.toArray())
                obejdz(e);
            const auto o = v.toObject();
            for (auto it = o.begin(); it != o.end(); ++it) {
                QVERIFY2(klucze.contains(it.key()), qPrintable(it.key()));
                obejdz(it.value());
            }
        };
        for (const auto& b : std::as_const(odpowiedzi_)) {
            QVERIFY2(!b.contains("Warszawa") && !b.contains("Bartek") && !b.contains("Epsilon"),
                     b.constData());
            obejdz(QJsonDocument::fromJson(b).object());
        }
        // The points come back only while the teacher shows them; one pupil's, nobody else's.
        QVERIFY(test_->ustawPokaz(true));
        const auto ola = dolacz(u"Ola"_s, test_->pin()).json();
        const auto wynik = wyslij("POST", u"/api/oddaj"_s, z(dobreOdpowiedzi(ola[u"pytania"].toArray())),
                                  ola[u"token"].toString());
        QCOMPARE(wynik.json(),
                 QJsonDocument::fromJson(R"({"oddano":true,"punkty":7,"maks":7,"procent":100})").object());
    }

    // A server killed mid-save and started again loses no answer it acknowledged.
    void zabityWTrakcie()
    {
        const auto plik = dir_.filePath(u"dziecko.klasa.sqlite"_s);
        QProcess p;
        auto uruchom = [&](const QStringList& args) {
            p.start(QStringLiteral(SERWER_DZIECKO), args);
            return p.waitForReadyRead(10000) ? QString::fromLatin1(p.readLine()).trimmed().split(u' ')
                                             : QStringList();
        };
        const auto pierwszy = uruchom({plik});
        QCOMPARE(pierwszy.size(), 2);
        const auto port = quint16(pierwszy[0].toInt());
        const auto ala = dolacz(u"Ala"_s, pierwszy[1], port).json();
        const auto token = ala[u"token"].toString();
        auto arkusz = [&](int i) { // answers that differ from save to save
            QJsonArray a;
            for (const auto& p : ala[u"pytania"].toArray())
                a.append(p[u"typ"] == u"tekst"_s   ? QJsonValue(u"v%1"_s.arg(i))
                         : p[u"typ"] == u"opcja"_s ? QJsonValue(i % 4)
                                                   : QJsonValue(QJsonArray{i % 4}));
            return a;
        };
        QJsonArray potwierdzone, odp;
        for (int i = 0; i < 30; ++i)
            QCOMPARE(wyslij("PUT", u"/api/odpowiedzi"_s, z(potwierdzone = arkusz(i)), token, port).status,
                     204);
        QNetworkRequest r(QUrl(u"http://127.0.0.1:%1/api/odpowiedzi"_s.arg(port)));
        r.setRawHeader("Authorization", "Bearer " + token.toLatin1());
        auto* wToku = nam_.put(r, z(odp = arkusz(30)));
        QTest::qWait(1);
        ::kill(pid_t(p.processId()), SIGKILL);
        QVERIFY(p.waitForFinished(5000));
        wToku->abort();
        const auto drugi = uruchom({plik, u"wznow"_s});
        QCOMPARE(drugi.value(1), pierwszy[1]);
        const auto stan = wyslij("GET", u"/api/stan"_s, {}, token, quint16(drugi[0].toInt())).json();
        QVERIFY2(stan[u"odpowiedzi"] == potwierdzone || stan[u"odpowiedzi"] == odp,
                 QJsonDocument(stan).toJson().constData());
        p.kill();
        p.waitForFinished(5000);
    }

    // When the store cannot grow the pupil is told to try again and nothing acknowledged is lost.
    void magazynPelny()
    {
        const auto plik = dir_.filePath(u"pelny.klasa.sqlite"_s);
        QProcess p;
        p.start(QStringLiteral(SERWER_DZIECKO), {plik});
        QVERIFY(p.waitForReadyRead(10000));
        const auto start = QString::fromLatin1(p.readLine()).trimmed().split(u' ');
        const auto port = quint16(start.value(0).toInt());
        const auto ala = dolacz(u"Ala"_s, start.value(1), port).json();
        const auto token = ala[u"token"].toString();
        const auto dobre = dobreOdpowiedzi(ala[u"pytania"].toArray());
        auto polecenie = [&](const char* c) {
            p.write(c);
            return p.waitForReadyRead(5000) && p.readLine() == "ok\n";
        };
        QVERIFY(polecenie("limit\n"));
        const auto w = wyslij("PUT", u"/api/odpowiedzi"_s, z(dobre), token, port);
        QCOMPARE(w.status, 503);
        QVERIFY(w.json()[u"blad"].toString().contains(u"Spróbuj ponownie"_s));
        QVERIFY(p.readAllStandardError().startsWith("blad "));
        QVERIFY(wyslij("GET", u"/api/stan"_s, {}, token, port).json()[u"odpowiedzi"] != dobre);
        QVERIFY(polecenie("bez\n"));
        QCOMPARE(wyslij("PUT", u"/api/odpowiedzi"_s, z(dobre), token, port).status, 204);
        QCOMPARE(wyslij("GET", u"/api/stan"_s, {}, token, port).json()[u"odpowiedzi"], QJsonValue(dobre));
        p.kill();
        p.waitForFinished(5000);
    }
};

QTEST_GUILESS_MAIN(TstSerwerKlasy)
#include "tst_serwerklasy.moc"
