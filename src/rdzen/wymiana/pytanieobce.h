#pragma once

#include "wymiana.h"

#include <QHash>
#include <QSet>

#include <optional>
#include <utility>

// What the readers and writers of the exchange formats share: a question as another program
// holds it, the collector that fits such questions to records and keeps the report, and the
// choice of what of a record goes out.
namespace wymiana::detail {

struct Odpowiedz
{
    QString tekst;
    double ulamek = 0; // Moodle's fraction in percent: 100 right, 0 wrong
};

struct PytanieObce
{
    enum class Rodzaj { Wybor, PrawdaFalsz, Krotka, Inny };
    Rodzaj rodzaj = Rodzaj::Inny;
    QString opisRodzaju;         // Inny: the kind, as the report names it
    QString tekst;               // HTML
    QList<Odpowiedz> odpowiedzi; // HTML for a choice, plain for Krotka
    bool jednokrotny = true;     // Wybor: one answer right
    bool prawda = true;          // PrawdaFalsz: which one is right
    int nadmiar = 0;             // answers past limitOdpowiedzi, not kept
    // The embedded picture, and the pictures that cannot come along with why; both are looked
    // at only once the question is taken.
    QString rysunek;
    QByteArray daneRysunku;
    QList<std::pair<QString, QString>> bezRysunku;
};

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

private:
    void linia(const QString& text);
    void pomin(int numer, const QString& powod);
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

struct PytanieEksportu
{
    bool krotka = false;
    bool jednokrotny = true;
    int punkty = 1; // what the page gives at most: 1 single choice, 4 multiple, 2 typed
    QString nazwa;
    QString tekst;
    QList<Odpowiedz> odpowiedzi;
    QString rysunek;
};

// What the page would ask of record `numer`, or nothing (reported) when another program
// cannot hold it.
std::optional<PytanieEksportu> doEksportu(int numer, const rekord& r, QStringList& raport);
QString podsumowanieEksportu(int zapisane, qsizetype wszystkie);

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

} // namespace wymiana::detail
