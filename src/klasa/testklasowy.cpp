#include "testklasowy.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

#include <algorithm>

using namespace klasa;

namespace {

// Secrets come from the system's generator, never from the draw's source, which tests fix.
QString losowyHex(int bajty)
{
    QByteArray b(bajty, Qt::Uninitialized);
    QRandomGenerator::system()->generate(b.begin(), b.end());
    return QString::fromLatin1(b.toHex());
}

QByteArray zwarty(const QJsonArray& a)
{
    return QJsonDocument(a).toJson(QJsonDocument::Compact);
}

// Trimmed, inner runs of blanks as one space, no control characters, at most 60 characters.
QString imieUcznia(const QString& imie)
{
    QString w;
    for (const QChar c : imie)
        w.append(c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ? u' ' : c);
    w = w.simplified().left(TestKlasowy::maksImienia);
    if (!w.isEmpty() && w.back().isHighSurrogate())
        w.chop(1);
    return w;
}

QString klucz(const QString& imie)
{
    return imie.toCaseFolded();
}

// A cell a spreadsheet would take for a formula is made text.
QString komorka(QString s)
{
    if (!s.isEmpty() && QStringView(u"=+-@").contains(s.front()))
        s.prepend(u'\'');
    if (s.contains(u';') || s.contains(u'"') || s.contains(u'\n') || s.contains(u'\r'))
        s = u'"' + s.replace(u'"', QStringLiteral("\"\"")) + u'"';
    return s;
}

QString liczbaPl(double d)
{
    return QString::number(d, 'f', 1).replace(u'.', u',');
}

} // namespace

TestKlasowy::TestKlasowy(std::unique_ptr<Magazyn> m, Ustawienia u) : magazyn_(std::move(m)), u_(std::move(u))
{
    if (!u_.zegar)
        u_.zegar = [] { return QDateTime::currentDateTimeUtc(); };
    if (!u_.los)
        u_.los = losowanie::zrodlo(QRandomGenerator::system()->generate64());
    for (qsizetype i = 0; i < u_.zestaw.size(); ++i)
        if (reguly::jestRysunkiem(u_.zestaw[i].rysunek)) {
            const auto id = losowyHex(12);
            rysunkiPytan_.insert(static_cast<int>(i), id);
            rysunki_.insert(id, QDir(u_.folder).filePath(u_.zestaw[i].rysunek));
        }
    zegarKonca_.setInterval(1000);
    connect(&zegarKonca_, &QTimer::timeout, this, &TestKlasowy::sprawdzCzas);
    zegarKonca_.start();
}

TestKlasowy::~TestKlasowy()
{
    (void)zatwierdz();
}

::Wynik<std::unique_ptr<TestKlasowy>> TestKlasowy::otworz(std::unique_ptr<Magazyn> magazyn, Ustawienia u,
                                                          bool wznow)
{
    auto stary = magazyn->niedokonczony();
    if (!stary)
        return stary.error();
    std::unique_ptr<TestKlasowy> t(new TestKlasowy(std::move(magazyn), std::move(u)));
    if (wznow && stary->has_value()) {
        t->test_ = **stary;
        auto zapisani = t->magazyn_->uczniowie(t->test_.id);
        if (!zapisani)
            return zapisani.error();
        for (const auto& z : *zapisani) {
            const auto arkusz =
                arkuszZJson(QJsonDocument::fromJson(z.arkusz).array(), int(t->u_.zestaw.size()));
            const auto odp =
                arkusz ? odpowiedziZJson(QJsonDocument::fromJson(z.odpowiedzi).array(), t->u_.zestaw, *arkusz)
                       : std::nullopt;
            if (!odp)
                return Blad{Blad::Rodzaj::ZleDane, z.imie};
            t->tokeny_.insert(z.token, t->uczniowie_.size());
            t->imiona_.insert(klucz(z.imie), t->uczniowie_.size());
            t->uczniowie_.append({z, *arkusz, *odp});
        }
        return t;
    }
    if (stary->has_value()) {
        // Starting anew ends the unfinished test, so it cannot be continued later by mistake.
        if (auto z = t->magazyn_->zakoncz((*stary)->id, t->teraz()); !z)
            return z.error();
    }
    t->test_.pin = QStringLiteral("%1").arg(QRandomGenerator::system()->bounded(10000), 4, 10, QChar(u'0'));
    t->test_.koniec = t->teraz().addSecs(qint64(std::max(t->u_.minuty, 0)) * 60);
    t->test_.liczba = t->u_.liczba;
    auto id = t->magazyn_->nowyTest(t->test_);
    if (!id)
        return id.error();
    t->test_.id = *id;
    return t;
}

