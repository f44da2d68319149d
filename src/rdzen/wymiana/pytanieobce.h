#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

namespace wymiana::detail {

struct Odpowiedz
{
    QString tekst;
    double ulamek = 0; // Moodle's fraction in percent: 100 right, 0 wrong
};

// A question as another program holds it, before it is fitted to a record.
struct PytanieObce
{
    enum class Rodzaj { Wybor, PrawdaFalsz, Krotka, Inny };
    Rodzaj rodzaj = Rodzaj::Inny;
    QString opisRodzaju;         // Inny: the kind, as the report names it
    QString tekst;               // HTML
    QList<Odpowiedz> odpowiedzi; // HTML for a choice, plain for Krotka
    bool jednokrotny = true;     // Wybor: one answer right
    bool prawda = true;          // PrawdaFalsz: which one is right
    int nadmiar = 0;             // answers past limitOdpowiedzi, not kept
    // The embedded picture, and the pictures that cannot come along with why; both are looked
    // at only once the question is taken.
    QString rysunek;
    QByteArray daneRysunku;
    QList<std::pair<QString, QString>> bezRysunku;
};

} // namespace wymiana::detail
