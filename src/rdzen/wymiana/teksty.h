#pragma once

#include <QString>
#include <QStringList>

// Text helpers of the exchange formats.
namespace wymiana::detail {

// Plain text into HTML: & < > only.
QString html(QString plain);
// A fraction as Moodle writes it: 100, -50, 33.33333.
QString ulamek(double value);
// Line breaks as the record stores them (CR LF), outer white space removed.
QString zPliku(QString text);
// Removes an answer's single enclosing paragraph, which Moodle's editor adds to every answer.
QString bezAkapitu(const QString& text);
// Removes every <img> whose source is an embedded file (@@PLUGINFILE@@/...), with a line break
// written just before it; gives the files' names in order.
QStringList wyjmijRysunki(QString& text);
// Takes a GIFT text-format marker ([plain], [html], [moodle], [markdown]) off the start of the
// text; gives the format's name, or nothing when the text has none.
QString bezZnacznikaFormatu(QString& text);
// Without the line breaks (<br>) an editor leaves at an answer's end, and outer white space.
QString bezKoncowychBr(QString text);
// The embedded files (@@PLUGINFILE@@/...) the text still refers to, once its pictures are out.
QStringList odwolaniaDoPlikow(QString text);
// Whether every character has a place in Windows-1250; a zero byte counts as outside.
bool wKodzie(const QString& text);
// A text quoted in a report line, its start only when long.
QString cytat(QString text);
// Quoted texts, the first few of them; `more` counts further ones not in the list.
QString wyliczenie(const QStringList& texts, qsizetype more = 0);

} // namespace wymiana::detail
