#include "serwerklasy.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeDatabase>
#include <QTcpServer>
#include <QTcpSocket>

using Status = http::Status;

// A listening socket; each connection it takes goes straight to the server.
class SerwerKlasy::Gniazdo : public QTcpServer
{
public:
    Gniazdo(SerwerKlasy& s) : QTcpServer(&s), serwer_(s) {}

protected:
    void incomingConnection(qintptr deskryptor) override
    {
        auto* s = new QTcpSocket(this);
        if (!s->setSocketDescriptor(deskryptor)) {
            delete s;
            return;
        }
        serwer_.nowe(s);
    }

private:
    SerwerKlasy& serwer_;
};

namespace {

// The pupil's words for each refusal, and its status.
std::pair<Status, const char16_t*> odmowa(TestKlasowy::Odmowa o)
{
    using O = TestKlasowy::Odmowa;
    switch (o) {
    case O::ZlyKsztalt:
        return {Status::BadRequest, u"Nieprawidłowe dane."};
    case O::BrakImienia:
        return {Status::BadRequest, u"Wpisz imię i nazwisko."};
    case O::NieznanyToken:
        return {Status::Unauthorized, u"Nie znaleziono twojego testu. Dołącz ponownie."};
    case O::ZlyPin:
        return {Status::Forbidden, u"Nieprawidłowy PIN."};
    case O::Oddano:
        return {Status::Conflict, u"Test został już oddany."};
    case O::ImieZajete:
        return {Status::Conflict, u"Uczeń o tym imieniu już pisze test w innej przeglądarce. Poproś "
                                  u"nauczyciela o zwolnienie imienia."};
    case O::Zamkniety:
        return {Status::Gone, u"Test jest zakończony."};
    case O::Blokada:
        return {Status::TooManyRequests, u"Za dużo błędnych PIN-ów. Spróbuj ponownie za minutę."};
    case O::Komplet:
        return {Status::TooManyRequests, u"Test ma już komplet uczniów."};
    case O::Zapis:
        break;
    }
    return {Status::ServiceUnavailable, u"Nie udało się zapisać. Spróbuj ponownie."};
}

const http::Naglowki naglowkiJson = {
    {"Content-Type", "application/json; charset=utf-8"},
    {"Cache-Control", "no-store"},
    {"X-Content-Type-Options", "nosniff"},
};

QByteArray zwarty(const QJsonObject& o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

// A pupil's own points, while the teacher shows them.
void wynik(QJsonObject& j, const std::optional<reguly::Punkty>& w)
{
    if (!w)
        return;
    j.insert(u"punkty"_qs, w->punkty);
    j.insert(u"maks"_qs, w->maks);
    const auto p = reguly::procent(w->punkty, w->maks);
    j.insert(u"procent"_qs, p ? QJsonValue(*p) : QJsonValue());
}

QString czas(const QDateTime& t)
{
    return t.toUTC().toString(Qt::ISODate);
}

QString token(const http::Zapytanie& r)
{
    const auto h = r.naglowek("Authorization");
    return h.startsWith("Bearer ") ? QString::fromLatin1(h.mid(7).trimmed()) : QString();
}

// The body as one JSON object; none for anything else.
std::optional<QJsonObject> obiekt(const http::Zapytanie& r)
{
    QJsonParseError e{};
    const auto d = QJsonDocument::fromJson(r.tresc, &e);
    if (e.error != QJsonParseError::NoError || !d.isObject())
        return std::nullopt;
    return d.object();
}

// The page and its files, from the program's resources; nothing else is served as a file.
const QHash<QString, std::pair<QString, QByteArray>> strony = {
    {u"/"_qs, {u":/klasa/uczen.html"_qs, "text/html; charset=utf-8"}},
    {u"/uczen.js"_qs, {u":/klasa/uczen.js"_qs, "text/javascript; charset=utf-8"}},
    {u"/uczen.css"_qs, {u":/klasa/uczen.css"_qs, "text/css; charset=utf-8"}},
};

} // namespace

// The page lives in this static library's resources, which a program must load by name.
static void zasobyKlasy()
{
    Q_INIT_RESOURCE(klasa);
}

SerwerKlasy::SerwerKlasy(TestKlasowy& test, QObject* parent) : QObject(parent), test_(test)
{
    zasobyKlasy();
    zegar_.start();
    connect(&test_, &TestKlasowy::zapisano, this, &SerwerKlasy::wyslijCzekajace);
    connect(&sprzatanie_, &QTimer::timeout, this, &SerwerKlasy::sprzataj);
    ustawBezczynnosc(bezczynnosc);
}

void SerwerKlasy::ustawBezczynnosc(int ms)
{
    bezczynnosc_ = ms;
    sprzatanie_.start(std::max(ms / 4, 1));
}

// Closes the connections quiet for longer than allowed, so none holds a place for nothing.
void SerwerKlasy::sprzataj()
{
    const auto granica = zegar_.elapsed() - bezczynnosc_;
    QList<QTcpSocket*> stare;
    for (auto it = polaczenia_.cbegin(); it != polaczenia_.cend(); ++it)
        if (it->ostatnio < granica)
            stare.append(it.key());
    for (auto* s : std::as_const(stare)) {
        polaczenia_.remove(s);
        s->abort();
    }
}

SerwerKlasy::~SerwerKlasy()
{
    zatrzymaj();
}

::Wynik<quint16> SerwerKlasy::nasluchuj(const QList<QHostAddress>& adresy, quint16 od)
{
    for (int port = od; port < od + 100 && port <= 65535; ++port) {
        QList<Gniazdo*> nowe;
        for (const auto& a : adresy) {
            auto* g = new Gniazdo(*this);
            nowe.append(g);
            g->setListenBacklogSize(TestKlasowy::maksUczniow); // a whole class may come at once
            if (!g->listen(a, quint16(port)))
                break;
        }
        if (!nowe.isEmpty() && nowe.back()->isListening()) {
            gniazda_.append(nowe);
            return quint16(port);
        }
        qDeleteAll(nowe);
    }
    return Blad{Blad::Rodzaj::Otwarcie, QString::number(od)};
}

void SerwerKlasy::zatrzymaj()
{
    czeka_.clear();
    for (auto* g : std::as_const(gniazda_))
        g->close();
    for (auto* s : polaczenia_.keys())
        s->abort();
}

void SerwerKlasy::nowe(QTcpSocket* s)
{
    // At the limit the connection that has been quiet longest makes room.
    while (polaczenia_.size() >= maksPolaczen) {
        auto najstarsze = polaczenia_.begin();
        for (auto it = polaczenia_.begin(); it != polaczenia_.end(); ++it)
            if (it->ostatnio < najstarsze->ostatnio)
                najstarsze = it;
        auto* stare = najstarsze.key();
        polaczenia_.erase(najstarsze);
        stare->abort();
    }
    polaczenia_.insert(s, {zegar_.elapsed()});
    connect(s, &QTcpSocket::readyRead, this, [this, s] { odczyt(s); });
    connect(s, &QTcpSocket::bytesWritten, this, [this, s] {
        if (auto it = polaczenia_.find(s); it != polaczenia_.end())
            it->ostatnio = zegar_.elapsed();
    });
    connect(s, &QObject::destroyed, this, [this, s] { polaczenia_.remove(s); });
    connect(s, &QTcpSocket::disconnected, this, [this, s] {
        polaczenia_.remove(s);
        s->deleteLater();
    });
}

// Answers each whole request that has come, in order; one whose reply waits for the disk holds
// back those after it.
void SerwerKlasy::odczyt(QTcpSocket* s)
{
    auto it = polaczenia_.find(s);
    if (it == polaczenia_.end()) {
        s->readAll(); // closing: what still comes is dropped
        return;
    }
    it->ostatnio = zegar_.elapsed();
    it->czytnik.dopisz(s->readAll());
    // Looked up again each time: answering may close other connections, and that moves entries.
    for (; it != polaczenia_.end() && !it->czeka; it = polaczenia_.find(s)) {
        auto w = it->czytnik.nastepne();
        using R = http::Czytnik::Wynik::Rodzaj;
        if (w.rodzaj == R::Czekaj) {
            if (w.kontynuuj)
                s->write("HTTP/1.1 100 Continue\r\n\r\n");
            // Requests sent while an earlier one waits are bounded like one request.
            if (it->czytnik.wBuforze() > 2 * (maksTresci + maksNaglowkow))
                wyslij(s, {Status::PayloadTooLarge, zwarty({{u"blad"_qs, u"Za dużo danych."_qs}})}, true);
            return;
        }
        if (w.rodzaj == R::Blad) {
            const auto tekst = w.blad == Status::PayloadTooLarge               ? u"Za dużo danych."_qs
                               : w.blad == Status::RequestHeaderFieldsTooLarge ? u"Za długie nagłówki."_qs
                                                                               : u"Nieprawidłowe dane."_qs;
            wyslij(s, {w.blad, zwarty({{u"blad"_qs, tekst}})}, true);
            return;
        }
        auto o = obsluz(w.zapytanie, s->peerAddress());
        // A reply that tells of a change waits until the change is on the disk.
        if (o.zapis && test_.czekaNaZapis()) {
            it->czeka = true;
            czeka_.append({s, std::move(o), w.zapytanie.zamknij});
            return;
        }
        wyslij(s, o, w.zapytanie.zamknij);
    }
}

void SerwerKlasy::wyslij(QTcpSocket* s, const Odpowiedz& o, bool zamknij)
{
    auto naglowki = o.naglowki;
    if (naglowki.isEmpty() && o.status != Status::NoContent)
        naglowki = naglowkiJson;
    else if (naglowki.isEmpty())
        naglowki = {{"Cache-Control", "no-store"}, {"X-Content-Type-Options", "nosniff"}};
    s->write(http::odpowiedz(o.status, naglowki, o.tresc, zamknij));
    if (zamknij) {
        polaczenia_.remove(s);
        s->disconnectFromHost();
    }
}

std::optional<SerwerKlasy::Odpowiedz> SerwerKlasy::api(const http::Zapytanie& request,
                                                       const QHostAddress& skad)
{
    const auto& sciezka = request.sciezka;
    const auto& metoda = request.metoda;
    const auto bladApi = [](TestKlasowy::Odmowa o) {
        const auto [s, tekst] = odmowa(o);
        return Odpowiedz{s, zwarty({{u"blad"_qs, QString::fromUtf16(tekst)}})};
    };
    if (metoda == "POST" && sciezka == u"/api/dolacz") {
        const auto o = obiekt(request);
        if (!o || !(*o)[u"imie"].isString() || !(*o)[u"pin"].isString())
            return bladApi(TestKlasowy::Odmowa::ZlyKsztalt);
        const auto w = test_.dolacz((*o)[u"imie"].toString(), (*o)[u"pin"].toString(), skad);
        if (const auto* d = std::get_if<TestKlasowy::Dolaczenie>(&w))
            return Odpowiedz{
                Status::Ok,
                zwarty(
                    {{u"token"_qs, d->token}, {u"koniec"_qs, czas(d->koniec)}, {u"pytania"_qs, d->pytania}}),
                true};
        return bladApi(std::get<TestKlasowy::Odmowa>(w));
    }
    if (metoda == "GET" && sciezka == u"/api/stan") {
        const auto w = test_.stan(token(request));
        const auto* s = std::get_if<TestKlasowy::Stan>(&w);
        if (!s)
            return bladApi(std::get<TestKlasowy::Odmowa>(w));
        QJsonObject j{{u"pytania"_qs, s->pytania},
                      {u"odpowiedzi"_qs, s->odpowiedzi},
                      {u"oddano"_qs, s->oddano},
                      {u"koniec"_qs, czas(s->koniec)}};
        wynik(j, s->wynik);
        return Odpowiedz{Status::Ok, zwarty(j), true};
    }
    const bool zapis = metoda == "PUT" && sciezka == u"/api/odpowiedzi";
    const bool oddanie = metoda == "POST" && sciezka == u"/api/oddaj";
    if (!zapis && !oddanie)
        return std::nullopt;
    const auto t = token(request);
    const auto o = obiekt(request);
    const auto odp = o ? o->value(u"odpowiedzi") : QJsonValue(QJsonValue::Undefined);
    if (zapis) {
        if (const auto z = test_.zapisz(t, odp))
            return bladApi(*z);
        return Odpowiedz{Status::NoContent, {}, true};
    }
    const auto w = test_.oddaj(t, odp);
    const auto* d = std::get_if<TestKlasowy::Oddanie>(&w);
    if (!d)
        return bladApi(std::get<TestKlasowy::Odmowa>(w));
    QJsonObject j{{u"oddano"_qs, true}};
    wynik(j, d->wynik);
    return Odpowiedz{Status::Ok, zwarty(j), true};
}

// The batch the waiting replies depend on is on the disk, or was undone: then each is told to
// try again. The requests that came after each one are answered next.
void SerwerKlasy::wyslijCzekajace(bool ok)
{
    for (auto& [s, o, zamknij] : std::exchange(czeka_, {})) {
        if (!s || s->state() != QAbstractSocket::ConnectedState)
            continue;
        if (!ok) {
            const auto [st, tekst] = odmowa(TestKlasowy::Odmowa::Zapis);
            o = {st, zwarty({{u"blad"_qs, QString::fromUtf16(tekst)}})};
        }
        wyslij(s, o, zamknij);
        if (auto it = polaczenia_.find(s); it != polaczenia_.end()) {
            it->czeka = false;
            odczyt(s);
        }
    }
}

SerwerKlasy::Odpowiedz SerwerKlasy::obsluz(const http::Zapytanie& request, const QHostAddress& skad)
{
    if (request.tresc.size() > maksTresci)
        return {Status::PayloadTooLarge, zwarty({{u"blad"_qs, u"Za dużo danych."_qs}})};
    if (auto w = api(request, skad))
        return std::move(*w);
    const auto& sciezka = request.sciezka;
    if (request.metoda == "GET" && strony.contains(sciezka)) {
        const auto& [plik, typ] = strony.value(sciezka);
        QFile f(plik);
        f.open(QIODevice::ReadOnly);
        return {Status::Ok,
                f.readAll(),
                false,
                {{"Content-Type", typ},
                 {"Cache-Control", "no-store"},
                 {"X-Content-Type-Options", "nosniff"},
                 {"Content-Security-Policy", "default-src 'self'; img-src 'self'"}}};
    }
    if (request.metoda == "GET" && sciezka.startsWith(u"/rysunki/")) {
        const auto plik = test_.rysunek(sciezka.mid(9));
        QFile f(plik);
        if (!plik.isEmpty() && f.size() <= 16 * 1024 * 1024 && f.open(QIODevice::ReadOnly)) {
            const auto typ = QMimeDatabase().mimeTypeForFile(plik).name().toLatin1();
            return {Status::Ok,
                    f.readAll(),
                    false,
                    {{"Content-Type", typ}, {"X-Content-Type-Options", "nosniff"}}};
        }
    }
    return {Status::NotFound, zwarty({{u"blad"_qs, u"Nie ma takiej strony."_qs}})};
}