QDateTime TestKlasowy::teraz() const
{
    return u_.zegar().toUTC();
}

qint64 TestKlasowy::pozostaloSekund() const
{
    return test_.zakonczony ? 0 : std::max<qint64>(teraz().secsTo(test_.koniec), 0);
}

TestKlasowy::Odmowa TestKlasowy::zapisBledny(const Blad& b)
{
    emit bladZapisu(b);
    return Odmowa::Zapis;
}

// The batch the pupils' changes go to, begun by the first of them; its commit comes after this
// turn of the event loop, so every request that arrived with it shares one sync of the disk.
std::optional<Blad> TestKlasowy::partia()
{
    if (partia_)
        return std::nullopt;
    if (auto z = magazyn_->zacznij(); !z)
        return z.error();
    partia_ = true;
    QTimer::singleShot(0, this, [this] { (void)zatwierdz(); });
    return std::nullopt;
}

// Before pupil i is changed in memory: kept to be undone should the commit fail.
void TestKlasowy::zmieniany(qsizetype i, bool nowy)
{
    cofnij_.append({i, nowy ? std::nullopt : std::optional(uczniowie_[i])});
}

// The batch failed: the store rolls back and the pupils are as the disk holds them.
TestKlasowy::Odmowa TestKlasowy::porzuc(const Blad& b)
{
    magazyn_->wycofaj();
    partia_ = false;
    for (auto it = cofnij_.crbegin(); it != cofnij_.crend(); ++it) {
        tokeny_.remove(uczniowie_[it->i].zapis.token);
        if (it->przed) {
            uczniowie_[it->i] = *it->przed;
            tokeny_.insert(it->przed->zapis.token, it->i);
        } else {
            imiona_.remove(klucz(uczniowie_[it->i].zapis.imie));
            uczniowie_.removeAt(it->i);
        }
    }
    cofnij_.clear();
    emit zapisano(false);
    return zapisBledny(b);
}

::Wynik<void> TestKlasowy::zatwierdz()
{
    if (!partia_)
        return {};
    if (auto z = magazyn_->zatwierdz(); !z) {
        porzuc(z.error());
        return z;
    }
    partia_ = false;
    const bool zmienione = !cofnij_.isEmpty();
    cofnij_.clear();
    emit zapisano(true);
    if (zmienione)
        emit zmiana();
    return {};
}

TestKlasowy::Uczen* TestKlasowy::uczen(const QString& token)
{
    const auto it = tokeny_.constFind(token);
    return it == tokeny_.cend() ? nullptr : &uczniowie_[*it];
}

std::optional<TestKlasowy::Odmowa> TestKlasowy::otwarty()
{
    sprawdzCzas();
    return test_.zakonczony ? std::optional(Odmowa::Zamkniety) : std::nullopt;
}

QJsonArray TestKlasowy::pytaniaDla(const Arkusz& a) const
{
    QJsonArray w;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const auto& p = u_.zestaw[a[i].pytanie];
        const auto typ = typDlaUcznia(p);
        QJsonArray odp;
        // A typed answer's first answer is its model answer: it never leaves the server.
        if (typ != u"tekst")
            for (int k : a[i].kolejnosc)
                odp.append(p.odpowiedzi[k]);
        const auto rys = rysunkiPytan_.value(a[i].pytanie);
        w.append(
            QJsonObject{{u"nr"_qs, int(i + 1)},
                        {u"typ"_qs, typ},
                        {u"tresc"_qs, p.tresc},
                        {u"odpowiedzi"_qs, odp},
                        {u"rysunek"_qs, rys.isEmpty() ? QJsonValue() : QJsonValue(u"/rysunki/"_qs + rys)}});
    }
    return w;
}

