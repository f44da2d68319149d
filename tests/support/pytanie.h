#pragma once

#include "rekord.h"

#include <QStringList>

#include <array>

// A question record from its texts and marks, as the set check and the printouts get it.
inline rekord pytanie(qint16 typ, const QString& text, const QStringList& answers = {},
                      std::array<qint16, 5> marks = {}, const QString& picture = {})
{
    rekord r = rekord::pusty();
    r.typ = typ;
    ustawTekst(r.pytanie, text);
    for (int k = 0; k < answers.size(); ++k)
        ustawTekst(r.odp(k + 1), answers.at(k));
    for (int k = 0; k < 5; ++k)
        r.poprawna(k + 1) = marks[size_t(k)];
    ustawTekst(r.rysunek, picture);
    return r;
}
