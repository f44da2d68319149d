#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// Just enough HTTP/1.1 for the pupils' browsers: requests with a Content-Length body (or none),
// kept alive between requests, and replies with a fixed length. Nothing else is understood, and
// what is not understood is refused with its status and the connection closed.
namespace http {

enum class Status : int {
    Ok = 200,
    NoContent = 204,
    BadRequest = 400,
    Unauthorized = 401,
    Forbidden = 403,
    NotFound = 404,
    Conflict = 409,
    Gone = 410,
    PayloadTooLarge = 413,
    TooManyRequests = 429,
    RequestHeaderFieldsTooLarge = 431,
    NotImplemented = 501,
    ServiceUnavailable = 503,
    VersionNotSupported = 505,
};

using Naglowki = QList<std::pair<QByteArray, QByteArray>>;

struct Zapytanie
{
    QByteArray metoda;
    QString sciezka; // the target's path, percent-decoded
    Naglowki naglowki;
    QByteArray tresc;
    bool zamknij = false; // the client asked for the connection to close after the reply

    // The first header of that name (any case), trimmed; empty when there is none.
    QByteArray naglowek(QByteArrayView nazwa) const;
};

// Reads requests from the bytes of one connection as they come.
class Czytnik
{
public:
    Czytnik(qsizetype maksNaglowkow, qsizetype maksTresci)
        : maksNaglowkow_(maksNaglowkow), maksTresci_(maksTresci)
    {
    }

    struct Wynik
    {
        enum class Rodzaj { Czekaj, Zapytanie, Blad } rodzaj = Rodzaj::Czekaj;
        Zapytanie zapytanie;              // with Zapytanie
        Status blad = Status::BadRequest; // with Blad: the reply, after which the connection closes
        bool kontynuuj = false;           // with Czekaj: the client waits for "100 Continue"
    };

    void dopisz(const QByteArray& dane) { bufor_ += dane; }
    // The next whole request in what has come so far. A body over maksTresci is still read when it
    // is within maksNaglowkow of it, for the caller to refuse with the connection kept; one longer
    // is refused before it comes.
    Wynik nastepne();
    qsizetype wBuforze() const { return bufor_.size(); }

private:
    QByteArray bufor_;
    qsizetype maksNaglowkow_, maksTresci_;
    bool kontynuacjaWyslana_ = false;
};

QByteArray odpowiedz(Status status, const Naglowki& naglowki, const QByteArray& tresc, bool zamknij);

} // namespace http