TestKlasowy::Albo<TestKlasowy::Dolaczenie> TestKlasowy::dolacz(const QString& imie, const QString& pin,
                                                               const QHostAddress& adres)
{
    const auto kto = adres.toString();
    if (const auto it = proby_.find(kto); it != proby_.end() && it->do_.isValid()) {
        if (teraz() < it->do_)
            return Odmowa::Blokada;
        proby_.erase(it);
    }
    if (pin != test_.pin) {
        // The table of addresses stays bounded: past its size only the blocked ones are kept.
        if (proby_.size() >= 4096)
            proby_.removeIf(
                [this](const auto& e) { return !e.value().do_.isValid() || teraz() >= e.value().do_; });
        auto& proby = proby_[kto];
        if (++proby.zle >= probyPinu)
            proby.do_ = teraz().addSecs(blokadaSekund);
        return Odmowa::ZlyPin;
    }
    if (auto z = otwarty())
        return *z;
    const auto nazwa = imieUcznia(imie);
    if (nazwa.isEmpty())
        return Odmowa::BrakImienia;
    const auto znany = imiona_.constFind(klucz(nazwa));
    const auto it = znany == imiona_.cend() ? uczniowie_.end() : uczniowie_.begin() + *znany;
    const auto token = losowyHex(24);
    if (it != uczniowie_.end()) {
        if (it->zapis.oddano.isValid())
            return Odmowa::Oddano;
        if (!it->zapis.zwolniony)
            return Odmowa::ImieZajete;
        if (auto b = partia())
            return zapisBledny(*b);
        if (auto z = magazyn_->nowyToken(it->zapis.id, token); !z)
            return porzuc(z.error());
        zmieniany(it - uczniowie_.begin(), false);
        tokeny_.remove(it->zapis.token);
        it->zapis.token = token;
        it->zapis.zwolniony = false;
        tokeny_.insert(token, it - uczniowie_.begin());
        return Dolaczenie{token, test_.koniec, pytaniaDla(it->arkusz)};
    }
    if (uczniowie_.size() >= maksUczniow)
        return Odmowa::Komplet;
    Uczen u;
    u.arkusz = wylosujArkusz(int(u_.zestaw.size()), test_.liczba, u_.los);
    u.odpowiedzi = puste(u.arkusz);
    u.zapis.imie = nazwa;
    u.zapis.token = token;
    u.zapis.arkusz = zwarty(arkuszDoJson(u.arkusz));
    u.zapis.odpowiedzi = zwarty(odpowiedziDoJson(u_.zestaw, u.arkusz, u.odpowiedzi));
    if (auto b = partia())
        return zapisBledny(*b);
    auto id = magazyn_->dolacz(test_.id, u.zapis);
    if (!id)
        return porzuc(id.error());
    u.zapis.id = *id;
    zmieniany(uczniowie_.size(), true);
    tokeny_.insert(token, uczniowie_.size());
    imiona_.insert(klucz(nazwa), uczniowie_.size());
    uczniowie_.append(u);
    return Dolaczenie{token, test_.koniec, pytaniaDla(u.arkusz)};
}

TestKlasowy::Albo<TestKlasowy::Stan> TestKlasowy::stan(const QString& token)
{
    sprawdzCzas();
    const auto* u = uczen(token);
    if (!u)
        return Odmowa::NieznanyToken;
    const bool oddal = u->zapis.oddano.isValid() && !u->zapis.poCzasie;
    if (!oddal && test_.zakonczony)
        return Odmowa::Zamkniety;
    return Stan{
        pytaniaDla(u->arkusz), odpowiedziDoJson(u_.zestaw, u->arkusz, u->odpowiedzi), oddal, test_.koniec,
        oddal && test_.pokaz ? std::optional(ocen(u_.zestaw, u->arkusz, u->odpowiedzi).suma) : std::nullopt};
}

