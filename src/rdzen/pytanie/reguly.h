#pragma once

#include "pytanie.h"

#include <QString>

#include <array>
#include <optional>

// The rule book: each rule about a question's meaning, written once and named. The page, the
// sealed page, the printouts, the export and the set check all take their rules from here.
namespace reguly {

// What the page shows: four answers for a choice question (a fifth answer stays in the set but
// never reaches the page), and a typed answer in a field of twenty characters.
constexpr int odpowiedziNaStronie = 4;
constexpr int poleOdpowiedzi = 20;

// The block the page builds for a question: a type the editor never writes is shown and scored
// as multiple choice, as the editor shows it.
Pytanie::Typ typNaStronie(const Pytanie& p);

// A picture part only for a name of two characters or more; one character is a leftover.
bool jestRysunkiem(const QString& nazwa);

// A single-choice mark the page takes for the selected answer: -1, as the editor writes it.
bool wybranaNaStronie(qint16 znacznik);
// The page's right single choice: the last answer (0..4) whose mark is -1; none when no mark is.
std::optional<int> opcjaStrony(const Pytanie& p);
// The same, limited to the answers the page shows: a mark on the fifth answer names a button the
// page does not have, so no choice can be right.
std::optional<int> opcjaNaStronie(const Pytanie& p);
// The editor's reading of a single-choice mark: the last answer whose mark is not 0 is selected.
std::optional<int> opcjaEdytora(const Pytanie& p);

// Multiple choice: a box's state agrees with the stored mark when the mark equals the state as a
// number, 1 ticked and 0 not; any other mark (-1, the grey 2) agrees with neither.
bool zgodnyStan(qint16 znacznik, bool zaznaczone);

// The marks the editor's check boxes accept (0, 1 and the grey 2); any other opens no question.
bool znacznikPolaWyboru(qint16 znacznik);

// Which of answers 1..5 the page counts as right: the single choice's last -1, or a mark of 1
// in a multiple choice. A typed answer has none: its model answer is right.
std::array<bool, 5> prawidlowe(const Pytanie& p);

// A pupil's answers to one question as the page reads them.
struct Odpowiedz
{
    std::array<bool, odpowiedziNaStronie> zaznaczone{}; // the buttons or boxes, in page order
    QString wpisana;                                    // the text field of a typed answer
};

struct Punkty
{
    int punkty = 0;
    int maks = 0;
    bool operator==(const Punkty&) const = default;
};

// The points the default page's script gives these answers: single choice 1 or 0 of 1; multiple
// choice +1 or -1 for each of four positions, of 4; typed answer 2 for the model answer exactly
// (case and spaces of the typed text count) or 0, of 2.
Punkty punkty(const Pytanie& p, const Odpowiedz& o);

// The page's percentage: 1000 × points / maximum rounded half up, divided by 10, never below 0.
// None with a maximum of 0, where the page shows NaN.
std::optional<double> procent(int punkty, int maks);

} // namespace reguly
