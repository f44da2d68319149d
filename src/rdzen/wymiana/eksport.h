#pragma once

#include "pytanieobce.h"
#include "rekord.h"

#include <QStringList>

#include <optional>

namespace wymiana::detail {

// What of a record goes out, shared by the Moodle XML and the GIFT writer.
struct PytanieEksportu
{
    bool krotka = false;
    bool jednokrotny = true;
    int punkty = 1; // what the page gives at most: 1 single choice, 4 multiple, 2 typed
    QString nazwa;
    QString tekst;
    QList<Odpowiedz> odpowiedzi;
    QString rysunek;
};

// What the page would ask of record `numer`, or nothing (reported) when another program
// cannot hold it.
std::optional<PytanieEksportu> doEksportu(int numer, const rekord& r, QStringList& raport);
QString podsumowanieEksportu(int zapisane, qsizetype wszystkie);

} // namespace wymiana::detail
