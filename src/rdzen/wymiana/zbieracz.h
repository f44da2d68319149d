#pragma once

#include "pytanieobce.h"
#include "wymiana.h"

#include <QHash>
#include <QSet>
#include <QStringList>

namespace wymiana::detail {

// Fits the questions another program wrote into records, one by one, and keeps the report: what
// was taken, what not and why. Pictures are only collected; zapiszRysunki writes them.
class Zbieracz
{
public:
    explicit Zbieracz(const QString& folderZestawu) : folder_(folderZestawu) {}

    // The next question's number (from 1); false once there are more than limitPytan.
    bool nastepny(int& numer);
    bool pelny() const { return liczba_ > limitPytan; }

    void dodaj(int numer, PytanieObce p);

    QList<rekord> pytania;
    QList<Rysunek> rysunki;
    QStringList raport() const;
    // A line of the report, and one for a question left out.
    void linia(const QString& text);
    void pomin(int numer, const QString& powod);

private:
    void uwaga(int numer, const QString& tekst);
    QString pole(int numer, const QString& text, bool html, int width, const QString& co);
    QString rysunek(int numer, QString nazwa, const QByteArray& dane);

    QString folder_;
    int liczba_ = 0;
    QStringList lines_;
    int dropped_ = 0;
    QSet<char32_t> reported_;
    QHash<QString, qsizetype> byName_; // picture name -> index in rysunki
};

// Each reader gives back an empty text when the file was read, or what is wrong with it.
// Moodle XML whose root element is not a quiz gives `nieQuiz`.
QString czytajMoodle(const QString& text, Zbieracz& zb);
inline const QString nieQuiz = QStringLiteral("-");
QString czytajGift(const QString& text, Zbieracz& zb);
bool wygladaNaAiken(const QString& text);
void czytajAiken(const QString& text, Zbieracz& zb);

} // namespace wymiana::detail
