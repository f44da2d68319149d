#pragma once

#include "wynik.h"

#include <QList>
#include <QStringList>

#include <optional>

// What the work of a window has to tell the user. The sessions name it with its details and the
// error that caused it; the message catalogue of the windows words both. The error's words come
// after the details ({set, reason} below), or first in a report.
enum class Komunikat {
    // the editor
    NieJestBaza,           // a mark no control can show: the file is no set, the program ends
    ZlaNazwaRysunku,       // the shown question's picture does not load
    ZlyWybranyRysunek,     // a picture chosen for the question does not load
    NazwaRysunku,          // {name}: the rejected picture's name, after the above
    ZestawZaDuzy,          // {set}
    NieOtwartoZestawu,     // {set, reason}
    NieZapisanoZestawu,    // {set, reason}
    NieOdczytanoPytania,   // {number, set, reason}: the editor closes
    NieZapisanoPytania,    // {number, set, reason}
    NieOdtworzono,         // {old path, reason}: the set vanished and could not be written back
    Odtworzono,            // {path}: the set vanished and was written back whole
    ZapisanoKopie,         // {old path, new path}: the set was replaced, the copy is edited now
    ZestawPelny,           // no question more fits
    KasowacRekord,         // the question before a deletion (Yes/No)
    NieUsunieto,           // {number, reason}: the set is unchanged
    NieOtwartoPoUsunieciu, // {set, reason}
    NieDolaczono,          // {file, appended, reason}
    Raport,                // lines of a report: what an import or export did
    BladWymiany,           // {text}: an export that failed, in the exchange's own words
    NieZapisanoPliku,      // {file, reason}: an export or a printout of the editor
    ZlyFormatEksportu,     // {file}
    NieSprawdzono,         // {set, reason}
    // the menu and the generator
    NieWybranoPliku,
    NiewlasciwyPlik,
    ZlaIloscPytan,
    NiewlasciweDane,
    KrotkiKod,           // {the shortest length}
    NieZapisanoTestu,    // {file, reason}: the page or a PDF of the generator
    NieOdczytanoZestawu, // {number, reason}: a drawn question could not be read
    ZlaLiczbaKopii,      // {least, most}
};

struct Zdarzenie
{
    Zdarzenie(Komunikat r, QStringList s = {}, std::optional<Blad> p = std::nullopt)
        : rodzaj(r), szczegoly(std::move(s)), powod(std::move(p))
    {
    }
    Komunikat rodzaj;
    QStringList szczegoly;
    std::optional<Blad> powod;
    bool operator==(const Zdarzenie&) const = default;
};
using Zdarzenia = QList<Zdarzenie>;
