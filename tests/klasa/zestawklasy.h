#pragma once

#include "pytanie.h"
#include "testklasowy.h"

// The set the class tests use: one question of each type; the typed answer's model answer and
// the pupils' names are what no pupil's reply may hold.
inline QList<Pytanie> zestawKlasy()
{
    auto p = [](Pytanie::Typ typ, const char* tresc, std::array<qint16, 5> z, QString wzor = {}) {
        Pytanie q;
        q.typ = typ;
        q.tresc = QString::fromUtf8(tresc);
        q.odpowiedzi = {u"Alfa"_qs, u"Beta"_qs, u"Gamma"_qs, u"Delta"_qs, u"Epsilon"_qs};
        if (!wzor.isEmpty())
            q.odpowiedzi = {wzor, {}, {}, {}, {}};
        q.znaczniki = z;
        return q;
    };
    return {p(Pytanie::Typ::Opcja, "Która?", {0, 0, -1, 0, 0}),
            p(Pytanie::Typ::Wybor, "Które?", {1, 0, 1, 0, 0}),
            p(Pytanie::Typ::Tekst, "Stolica?", {}, u"Warszawa"_qs)};
}

// Every answer right, in the order a pupil was shown: the right ones are found by their text.
inline QJsonArray dobreOdpowiedzi(const QJsonArray& pytania)
{
    QJsonArray odp;
    for (const auto& p : pytania) {
        const auto o = p[u"odpowiedzi"].toArray().toVariantList();
        const auto typ = p[u"typ"].toString();
        if (typ == u"tekst")
            odp.append(u"Warszawa"_qs);
        else if (typ == u"opcja")
            odp.append(o.indexOf(u"Gamma"_qs));
        else
            odp.append(QJsonArray{o.indexOf(u"Alfa"_qs), o.indexOf(u"Gamma"_qs)});
    }
    return odp;
}
