#include "http.h"

#include <QUrl>

namespace http {

namespace {

bool token(QByteArrayView t)
{
    if (t.isEmpty())
        return false;
    for (const char c : t)
        if (c <= ' ' || c >= 0x7f || QByteArrayView("()<>@,;:\\\"/[]?={}").contains(c))
            return false;
    return true;
}

// Whether a comma-separated header value holds the word (any case), as Connection does.
bool maSlowo(const QByteArray& wartosc, QByteArrayView slowo)
{
    for (const auto& s : wartosc.split(','))
        if (s.trimmed().compare(slowo, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

const char* powod(Status s)
{
    switch (s) {
    case Status::Ok:
        return "OK";
    case Status::NoContent:
        return "No Content";
    case Status::BadRequest:
        return "Bad Request";
    case Status::Unauthorized:
        return "Unauthorized";
    case Status::Forbidden:
        return "Forbidden";
    case Status::NotFound:
        return "Not Found";
    case Status::Conflict:
        return "Conflict";
    case Status::Gone:
        return "Gone";
    case Status::PayloadTooLarge:
        return "Payload Too Large";
    case Status::TooManyRequests:
        return "Too Many Requests";
    case Status::RequestHeaderFieldsTooLarge:
        return "Request Header Fields Too Large";
    case Status::NotImplemented:
        return "Not Implemented";
    case Status::ServiceUnavailable:
        return "Service Unavailable";
    case Status::VersionNotSupported:
        return "HTTP Version Not Supported";
    }
    return "Unknown";
}

} // namespace

QByteArray Zapytanie::naglowek(QByteArrayView nazwa) const
{
    for (const auto& [k, v] : naglowki)
        if (QByteArrayView(k).compare(nazwa, Qt::CaseInsensitive) == 0)
            return v;
    return {};
}

Czytnik::Wynik Czytnik::nastepne()
{
    using R = Wynik::Rodzaj;
    const auto blad = [](Status s) { return Wynik{R::Blad, {}, s}; };
    // Empty lines before a request are allowed and skipped.
    while (bufor_.startsWith("\r\n"))
        bufor_.remove(0, 2);
    const auto koniec = bufor_.indexOf("\r\n\r\n");
    if (koniec < 0)
        return bufor_.size() > maksNaglowkow_ ? blad(Status::RequestHeaderFieldsTooLarge) : Wynik{};
    if (koniec + 4 > maksNaglowkow_)
        return blad(Status::RequestHeaderFieldsTooLarge);

    // Each line with its CR LF; a bare LF inside a line is refused below.
    auto linie = bufor_.left(koniec + 2).split('\n');
    linie.removeLast();
    for (auto& l : linie)
        if (!l.endsWith('\r') || (l.chop(1), l.contains('\r')))
            return blad(Status::BadRequest);
    const auto pierwsza = linie[0].split(' ');
    if (pierwsza.size() != 3 || !token(pierwsza[0]) || !pierwsza[2].startsWith("HTTP/"))
        return blad(Status::BadRequest);
    if (pierwsza[2] != "HTTP/1.1" && pierwsza[2] != "HTTP/1.0")
        return blad(Status::VersionNotSupported);
    Zapytanie z;
    z.metoda = pierwsza[0];
    const auto& cel = pierwsza[1];
    const QUrl url = QUrl::fromEncoded(cel, QUrl::StrictMode);
    if (!cel.startsWith('/') || !url.isValid())
        return blad(Status::BadRequest);
    z.sciezka = url.path();
    for (qsizetype i = 1; i < linie.size(); ++i) {
        const auto& l = linie[i];
        const auto dwukropek = l.indexOf(':');
        if (dwukropek <= 0 || !token(QByteArrayView(l).first(dwukropek)))
            return blad(Status::BadRequest); // folded lines and spaces before the colon included
        z.naglowki.append({l.left(dwukropek), l.mid(dwukropek + 1).trimmed()});
    }

    // Browsers send their bodies with a length; a chunked one is not understood.
    if (!z.naglowek("Transfer-Encoding").isEmpty())
        return blad(Status::NotImplemented);
    qint64 dlugosc = 0;
    bool jest = false;
    for (const auto& [k, v] : std::as_const(z.naglowki)) {
        if (k.compare("Content-Length", Qt::CaseInsensitive) != 0)
            continue;
        bool ok = !v.isEmpty() && v.size() <= 18;
        for (const char c : v)
            ok = ok && c >= '0' && c <= '9';
        const auto n = ok ? v.toLongLong() : -1;
        if (!ok || (jest && n != dlugosc))
            return blad(Status::BadRequest);
        dlugosc = n;
        jest = true;
    }
    if (dlugosc > maksTresci_ + maksNaglowkow_)
        return blad(Status::PayloadTooLarge);
    const auto calosc = koniec + 4 + dlugosc;
    if (bufor_.size() < calosc) {
        Wynik w;
        if (!kontynuacjaWyslana_ && z.naglowek("Expect").compare("100-continue", Qt::CaseInsensitive) == 0)
            w.kontynuuj = kontynuacjaWyslana_ = true;
        return w;
    }
    z.tresc = bufor_.mid(koniec + 4, dlugosc);
    bufor_.remove(0, calosc);
    kontynuacjaWyslana_ = false;
    const auto polaczenie = z.naglowek("Connection");
    z.zamknij = pierwsza[2] == "HTTP/1.0" ? !maSlowo(polaczenie, "keep-alive") : maSlowo(polaczenie, "close");
    return Wynik{R::Zapytanie, std::move(z)};
}

QByteArray odpowiedz(Status status, const Naglowki& naglowki, const QByteArray& tresc, bool zamknij)
{
    QByteArray o = "HTTP/1.1 " + QByteArray::number(int(status)) + ' ' + powod(status) + "\r\n";
    for (const auto& [k, v] : naglowki)
        o += k + ": " + v + "\r\n";
    if (status != Status::NoContent)
        o += "Content-Length: " + QByteArray::number(tresc.size()) + "\r\n";
    if (zamknij)
        o += "Connection: close\r\n";
    return o + "\r\n" + tresc;
}

} // namespace http