// What saving and handing in both check first: a known pupil, answers of the sheet's shape, not
// yet handed in, the test still open.
TestKlasowy::Albo<TestKlasowy::Przyjete> TestKlasowy::przyjmij(const QString& token,
                                                               const QJsonValue& odpowiedzi)
{
    auto* u = uczen(token);
    if (!u)
        return Odmowa::NieznanyToken;
    auto odp = odpowiedziZJson(odpowiedzi, u_.zestaw, u->arkusz);
    if (!odp)
        return Odmowa::ZlyKsztalt;
    if (u->zapis.oddano.isValid() && !u->zapis.poCzasie)
        return Odmowa::Oddano;
    if (auto z = otwarty())
        return *z;
    auto json = zwarty(odpowiedziDoJson(u_.zestaw, u->arkusz, *odp));
    return Przyjete{u, std::move(*odp), std::move(json)};
}

std::optional<TestKlasowy::Odmowa> TestKlasowy::zapisz(const QString& token, const QJsonValue& odpowiedzi)
{
    auto w = przyjmij(token, odpowiedzi);
    if (auto* o = std::get_if<Odmowa>(&w))
        return *o;
    auto& [u, odp, json] = std::get<Przyjete>(w);
    if (auto b = partia())
        return zapisBledny(*b);
    if (auto z = magazyn_->zapisz(u->zapis.id, json); !z)
        return porzuc(z.error());
    zmieniany(u - uczniowie_.data(), false);
    u->odpowiedzi = odp;
    u->zapis.odpowiedzi = json;
    return std::nullopt;
}

TestKlasowy::Albo<TestKlasowy::Oddanie> TestKlasowy::oddaj(const QString& token, const QJsonValue& odpowiedzi)
{
    auto w = przyjmij(token, odpowiedzi);
    if (auto* o = std::get_if<Odmowa>(&w))
        return *o;
    auto& [u, odp, json] = std::get<Przyjete>(w);
    const auto kiedy = teraz();
    if (auto b = partia())
        return zapisBledny(*b);
    if (auto z = magazyn_->oddaj(u->zapis.id, json, kiedy, false); !z)
        return porzuc(z.error());
    zmieniany(u - uczniowie_.data(), false);
    u->odpowiedzi = odp;
    u->zapis.odpowiedzi = json;
    u->zapis.oddano = kiedy;
    if (!test_.pokaz)
        return Oddanie{};
    return Oddanie{ocen(u_.zestaw, u->arkusz, u->odpowiedzi).suma};
}

QString TestKlasowy::rysunek(const QString& id) const
{
    const auto plik = rysunki_.value(id);
    if (plik.isEmpty())
        return {};
    // Only a file inside the set's folder, whatever the stored name says.
    const auto folder = QFileInfo(u_.folder).canonicalFilePath();
    const auto sciezka = QFileInfo(plik).canonicalFilePath();
    if (sciezka.isEmpty() || !sciezka.startsWith(folder + u'/') || !QFileInfo(sciezka).isFile())
        return {};
    return sciezka;
}

::Wynik<void> TestKlasowy::ustawPokaz(bool pokaz)
{
    (void)zatwierdz();
    if (auto z = magazyn_->ustawPokaz(test_.id, pokaz); !z)
        return z;
    test_.pokaz = pokaz;
    return {};
}

::Wynik<void> TestKlasowy::zakoncz()
{
    if (test_.zakonczony)
        return {};
    (void)zatwierdz();
    const auto kiedy = teraz();
    if (auto z = magazyn_->zakoncz(test_.id, kiedy); !z) {
        emit bladZapisu(z.error());
        return z;
    }
    test_.zakonczony = true;
    zegarKonca_.stop();
    for (auto& u : uczniowie_)
        if (!u.zapis.oddano.isValid()) {
            u.zapis.oddano = kiedy;
            u.zapis.poCzasie = true;
        }
    emit zmiana();
    return {};
}

void TestKlasowy::sprawdzCzas()
{
    if (!test_.zakonczony && teraz() >= test_.koniec)
        (void)zakoncz();
}

QList<TestKlasowy::Wiersz> TestKlasowy::wiersze() const
{
    QList<Wiersz> w;
    for (const auto& u : uczniowie_) {
        const auto o = ocen(u_.zestaw, u.arkusz, u.odpowiedzi).suma;
        const auto stan = !u.zapis.oddano.isValid() ? u"pisze"_qs
                          : u.zapis.poCzasie        ? u"po czasie"_qs
                                                    : u"oddał"_qs;
        w.append({u.zapis.id, u.zapis.imie, stan, o.punkty, o.maks, reguly::procent(o.punkty, o.maks),
                  u.zapis.oddano});
    }
    return w;
}

