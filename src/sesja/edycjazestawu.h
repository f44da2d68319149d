#pragma once

#include "biezacyfolder.h"
#include "komunikat.h"
#include "otwartyzestaw.h"
#include "pytanie.h"
#include "sprawdzenie.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

// The work of the set editor: the open set, the question on screen and its number, moving,
// saving, new questions, deletion, append, pictures, the check, print and export. It shows
// nothing: every operation returns what happened, and the window shows it.
class EdycjaZestawu
{
public:
    // The answer type of the question on screen, as the window's panels show it: never Nieznany.
    using Typ = Pytanie::Typ;
    // A multiple-choice box as stored: unticked, ticked, grey.
    enum class Znak : qint16 { Nie = 0, Tak = 1, Szary = 2 };
    // The two picture controls: the box saves at once, trims the name and drops a rejected
    // one; the label only changes the record buffer, takes the name as it is and keeps it.
    enum class Kontrolka { Obraz, Podpis };

    // What the controls hold. Texts are lines joined by "\n", as the boxes hold them.
    struct Ekran
    {
        QString pytanie;
        std::array<QString, 5> odpowiedzi;
        Typ typ = Typ::Wybor;
        std::array<Znak, 5> znaki{};
        std::array<bool, 5> opcje{};
        QString wzor;
    };
    // A question to show. A typed-answer question brings only its model answer: the answer
    // boxes and markers keep what they hold.
    struct Widok
    {
        QString pytanie;
        Typ typ = Typ::Wybor;
        std::array<QString, 5> odpowiedzi;
        int opcja = -1; // the selected option, -1 for none
        std::array<Znak, 5> znaki{};
        QString wzor;
    };
    enum class Koniec { Nie, ZamknijEdytor, ZakonczProgram };
    struct Skutek
    {
        bool zrobione = true; // false: the operation stopped short (declined or failed)
        Zdarzenia komunikaty; // to be shown in this order
        std::optional<Widok> widok;
        Koniec koniec = Koniec::Nie;
    };

    // `wczytaj` says whether a picture file loads; the window gives its picture loader.
    EdycjaZestawu(BiezacyFolder& folder, std::function<bool(const QString& sciezka)> wczytaj);

    // The folder that was current when the editor started: the label's dialogs start there.
    QString folderStartowy() const { return folderStartowy_; }

    // Opens the set typed (a bare name lies in the current folder) or chosen, and shows
    // question 1. The empty name ends the program without a message.
    Skutek otworz(const QString& nazwa, const QString& nazwaZestawu);

    qint32 nrrekordu() const { return nrrekordu_; }
    qint32 iloscrekordow() const { return zestaw_.iloscrekordow(); }
    QString nazwapliku() const { return zestaw_.nazwapliku(); }
    // The set's name for the label: as typed or chosen, the copy's after a recovery.
    QString nazwaZestawu() const { return nazwaZestawu_; }
    QString nazwarysunku() const { return nazwarysunku_; }
    bool maRysunek() const { return !nazwarysunku_.isEmpty(); }
    QString sciezkaRysunku() const { return folder_.plik(nazwarysunku_); }
    // The picture the box shows: empty when none, or when the chosen one was rejected.
    QString rysunekNaEkranie() const { return naEkranie_; }

    // Writes the question on screen as record nrrekordu.
    Skutek zachowaj(const Ekran& ekran);
    // ">>": save, one on unless on the last, show (also the same one again).
    Skutek dalej(const Ekran& ekran);
    // "<<": save, one back but not below 1, show.
    Skutek wstecz(const Ekran& ekran);
    // "Koniec": save and close the set.
    Skutek zakoncz(const Ekran& ekran);
    // Closes the set without saving: the program is ending.
    void porzuc() { zestaw_.zamknij(); }
    // Saves and counts an empty question after the last; it reaches the file at its next save.
    Skutek nowePytanie(const Ekran& ekran);
    // Deletes the question on screen as it stands in the file (the window has asked) and shows
    // the one that took its number.
    Skutek usun();
    // Appends the set or another program's questions in the chosen file; nothing when empty.
    Skutek dolacz(const QString& wybrany);
    // A click on a picture control: removes the picture, or takes the one chosen in `wybierz`,
    // which gets the starting folder to set (empty: leave the dialog's own) and returns the
    // chosen file's bare name.
    Skutek rysunek(Kontrolka kontrolka, const Ekran& ekran,
                   const std::function<QString(const QString& folderStartowy)>& wybierz);
    // Saves, then checks every question.
    Skutek sprawdz(const Ekran& ekran, QList<sprawdzenie::Uwaga>& uwagi);
    // Saves and shows question nr, when there is one.
    Skutek idzDo(int nr, const Ekran& ekran);
    // Writes the whole set to `sciezka`, in the format its extension names, or as a PDF. The
    // question on screen was saved before the file was asked for.
    Skutek eksportuj(const QString& sciezka);
    Skutek drukuj(const QString& sciezka);

private:
    Skutek pokaz();
    void dopisz(Skutek& skutek, Skutek&& dalszy) const;
    // Writes the set back when another program deleted or replaced it.
    bool naMiejscu(Skutek& skutek);
    void porzuc(Skutek& skutek, Zdarzenie zdarzenie);
    void nieBaza(Skutek& skutek);
    std::optional<QList<rekord>> czytajWszystkie(Skutek& skutek, const QString& sciezka);

    BiezacyFolder& folder_;
    std::function<bool(const QString&)> wczytaj_;
    QString folderStartowy_;
    OtwartyZestaw zestaw_;
    QString nazwaZestawu_;
    Pytanie bufor; // the question on screen as read, with every byte the editor does not show
    qint32 nrrekordu_ = 0;
    QString nazwarysunku_;
    QString naEkranie_;
};
