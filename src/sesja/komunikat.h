#pragma once

#include <QList>
#include <QStringList>

// What the work of a window has to tell the user. The sessions name it with its details; the
// message catalogue of the windows words it.
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
    NieDolaczono,          // {file, reason, appended}
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
    Komunikat rodzaj;
    QStringList szczegoly;
    bool operator==(const Zdarzenie&) const = default;
};
using Zdarzenia = QList<Zdarzenie>;
