#pragma once

#include "losowanie.h"
#include "pytanie.h"
#include "reguly.h"

#include <QJsonArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>

// A pupil's sheet in the class test: the questions drawn for them, in an order of their own, with
// the answers of each choice question in an order of their own.
namespace klasa {

constexpr int naStronie = reguly::odpowiedziNaStronie;

struct PozycjaArkusza
{
    int pytanie = 0; // index of the question in the set
    // Which stored answer (0..3) each shown position holds.
    std::array<int, naStronie> kolejnosc{0, 1, 2, 3};
    bool operator==(const PozycjaArkusza&) const = default;
};
using Arkusz = QList<PozycjaArkusza>;

// A pupil's answer to one question as the page shows it: the chosen positions (one at most for a
// single choice) or the typed text.
struct OdpowiedzUcznia
{
    QList<int> zaznaczone;
    QString wpisana;
    bool operator==(const OdpowiedzUcznia&) const = default;
};
using Odpowiedzi = QList<OdpowiedzUcznia>;

// n questions of a set of wZestawie (all of them when it has fewer), each in a place of its own.
Arkusz wylosujArkusz(int wZestawie, int n, const losowanie::Zrodlo& los);

// The answer in the stored order of the question's answers, as the rule book scores it.
reguly::Odpowiedz wKolejnosciZestawu(const PozycjaArkusza& poz, const OdpowiedzUcznia& o);

struct Ocena
{
    reguly::Punkty suma;
    QList<reguly::Punkty> pytania; // one for each question of the sheet, in shown order
};
// The sheet scored with the rule book; a missing answer scores as an empty one.
Ocena ocen(const QList<Pytanie>& zestaw, const Arkusz& arkusz, const Odpowiedzi& odp);

// What the pupil's page shows of a question; never a mark or the model answer.
QString typDlaUcznia(const Pytanie& p);
Odpowiedzi puste(const Arkusz& arkusz);

// The stored forms. Reading gives none for anything but what writing gives.
QJsonArray arkuszDoJson(const Arkusz& a);
std::optional<Arkusz> arkuszZJson(const QJsonArray& j, int wZestawie);
QJsonArray odpowiedziDoJson(const QList<Pytanie>& zestaw, const Arkusz& a, const Odpowiedzi& o);
// The pupil's answers as they send them: one for each question, "opcja" a shown index or null,
// "wybor" a list of distinct shown indexes, "tekst" a string the page's field can hold. None on
// any other shape.
std::optional<Odpowiedzi> odpowiedziZJson(const QJsonValue& j, const QList<Pytanie>& zestaw, const Arkusz& a);

} // namespace klasa
