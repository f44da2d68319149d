#pragma once

#include "testklasowy.h"

#include <QAbstractHttpServer>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QHttpServerResponder>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>

class QTcpSocket;

// The class test over HTTP: the pupil's page, its script and style, the drawn pictures under
// opaque IDs, and the four calls of the pupil's API. Every other path is 404. Requests are
// bounded in header and body size, and open connections in number, the oldest idle closed first;
// a connection quiet for bezczynnosc milliseconds is closed as well.
class SerwerKlasy : public QAbstractHttpServer
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

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    class Gniazdo;
    struct Odpowiedz
    {
        QHttpServerResponder::StatusCode status;
        QByteArray tresc;   // JSON; none for 204
        bool zapis = false; // told only once the batch it depends on is on the disk
    };
    std::optional<Odpowiedz> api(const QHttpServerRequest& request);
    void wyslijCzekajace(bool ok);
    struct Czeka
    {
        QPointer<QTcpSocket> s;
        Odpowiedz o;
    };
    QList<Czeka> czeka_;
    struct Polaczenie
    {
        qint64 ostatnio = 0; // when it last sent or received, on the server's clock
        qint64 przyjete = 0; // bytes of the request being read
    };
    void nowe(QTcpSocket* s);
    void odczyt(QTcpSocket* s);
    void sprzataj();

    TestKlasowy& test_;
    QList<Gniazdo*> gniazda_;
    QHash<QTcpSocket*, Polaczenie> polaczenia_;
    QElapsedTimer zegar_;
    QTimer sprzatanie_;
    int bezczynnosc_ = bezczynnosc;
};
