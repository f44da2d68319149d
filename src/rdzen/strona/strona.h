#pragma once

#include "pytanie.h"
#include "rekord.h"
#include "wynik.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QLocale>
#include <QString>

#include <optional>

// The test page: its frame (head, script tail, foot) and one question block with its scoring
// fragment per answer type. Every line break the templates put into the page is a lone CR.
namespace strona {

// One question as the page shows it and as the scoring function judges it.
struct Blok
{
    QString blokpytania;   // a row of the question table, no line breaks of its own
    QString skryptpytania; // lines of the scoring function, each ended by CR
};

// Minutes as typed into the time-limit box, read in the given locale (a Polish one takes "1,5").
// Empty when the text is no number or the limit in seconds is too large to hold.
std::optional<double> sekundyZMinut(const QString& minuty, const QLocale& locale);

// Seconds as the Refresh tag gets them: " 600", " 90", "-300", " 0".
QString sekundy(double seconds);

// The release code or a model answer as the body of a double-quoted script string, so that the
// script compares with exactly the text typed and no text can end the string or the script.
QString napisSkryptu(const QString& text);

// A picture name as the value of a double-quoted HTML attribute.
QString atrybut(const QString& text);

// Page head up to the opening of the result window; {SECONDS} and {CODE} as typed.
QString glowa(const QString& seconds, const QString& code);
// Totals, percentage, the close button and the end of the scoring script, then the opening of
// the question table.
QString ogon();
// Closing of the question table, the line that starts the scoring and the "K O N I E C" button.
QString stopka();

// Blocks of the three answer types for the question at position nr (from 1) of the test.
Blok opcja(const Pytanie& p, int nr); // single choice
Blok wybor(const Pytanie& p, int nr); // multiple choice
Blok text(const Pytanie& p, int nr);  // typed answer
// The block of the question's type as the page reads it.
Blok blok(const Pytanie& p, int nr);
// The same for a stored record.
Blok opcja(const rekord& r, int nr);
Blok wybor(const rekord& r, int nr);
Blok text(const rekord& r, int nr);
Blok blok(const rekord& r, int nr);

// The whole page for the drawn records in draw order: head, scoring fragments, script tail,
// question blocks and foot, with {SECONDS} and {CODE} as typed.
QString strona(const QList<rekord>& pytania, const QString& seconds, const QString& code);

// The page's bytes as the file holds them: Windows-1250, ended by CR LF.
QByteArray bajty(const QString& page);

// Writes the page's bytes in one piece. The file-name overload replaces the file atomically,
// so a failed write leaves an earlier page whole.
Wynik<void> zapisz(QIODevice& device, const QString& page);
Wynik<void> zapisz(const QString& fileName, const QString& page);

} // namespace strona