QList<TestKlasowy::OdpowiedzNaPytanie> TestKlasowy::odpowiedziUcznia(qint64 id) const
{
    QList<OdpowiedzNaPytanie> w;
    for (const auto& u : uczniowie_) {
        if (u.zapis.id != id)
            continue;
        const auto o = ocen(u_.zestaw, u.arkusz, u.odpowiedzi);
        for (qsizetype i = 0; i < u.arkusz.size(); ++i) {
            const auto& p = u_.zestaw[u.arkusz[i].pytanie];
            QStringList wybrane;
            for (int k : u.odpowiedzi[i].zaznaczone)
                wybrane.append(p.odpowiedzi[u.arkusz[i].kolejnosc[k]]);
            w.append({int(i + 1), u.arkusz[i].pytanie, p.tresc,
                      typDlaUcznia(p) == u"tekst" ? u.odpowiedzi[i].wpisana : wybrane.join(u"; "),
                      o.pytania[i]});
        }
    }
    return w;
}

QList<TestKlasowy::WierszPytania> TestKlasowy::pytania() const
{
    QMap<int, WierszPytania> m;
    for (const auto& u : uczniowie_) {
        const auto o = ocen(u_.zestaw, u.arkusz, u.odpowiedzi);
        for (qsizetype i = 0; i < u.arkusz.size(); ++i) {
            auto& r = m[u.arkusz[i].pytanie];
            r.pytanie = u.arkusz[i].pytanie;
            ++r.ilu;
            r.punkty += o.pytania[i].punkty;
            r.maks += o.pytania[i].maks;
        }
    }
    QList<WierszPytania> w;
    for (auto r : m) {
        r.udzial = r.maks ? double(r.punkty) / r.maks : 0;
        w.append(r);
    }
    std::stable_sort(w.begin(), w.end(), [](const auto& a, const auto& b) { return a.udzial < b.udzial; });
    return w;
}

::Wynik<void> TestKlasowy::zwolnij(qint64 id)
{
    (void)zatwierdz();
    for (auto& u : uczniowie_)
        if (u.zapis.id == id && !u.zapis.oddano.isValid()) {
            if (auto z = magazyn_->zwolnij(id); !z)
                return z;
            u.zapis.zwolniony = true;
            emit zmiana();
            return {};
        }
    return Blad{Blad::Rodzaj::PozaZakresem, QString::number(id)};
}

QByteArray TestKlasowy::csv() const
{
    QStringList naglowek{u"Uczeń"_qs, u"Punkty"_qs, u"Maks."_qs, u"Procent"_qs, u"Oddano"_qs};
    for (qsizetype i = 0; i < u_.zestaw.size(); ++i)
        naglowek.append(QString::number(i + 1));
    QString s = naglowek.join(u';') + QStringLiteral("\r\n");
    for (const auto& u : uczniowie_) {
        const auto o = ocen(u_.zestaw, u.arkusz, u.odpowiedzi);
        const auto pr = reguly::procent(o.suma.punkty, o.suma.maks);
        QStringList wiersz{komorka(u.zapis.imie), QString::number(o.suma.punkty),
                           QString::number(o.suma.maks), pr ? liczbaPl(*pr) : QString(),
                           u.zapis.oddano.isValid() && !u.zapis.poCzasie
                               ? u.zapis.oddano.toLocalTime().toString(u"yyyy-MM-dd HH:mm:ss")
                               : QString()};
        QStringList pytania(u_.zestaw.size());
        for (qsizetype i = 0; i < u.arkusz.size(); ++i)
            pytania[u.arkusz[i].pytanie] = QString::number(o.pytania[i].punkty);
        s += (wiersz + pytania).join(u';') + QStringLiteral("\r\n");
    }
    // The mark tells a spreadsheet the file is UTF-8.
    return QByteArray("\xEF\xBB\xBF") + s.toUtf8();
}
