#pragma once

#include "rekord.h"

#include <QStringList>

// A question from its texts and marks; the answers come as one text split at "|".
inline rekord pytanie(qint16 typ, const QString& text, const QString& answers = {},
                      std::array<qint16, 5> marks = {}, const QString& picture = {})
{
    rekord r = rekord::pusty();
    r.typ = typ;
    ustawTekst(r.pytanie, text);
    ustawTekst(r.rysunek, picture);
    for (int k = 1; k <= 5; ++k) {
        ustawTekst(r.odp(k), answers.split(u'|').value(k - 1));
        r.poprawna(k) = marks[size_t(k - 1)];
    }
    return r;
}
