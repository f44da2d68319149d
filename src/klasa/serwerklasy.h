#pragma once

#include "http.h"
#include "testklasowy.h"

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QPointer>
#include <QTimer>

class QTcpSocket;

// The class test over HTTP: the pupil's page, its script and style, the drawn pictures under
// opaque IDs, and the four calls of the pupil's API. Every other path is 404. Requests are
// bounded in header and body size, and open connections in number, the oldest idle closed first;
// a connection quiet for bezczynnosc milliseconds is closed as well.
class SerwerKlasy : public QObject
{
    Q_OBJECT

public:
    explicit SerwerKlasy(TestKlasowy& test, QObject* parent = nullptr);
    ~SerwerKlasy() override;

    // Listens on every address given at port 8080 or the next free one, the same port on all.
    ::Wynik<quint16> nasluchuj(const QList<QHostAddress>& adresy, quint16 od = 8080);
    void zatrzymaj();

    static constexpr qint64 maksTresci = 64 * 1024;
    static constexpr qint64 maksNaglowkow = 8 * 1024;
    static constexpr int maksPolaczen = 256;
    static constexpr int bezczynnosc = 30000;
    void ustawBezczynnosc(int ms);

private:
    class Gniazdo;
    struct Odpowiedz
    {
        http::Status status;
        QByteArray tresc;   // JSON; none for 204
        bool zapis = false; // told only once the batch it depends on is on the disk
        http::Naglowki naglowki = {};
    };
    std::optional<Odpowiedz> api(const http::Zapytanie& z, const QHostAddress& skad);
    Odpowiedz obsluz(const http::Zapytanie& z, const QHostAddress& skad);
    void wyslijCzekajace(bool ok);
    struct Czeka
    {
        QPointer<QTcpSocket> s;
        Odpowiedz o;
        bool zamknij;
    };
    QList<Czeka> czeka_;
    struct Polaczenie
    {
        qint64 ostatnio = 0; // when it last sent or received, on the server's clock
        http::Czytnik czytnik{maksNaglowkow, maksTresci};
        bool czeka = false; // a reply waits for the disk: the next request waits for it
    };
    void nowe(QTcpSocket* s);
    void odczyt(QTcpSocket* s);
    void wyslij(QTcpSocket* s, const Odpowiedz& o, bool zamknij);
    void sprzataj();

    TestKlasowy& test_;
    QList<Gniazdo*> gniazda_;
    QHash<QTcpSocket*, Polaczenie> polaczenia_;
    QElapsedTimer zegar_;
    QTimer sprzatanie_;
    int bezczynnosc_ = bezczynnosc;
};
