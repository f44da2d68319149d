#pragma once

#include "rekord.h"

#include <QString>

#include <array>

// One question as the program means it: its texts, the answers with their marks, the model answer
// and the picture. A record is only its stored form; the codec below turns one into the other and
// keeps every byte it does not interpret, so a record read and written back is unchanged.
struct Pytanie
{
    enum class Typ {
        Wybor,   // multiple choice: any number of answers may be right
        Opcja,   // single choice: one answer is right
        Tekst,   // the pupil types the answer, compared with the model answer
        Nieznany // a stored code the program never writes; kept as it was
    };

    Typ typ = Typ::Wybor;
    QString tresc;
    // Answers 1 to 5; for a typed answer the first one is the model answer.
    std::array<QString, 5> odpowiedzi;
    // The stored marks of answers 1 to 5, as the rules read them: single choice -1, multiple
    // choice the check box state (a 2 survives from older sets).
    std::array<qint16, 5> znaczniki{};
    QString rysunek;

    const QString& wzor() const { return odpowiedzi[0]; }
    QString& wzor() { return odpowiedzi[0]; }

    // Which fields a written record takes from the question. Zmienione keeps the stored bytes of
    // every field whose meaning did not change (zero bytes after a text, odd padding); Wszystkie
    // writes every field the editor owns anew, cut and padded with spaces, as the editor's save does.
    enum class Pola { Zmienione, Wszystkie };

    static Pytanie zRekordu(const rekord& r);
    rekord doRekordu(Pola pola = Pola::Zmienione) const;

    // The stored code of an unknown type, or of the type set.
    qint16 kodTypu() const;

private:
    rekord zapisany_ = rekord::pusty();
};

// The answer type's stored code and back; only the codec knows the numbers.
qint16 kodTypu(Pytanie::Typ typ);
Pytanie::Typ typZKodu(qint16 kod);
