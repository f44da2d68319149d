#include "losowanie.h"

#include <cfenv>
#include <cmath>
#include <memory>
#include <random>

namespace losowanie {

Zrodlo zrodlo(quint64 seed)
{
    auto engine = std::make_shared<std::mt19937_64>(seed);
    // 53 random bits scaled down: never 1.0, unlike some uniform_real_distribution builds.
    return [engine] { return double((*engine)() >> 11) * 0x1.0p-53; };
}

double liczbaNaPoczatku(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    QByteArray number;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        number += char(text.at(i++).unicode());
    bool digits = false;
    while (i < text.size() && text.at(i).unicode() >= '0' && text.at(i).unicode() <= '9') {
        number += char(text.at(i++).unicode());
        digits = true;
    }
    if (i < text.size() && text.at(i) == QLatin1Char('.')) {
        number += '.';
        ++i;
        while (i < text.size() && text.at(i).unicode() >= '0' && text.at(i).unicode() <= '9') {
            number += char(text.at(i++).unicode());
            digits = true;
        }
    }
    if (!digits)
        return 0;
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok ? value : 0;
}

double zaokraglij(double value)
{
    // nearbyint follows the current rounding mode; make sure it is the default one.
    const int mode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double result = std::nearbyint(value);
    std::fesetround(mode);
    return result;
}

bool losuj(qint16 iloscrekordow, int n, const Zrodlo& random, Wylosowane& wylosowane,
           const std::function<void(qint16)>& wylosowany)
{
    for (int nrpytania = 1; nrpytania <= n; ++nrpytania) {
        if (nrpytania > sloty)
            return false;
        qint16 k = 0;
        bool repeated = true;
        while (repeated) {
            const double r = random();
            k = qint16(std::min<double>(std::floor(iloscrekordow * r) + 1, iloscrekordow));
            repeated = false;
            for (int slot = 1; slot < nrpytania && !repeated; ++slot)
                repeated = wylosowane[slot] == k;
        }
        wylosowane[nrpytania] = k;
        if (wylosowany)
            wylosowany(k);
    }
    return true;
}

} // namespace losowanie
