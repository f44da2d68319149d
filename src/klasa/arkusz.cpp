#include "arkusz.h"

#include <QJsonObject>

#include <algorithm>
#include <numeric>

namespace klasa {

namespace {

// A place in [0, n) from a number in [0, 1); a source at its very edge still stays in range.
int miejsce(const losowanie::Zrodlo& los, int n)
{
    return std::clamp(static_cast<int>(los() * n), 0, n - 1);
}

// Fisher–Yates over the first k places, so the first k are a uniform draw in a uniform order.
template <class T>
void potasuj(T& v, int k, const losowanie::Zrodlo& los)
{
    const int n = static_cast<int>(v.size());
    for (int i = 0; i < std::min(k, n - 1); ++i)
        std::swap(v[i], v[i + miejsce(los, n - i)]);
}

// A sheet read back is checked against its set; this keeps a stray index from reading past it.
const Pytanie& pytanie(const QList<Pytanie>& zestaw, int i)
{
    static const Pytanie brak;
    return i >= 0 && i < zestaw.size() ? zestaw[i] : brak;
}

} // namespace

Arkusz wylosujArkusz(int wZestawie, int n, const losowanie::Zrodlo& los)
{
    std::vector<int> nr(std::max(wZestawie, 0));
    std::iota(nr.begin(), nr.end(), 0);
    n = std::clamp(n, 0, static_cast<int>(nr.size()));
    potasuj(nr, n, los);
    Arkusz a;
    for (int i = 0; i < n; ++i) {
        PozycjaArkusza p{nr[i]};
        potasuj(p.kolejnosc, naStronie, los);
        a.append(p);
    }
    return a;
}

reguly::Odpowiedz wKolejnosciZestawu(const PozycjaArkusza& poz, const OdpowiedzUcznia& o)
{
    reguly::Odpowiedz w;
    for (int pokazana : o.zaznaczone)
        if (pokazana >= 0 && pokazana < naStronie)
            w.zaznaczone[poz.kolejnosc[pokazana]] = true;
    w.wpisana = o.wpisana;
    return w;
}

Ocena ocen(const QList<Pytanie>& zestaw, const Arkusz& arkusz, const Odpowiedzi& odp)
{
    Ocena w;
    for (qsizetype i = 0; i < arkusz.size(); ++i) {
        const auto pkt =
            reguly::punkty(pytanie(zestaw, arkusz[i].pytanie), wKolejnosciZestawu(arkusz[i], odp.value(i)));
        w.pytania.append(pkt);
        w.suma.punkty += pkt.punkty;
        w.suma.maks += pkt.maks;
    }
    return w;
}

QString typDlaUcznia(const Pytanie& p)
{
    switch (reguly::typNaStronie(p)) {
    case Pytanie::Typ::Opcja:
        return QStringLiteral("opcja");
    case Pytanie::Typ::Tekst:
        return QStringLiteral("tekst");
    default:
        return QStringLiteral("wybor");
    }
}

Odpowiedzi puste(const Arkusz& arkusz)
{
    return Odpowiedzi(arkusz.size());
}

QJsonArray arkuszDoJson(const Arkusz& a)
{
    QJsonArray j;
    for (const auto& p : a)
        j.append(QJsonArray{p.pytanie, p.kolejnosc[0], p.kolejnosc[1], p.kolejnosc[2], p.kolejnosc[3]});
    return j;
}

std::optional<Arkusz> arkuszZJson(const QJsonArray& j, int wZestawie)
{
    Arkusz a;
    for (const auto& v : j) {
        const auto e = v.toArray();
        if (e.size() != naStronie + 1)
            return std::nullopt;
        PozycjaArkusza p{e[0].toInt(-1)};
        for (int k = 0; k < naStronie; ++k)
            p.kolejnosc[k] = e[k + 1].toInt(-1);
        auto posortowana = p.kolejnosc;
        std::sort(posortowana.begin(), posortowana.end());
        if (p.pytanie < 0 || p.pytanie >= wZestawie || posortowana != std::array{0, 1, 2, 3})
            return std::nullopt;
        a.append(p);
    }
    return a;
}

QJsonArray odpowiedziDoJson(const QList<Pytanie>& zestaw, const Arkusz& a, const Odpowiedzi& o)
{
    QJsonArray j;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const auto typ = typDlaUcznia(pytanie(zestaw, a[i].pytanie));
        const auto odp = o.value(i);
        if (typ == u"tekst") {
            j.append(odp.wpisana);
        } else if (typ == u"opcja") {
            j.append(odp.zaznaczone.isEmpty() ? QJsonValue() : QJsonValue(odp.zaznaczone.first()));
        } else {
            QJsonArray z;
            for (int k : odp.zaznaczone)
                z.append(k);
            j.append(z);
        }
    }
    return j;
}

namespace {

std::optional<int> indeks(const QJsonValue& v)
{
    const double d = v.toDouble(-1);
    // The range first: a number as large as 1e300 has no int to compare with.
    if (!v.isDouble() || d < 0 || d >= naStronie || d != static_cast<int>(d))
        return std::nullopt;
    return static_cast<int>(d);
}

} // namespace

std::optional<Odpowiedzi> odpowiedziZJson(const QJsonValue& j, const QList<Pytanie>& zestaw, const Arkusz& a)
{
    const auto lista = j.toArray();
    if (!j.isArray() || lista.size() != a.size())
        return std::nullopt;
    Odpowiedzi w;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const auto typ = typDlaUcznia(pytanie(zestaw, a[i].pytanie));
        const auto& v = lista[i];
        OdpowiedzUcznia o;
        if (typ == u"tekst") {
            if (!v.isString() || v.toString().size() > reguly::poleOdpowiedzi)
                return std::nullopt;
            o.wpisana = v.toString();
        } else if (typ == u"opcja") {
            if (!v.isNull()) {
                const auto k = indeks(v);
                if (!k)
                    return std::nullopt;
                o.zaznaczone = {*k};
            }
        } else {
            if (!v.isArray() || v.toArray().size() > naStronie)
                return std::nullopt;
            for (const auto& e : v.toArray()) {
                const auto k = indeks(e);
                if (!k || o.zaznaczone.contains(*k))
                    return std::nullopt;
                o.zaznaczone.append(*k);
            }
        }
        w.append(o);
    }
    return w;
}

} // namespace klasa
