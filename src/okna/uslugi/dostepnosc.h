#pragma once

// A label that shows a value (the set's name, a count, the question number) names what it shows
// in the property "podpis" of its .ui file. Once podpisyWartosci() has run, assistive technology
// hears such a label as "podpis: text", follows every setText and is told of each change.
namespace dostepnosc {

// Call before a window's setupUi; later calls do nothing.
void podpisyWartosci();

} // namespace dostepnosc
