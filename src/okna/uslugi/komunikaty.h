#pragma once

#include "dialogs.h"
#include "komunikat.h"

#include <QString>

// Every word the program says to the user in its boxes: the messages with their titles and
// icons, the input boxes' prompts and the file dialogs' titles.
namespace komunikaty {

struct Tresc
{
    QString tekst, tytul;
    Dialogs::Icon ikona = Dialogs::Icon::Stop;
    Dialogs::Buttons przyciski = Dialogs::Buttons::Ok;
};
Tresc tresc(const Zdarzenie& zdarzenie);
// The words for an error of the core, as the messages give its reason.
QString powod(const Blad& blad);

// Shows the message and returns the button pressed.
Dialogs::Answer pokaz(Dialogs& dialogs, QWidget* parent, const Zdarzenie& zdarzenie);
// Shows them in order; true when there were none.
bool pokaz(Dialogs& dialogs, QWidget* parent, const Zdarzenia& zdarzenia);

struct Zapytanie
{
    QString pytanie, tytul;
};
enum class Pole { NazwaZestawu, CzasTestu, KodTestu, LiczbaKopii };
Zapytanie zapytanie(Pole pole);
QString zapytaj(Dialogs& dialogs, QWidget* parent, Pole pole);
// The code of a sealed page, masked, the field filled with an issued code.
QString zapytajKod(Dialogs& dialogs, QWidget* parent, const QString& wydany);

// The generator's warning about questions no answer can score.
QString uwagaBledne(int ile);

inline const QString tytulEdytora = QStringLiteral("Budowanie bazy pytań");
inline const QString wskazZestaw = QStringLiteral("Wskaż nazwę zestawu");
inline const QString eksportZestawu = QStringLiteral("Eksport zestawu");
inline const QString zestawJakoPdf = QStringLiteral("Zapisz zestaw jako PDF");
inline const QString jakoPdf = QStringLiteral("Zapisz jako PDF");

// The class test's window; every box is titled "Test w klasie".
namespace wklasie {
inline const QString tytul = QStringLiteral("Test w klasie");
Dialogs::Answer pokaz(Dialogs& dialogs, QWidget* parent, const QString& tekst,
                      Dialogs::Icon ikona = Dialogs::Icon::Stop);
bool pytaj(Dialogs& dialogs, QWidget* parent, const QString& tekst);
QString wznowic(const QString& zestaw, const QString& pin, const QString& koniec, int uczniow);
QString niezapisaneStare(const QString& plik);
QString nieOdczytanoStarego(const QString& plik, const QString& powod);
QString nieOtwartoMagazynu(const QString& plik, const QString& powod);
QString nieNasluchuje(const QString& powod);
QString bladZapisu(const QString& plik, const QString& powod);
QString zakonczyc(int pisze);
QString zamknac(int pisze);
QString zaznaczUcznia();
QString zwolniono(const QString& uczen);
QString nieZwolniono(const QString& uczen);
QString nieZapisanoPliku(const QString& plik, const QString& powod);
} // namespace wklasie

} // namespace komunikaty
