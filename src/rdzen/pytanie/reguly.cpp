#include "reguly.h"

#include <cmath>

namespace reguly {

Pytanie::Typ typNaStronie(const Pytanie& p)
{
    return p.typ == Pytanie::Typ::Nieznany ? Pytanie::Typ::Wybor : p.typ;
}

bool jestRysunkiem(const QString& nazwa)
{
    return nazwa.size() >= 2;
}

bool wybranaNaStronie(qint16 znacznik)
{
    return znacznik == -1;
}

std::optional<int> opcjaStrony(const Pytanie& p)
{
    std::optional<int> wybrana;
    for (int k = 0; k < 5; ++k)
        if (wybranaNaStronie(p.znaczniki[k]))
            wybrana = k;
    return wybrana;
}

std::optional<int> opcjaNaStronie(const Pytanie& p)
{
    const std::optional<int> k = opcjaStrony(p);
    return k && *k < odpowiedziNaStronie ? k : std::nullopt;
}

std::optional<int> opcjaEdytora(const Pytanie& p)
{
    std::optional<int> wybrana;
    for (int k = 0; k < 5; ++k)
        if (p.znaczniki[k] != 0)
            wybrana = k;
    return wybrana;
}

bool zgodnyStan(qint16 znacznik, bool zaznaczone)
{
    return znacznik == (zaznaczone ? 1 : 0);
}

bool znacznikPolaWyboru(qint16 znacznik)
{
    return znacznik >= 0 && znacznik <= 2;
}

std::array<bool, 5> prawidlowe(const Pytanie& p)
{
    std::array<bool, 5> right{};
    switch (typNaStronie(p)) {
    case Pytanie::Typ::Opcja:
        if (const auto k = opcjaStrony(p))
            right[*k] = true;
        break;
    case Pytanie::Typ::Wybor:
        for (int k = 0; k < 5; ++k)
            right[k] = zgodnyStan(p.znaczniki[k], true);
        break;
    default:
        break;
    }
    return right;
}

Punkty punkty(const Pytanie& p, const Odpowiedz& o)
{
    switch (typNaStronie(p)) {
    case Pytanie::Typ::Opcja: {
        const auto k = opcjaNaStronie(p);
        return {k && o.zaznaczone[*k] ? 1 : 0, 1};
    }
    case Pytanie::Typ::Tekst:
        return {o.wpisana == p.wzor() ? 2 : 0, 2};
    default: {
        Punkty w{0, 4};
        for (int k = 0; k < odpowiedziNaStronie; ++k)
            w.punkty += zgodnyStan(p.znaczniki[k], o.zaznaczone[k]) ? 1 : -1;
        return w;
    }
    }
}

std::optional<double> procent(int punkty, int maks)
{
    if (maks == 0)
        return std::nullopt;
    // Math.round rounds halves up, towards +∞.
    return std::max(std::floor(1000.0 * punkty / maks + 0.5) / 10, 0.0);
}

} // namespace reguly
