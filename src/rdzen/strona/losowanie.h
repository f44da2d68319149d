#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <functional>

// Drawing the questions of a test.
namespace losowanie {

// Numbers uniform in [0, 1).
using Zrodlo = std::function<double()>;

// Questions a test can hold: slots 1..100, slot 0 unused.
constexpr int sloty = 100;
using Wylosowane = std::array<qint16, sloty + 1>;

// A generator of its own, seeded by the caller (the window seeds it from the time of day).
Zrodlo zrodlo(quint64 seed);

// The number the text begins with, "." as the decimal separator, after optional blanks and a
// sign; 0 when the text does not begin with a number ("12abc" is 12, "abc" is 0).
double liczbaNaPoczatku(const QString& text);

// The nearest whole number, halves to the even neighbour (2.5 is 2, 3.5 is 4).
double zaokraglij(double value);

// Fills slots 1..n with distinct record numbers from 1..iloscrekordow in draw order, calling
// wylosowany after each. Asking for more than 100 fills all 100 slots and then returns false.
// Requires n <= iloscrekordow, which is what lets a repeated number be drawn again.
bool losuj(qint16 iloscrekordow, int n, const Zrodlo& random, Wylosowane& wylosowane,
           const std::function<void(qint16)>& wylosowany = {});

} // namespace losowanie
