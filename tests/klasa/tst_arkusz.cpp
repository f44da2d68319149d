#include "kodqr.h"
#include "sequence.h"
#include "tempdir.h"
#include "zestawklasy.h"

#include <QJsonDocument>
#include <QtTest>

using namespace klasa;

class TstArkusz : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QDateTime teraz_ = QDateTime(QDate(2026, 3, 2), QTime(8, 0), Qt::UTC);

    std::unique_ptr<TestKlasowy> otworz(bool wznow = false)
    {
        auto m = Magazyn::otworz(Magazyn::plikDla(dir_.filePath(u"zestaw.dat"_s)));
        if (!m)
            return nullptr;
        auto t = TestKlasowy::otworz(std::move(*m), {zestawKlasy(), {}, 3, 10, [this] { return teraz_; }, {}},
                                     wznow);
        return t ? std::move(*t) : nullptr;
    }

private slots:
    void losowanie_data()
    {
        QTest::addColumn<int>("wZestawie");
        QTest::addColumn<int>("n");
        QTest::newRow("part") << 10 << 4;
        QTest::newRow("all") << 5 << 5;
        QTest::newRow("more than the set") << 3 << 7;
        QTest::newRow("none") << 4 << 0;
        QTest::newRow("empty set") << 0 << 3;
    }
    // Each pupil gets n distinct questions, each with its answers in an order of its own, and over
    // many pupils every question and every answer reaches every place.
    void losowanie()
    {
        QFETCH(int, wZestawie);
        QFETCH(int, n);
        const int ile = std::min(wZestawie, n);
        auto los = losowanie::zrodlo(7);
        QSet<std::pair<int, int>> miejscaPytan, miejscaOdpowiedzi;
        for (int uczen = 0; uczen < 300; ++uczen) {
            const auto a = wylosujArkusz(wZestawie, n, los);
            QCOMPARE(a.size(), ile);
            QSet<int> pytania;
            for (qsizetype i = 0; i < a.size(); ++i) {
                pytania.insert(a[i].pytanie);
                miejscaPytan.insert({int(i), a[i].pytanie});
                for (int k = 0; k < naStronie; ++k)
                    miejscaOdpowiedzi.insert({k, a[i].kolejnosc[k]});
            }
            QCOMPARE(pytania.size(), a.size());
            QCOMPARE(arkuszZJson(arkuszDoJson(a), wZestawie), std::optional(a));
        }
        QCOMPARE(miejscaPytan.size(), ile * wZestawie);
        QCOMPARE(miejscaOdpowiedzi.size(), ile ? 16 : 0);
    }

    // The draw comes from the source it is given, so a test can fix it.
    void losowanieZeZrodla()
    {
        QCOMPARE(wylosujArkusz(3, 3, sequence({0.99, 0.0, 0.5, 0.1, 0.2, 0.3, 0.4})).first().pytanie, 2);
        QCOMPARE(wylosujArkusz(9, 9, losowanie::zrodlo(3)), wylosujArkusz(9, 9, losowanie::zrodlo(3)));
        QVERIFY(wylosujArkusz(9, 9, losowanie::zrodlo(3)) != wylosujArkusz(9, 9, losowanie::zrodlo(4)));
    }

    void punktacja_data()
    {
        QTest::addColumn<int>("pytanie");
        QTest::addColumn<QByteArray>("odpowiedz"); // in shown order, as the pupil sends it
        QTest::addColumn<int>("punkty");
        QTest::addColumn<int>("maks");
        // Shown order 3,2,1,0: shown 1 is stored 2, the right single choice.
        QTest::newRow("single right") << 0 << QByteArray("1") << 1 << 1;
        QTest::newRow("single, stored index") << 0 << QByteArray("2") << 0 << 1;
        QTest::newRow("single none") << 0 << QByteArray("null") << 0 << 1;
        QTest::newRow("multiple right") << 1 << QByteArray("[3,1]") << 4 << 4;
        QTest::newRow("multiple, stored indexes") << 1 << QByteArray("[0,2]") << -4 << 4;
        QTest::newRow("multiple one of two") << 1 << QByteArray("[3]") << 2 << 4;
        QTest::newRow("typed") << 2 << QByteArray("\"Warszawa\"") << 2 << 2;
        QTest::newRow("typed, case counts") << 2 << QByteArray("\"warszawa\"") << 0 << 2;
    }
    // What the pupil chose in the order shown reaches the rule book in the set's order.
    void punktacja()
    {
        QFETCH(int, pytanie);
        QFETCH(QByteArray, odpowiedz);
        QFETCH(int, punkty);
        QFETCH(int, maks);
        const auto zestaw = zestawKlasy();
        const Arkusz a{{pytanie, {3, 2, 1, 0}}};
        const auto odp = odpowiedziZJson(QJsonDocument::fromJson("[" + odpowiedz + "]").array(), zestaw, a);
        QVERIFY(odp);
        QCOMPARE(ocen(zestaw, a, *odp).suma, (reguly::Punkty{punkty, maks}));
        QCOMPARE(odpowiedziZJson(odpowiedziDoJson(zestaw, a, *odp), zestaw, a), odp);
    }

    void zleOdpowiedzi_data()
    {
        QTest::addColumn<QByteArray>("json"); // answers to single, multiple, typed
        QTest::newRow("not a list") << QByteArray("{\"a\":1}");
        QTest::newRow("too few") << QByteArray("[null,[]]");
        QTest::newRow("too many") << QByteArray("[null,[],\"\",1]");
        QTest::newRow("single out of range") << QByteArray("[4,[],\"\"]");
        QTest::newRow("single negative") << QByteArray("[-1,[],\"\"]");
        QTest::newRow("single fraction") << QByteArray("[1.5,[],\"\"]");
        QTest::newRow("single huge") << QByteArray("[1e300,[],\"\"]");
        QTest::newRow("single as text") << QByteArray("[\"1\",[],\"\"]");
        QTest::newRow("single as list") << QByteArray("[[1],[],\"\"]");
        QTest::newRow("multiple repeated") << QByteArray("[null,[1,1],\"\"]");
        QTest::newRow("multiple too long") << QByteArray("[null,[0,1,2,3,0],\"\"]");
        QTest::newRow("multiple as number") << QByteArray("[null,2,\"\"]");
        QTest::newRow("multiple with null") << QByteArray("[null,[null],\"\"]");
        QTest::newRow("typed as number") << QByteArray("[null,[],5]");
        QTest::newRow("typed longer than the field") << QByteArray("[null,[],\"123456789012345678901\"]");
    }
    void zleOdpowiedzi()
    {
        QFETCH(QByteArray, json);
        const Arkusz a{{0}, {1}, {2}};
        const auto d = QJsonDocument::fromJson(json);
        QVERIFY(
            !odpowiedziZJson(d.isArray() ? QJsonValue(d.array()) : QJsonValue(d.object()), zestawKlasy(), a));
        QVERIFY(odpowiedziZJson(QJsonDocument::fromJson("[3,[3,0],\"12345678901234567890\"]").array(),
                                zestawKlasy(), a));
    }

    // A killed program continues the same test: the PIN, the deadline and every saved answer.
    void wznowienie()
    {
        QString token, pin;
        QDateTime koniec;
        QJsonArray odp;
        {
            auto t = otworz();
            QVERIFY(t);
            pin = t->pin();
            koniec = t->koniec();
            const auto d = std::get<TestKlasowy::Dolaczenie>(t->dolacz(u"  Ala \t Nowak "_s, pin, {}));
            token = d.token;
            odp = dobreOdpowiedzi(d.pytania);
            QCOMPARE(t->zapisz(token, odp), std::nullopt);
        }
        auto t = otworz(true);
        QVERIFY(t);
        QCOMPARE(t->pin(), pin);
        QCOMPARE(t->koniec(), koniec);
        QCOMPARE(t->wiersze().first().uczen, u"Ala Nowak"_s);
        const auto s = std::get<TestKlasowy::Stan>(t->stan(token));
        QCOMPARE(s.odpowiedzi, odp);
        // A new start instead ends the old test, which no later start continues.
        t.reset();
        t = otworz(false);
        QVERIFY(t->wiersze().isEmpty());
        t.reset();
        QVERIFY(otworz(true)->wiersze().isEmpty());
    }

    // The deadline closes the test and scores what was saved; the teacher sees it and the CSV.
    void koniecCzasu()
    {
        auto t = otworz();
        const auto pin = t->pin();
        const auto a = std::get<TestKlasowy::Dolaczenie>(t->dolacz(u"=Ala"_s, pin, {}));
        const auto b = std::get<TestKlasowy::Dolaczenie>(t->dolacz(u"Bartek; \"B\""_s, pin, {}));
        QCOMPARE(std::get<TestKlasowy::Odmowa>(t->dolacz(u"bartek; \"b\""_s, pin, {})),
                 TestKlasowy::Odmowa::ImieZajete);
        const auto odp = dobreOdpowiedzi(a.pytania);
        QCOMPARE(t->zapisz(a.token, odp), std::nullopt);
        const auto puste = std::get<TestKlasowy::Stan>(t->stan(b.token)).odpowiedzi;
        QVERIFY(std::holds_alternative<TestKlasowy::Oddanie>(t->oddaj(b.token, puste)));
        teraz_ = teraz_.addSecs(10 * 60);
        QCOMPARE(t->zapisz(a.token, odp), TestKlasowy::Odmowa::Zamkniety);
        const auto w = t->wiersze();
        QCOMPARE(w[0].stan, u"po czasie"_s);
        QCOMPARE((std::pair{w[0].punkty, w[0].maks}), (std::pair{7, 7}));
        QCOMPARE(w[1].stan, u"oddał"_s);
        QCOMPARE(t->pytania().size(), 3);
        QVERIFY(t->csv().startsWith("\xEF\xBB\xBF"));
        const auto csv = QString::fromUtf8(t->csv());
        QVERIFY2(csv.startsWith(u"Uczeń;Punkty;Maks.;Procent;Oddano;1;2;3\r\n'=Ala;7;7;100,0;;1;4;2\r\n"_s),
                 qPrintable(csv));
        QVERIFY2(csv.contains(u"\r\n\"Bartek; \"\"B\"\"\";"_s), qPrintable(csv));
    }

    // The teacher releases a name whose browser broke; that pupil joins again to the same sheet.
    void zwolnienie()
    {
        auto t = otworz();
        const auto a = std::get<TestKlasowy::Dolaczenie>(t->dolacz(u"Ala"_s, t->pin(), {}));
        QVERIFY(t->zwolnij(t->wiersze().first().id));
        const auto b = std::get<TestKlasowy::Dolaczenie>(t->dolacz(u"Ala"_s, t->pin(), {}));
        QCOMPARE(b.pytania, a.pytania);
        QCOMPARE(std::get<TestKlasowy::Odmowa>(t->stan(a.token)), TestKlasowy::Odmowa::NieznanyToken);
        QCOMPARE(std::get<TestKlasowy::Odmowa>(t->dolacz(u"Ala"_s, t->pin(), {})),
                 TestKlasowy::Odmowa::ImieZajete);
    }

    // The address as a QR code a phone reads: a valid size with its three finder patterns.
    void kodAdresu()
    {
        const auto k = kodQr(u"http://192.168.100.200:8080/"_s);
        const auto n = k.size();
        QVERIFY(n >= 21 && (n - 17) % 4 == 0);
        for (const auto& [y, x] : {std::pair<size_t, size_t>{0, 0}, {0, n - 7}, {n - 7, 0}})
            for (size_t i = 0; i < 7; ++i)
                QVERIFY(k[y][x + i] && k[y + 6][x + i] && k[y + i][x] && k[y + i][x + 6] && !k[y + 1][x + 1]);
        QVERIFY(kodQr(QString(5000, u'a')).empty());
    }

    void magazynWFolderze()
    {
        QVERIFY(QDir(dir_.path()).mkdir(u"f.klasa.sqlite"_s));
        QCOMPARE(Magazyn::otworz(dir_.filePath(u"f.klasa.sqlite"_s)).error().rodzaj, Blad::Rodzaj::Folder);
    }
};

QTEST_GUILESS_MAIN(TstArkusz)
#include "tst_arkusz.moc"
