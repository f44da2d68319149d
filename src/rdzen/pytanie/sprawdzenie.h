#pragma once

#include "rekord.h"
#include "wynik.h"

#include <QHash>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// The set check: questions that the test page cannot score right (errors) and ones that are
// probably not what the teacher meant (warnings), found before the class finds them.
namespace sprawdzenie {

enum class Rodzaj { Blad, Ostrzezenie };

// What was found; each kind has one severity and one text.
enum class Problem {
    BrakPoprawnej,     // single choice, no -1 on any answer
    PoprawnaPiata,     // single choice, the -1 that counts is on answer 5
    KilkaPoprawnych,   // single choice, several -1
    OznaczenieOpcji,   // single choice, a mark other than 0 and -1
    NicNieZaznaczono,  // multiple choice, nothing marked on answers 1-4
    ZleOznaczenie,     // multiple choice, a mark outside 0, 1, 2
    SzaraOdpowiedz,    // multiple choice, a grey mark (2) on answers 1-4
    PustaPoprawna,     // a marked answer without text
    PustyWzor,         // typed answer, empty model answer
    DlugiWzor,         // typed answer, more than the field's 20 characters
    WzorNieDoWpisania, // typed answer, a line break or tab
    WielkieLitery,     // typed answer, capital letters
    PustePytanie,      // empty question text
    BrakRysunku,       // picture not found beside the set
    NieRysunek,        // picture file that no browser shows
    PiataOdpowiedz,    // a fifth answer the page never shows
    NieznanyTyp,       // typ not 0, 1 or 2
    PowtorzonePytanie, // same text as an earlier question
    ZnakMniejszosci,   // a "<" that starts no tag
    ZnakEt,            // an "&" that starts no entity
};

Rodzaj rodzaj(Problem problem);

struct Uwaga
{
    Problem problem;
    Rodzaj rodzaj;
    int nr; // the question's record number, from 1
    QString tekst;

    // The line the check window shows: "Pytanie N: ...".
    QString wiersz() const;
};

// Findings of one question; pictures are looked up in `folder`, the set's folder.
QList<Uwaga> sprawdz(const rekord& r, int nr, const QString& folder);

// Errors first, then by question number; the order within a question is kept.
void uporzadkuj(QList<Uwaga>& uwagi);

// Questions with at least one error, for the generator's warning.
int pytaniaZBledami(const QList<Uwaga>& uwagi);

// The whole set in one pass, record by record, with what needs the whole set (repeated texts).
// A picture shared by many questions is looked at once.
class Sprawdzenie
{
public:
    explicit Sprawdzenie(const QString& folder);

    void dodaj(const rekord& r, int nr);
    // Sorted as by uporzadkuj.
    QList<Uwaga> uwagi() const;

private:
    QString folder_;
    QList<Uwaga> uwagi_;
    QHash<QString, int> teksty_;                     // normalised question text -> first question number
    QHash<QString, std::optional<Problem>> rysunki_; // picture name -> its finding, if any
};

// Checks records 1..count of an open set.
Wynik<QList<Uwaga>> sprawdzZestaw(QIODevice& set, qint64 count, const QString& folder);
// Opens the set file read-only; pictures are looked up in the file's folder.
Wynik<QList<Uwaga>> sprawdzZestaw(const QString& path);

// Texts are inserted into the page as HTML. These say whether the "<" or "&" at `at` starts
// markup (a tag, a comment) or an entity, as a browser would read it.
bool zaczynaZnacznik(QStringView text, qsizetype at);
bool zaczynaEncje(QStringView text, qsizetype at);

} // namespace sprawdzenie
