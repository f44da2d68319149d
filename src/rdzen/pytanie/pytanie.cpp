#include "pytanie.h"

namespace {

template <std::size_t N>
void zapiszPole(rekord::pole<N>& pole, const QString& text, Pytanie::Pola pola)
{
    if (pola == Pytanie::Pola::Wszystkie || tekst(pole) != text)
        ustawTekst(pole, text);
}

} // namespace

qint16 kodTypu(Pytanie::Typ typ)
{
    switch (typ) {
    case Pytanie::Typ::Opcja:
        return 1;
    case Pytanie::Typ::Tekst:
        return 2;
    default:
        return 0;
    }
}

Pytanie::Typ typZKodu(qint16 kod)
{
    switch (kod) {
    case 0:
        return Pytanie::Typ::Wybor;
    case 1:
        return Pytanie::Typ::Opcja;
    case 2:
        return Pytanie::Typ::Tekst;
    default:
        return Pytanie::Typ::Nieznany;
    }
}

Pytanie Pytanie::zRekordu(const rekord& r)
{
    Pytanie p;
    p.zapisany_ = r;
    p.typ = typZKodu(r.typ);
    p.tresc = tekst(r.pytanie);
    for (int k = 1; k <= 5; ++k) {
        p.odpowiedzi[k - 1] = tekst(r.odp(k));
        p.znaczniki[k - 1] = r.poprawna(k);
    }
    p.rysunek = tekst(r.rysunek);
    return p;
}

qint16 Pytanie::kodTypu() const
{
    return typ == Typ::Nieznany ? zapisany_.typ : ::kodTypu(typ);
}

rekord Pytanie::doRekordu(Pola pola) const
{
    rekord r = zapisany_;
    zapiszPole(r.pytanie, tresc, pola);
    for (int k = 1; k <= 5; ++k) {
        zapiszPole(r.odp(k), odpowiedzi[k - 1], pola);
        r.poprawna(k) = znaczniki[k - 1];
    }
    zapiszPole(r.rysunek, rysunek, pola);
    r.typ = kodTypu();
    return r;
}
