#pragma once

#include "biezacyfolder.h"
#include "komunikat.h"
#include "losowanie.h"
#include "pytanie.h"
#include "rekord.h"

#include <QDate>
#include <QIODevice>
#include <QString>

#include <memory>
#include <optional>

// The work of the test generator: the set read (never written, never created), its count, the
// draw, the page "test.html" in the current folder and its paper copies. It shows nothing.
class Generowanie
{
public:
    struct Skutek
    {
        bool zrobione = true;
        Zdarzenia komunikaty;
        bool ponowic = false; // nothing was done: the teacher may try again
    };
    struct Opcje
    {
        bool ukryj = false;  // the sealed page: answers and code hidden
        bool losowo = false; // and shuffled at every opening
        bool kopie = false;  // separate sealed copies, each with its own draw, seal and issued code
    };

    Generowanie(BiezacyFolder& folder, losowanie::Zrodlo losowe);
    ~Generowanie();

    // Opens the chosen set for reading. A typed name of no file in an existing folder is an
    // empty set, as the count takes it; the file is not created.
    Skutek otworz(const QString& sciezka, const QString& nazwa);
    void zamknij();
    qint16 iloscrekordow() const { return iloscrekordow_; }
    // Questions of the set that no answer can score.
    int bledne() const { return bledne_; }

    // Draws as many questions as the text asks for; each drawn number is also handed to
    // `wylosowany` as it is drawn.
    Skutek losuj(const QString& ilosc, const std::function<void(qint16)>& wylosowany);
    // The time limit as typed: a number of minutes in the user's own format.
    Skutek czas(const QString& minuty);
    // Reads the drawn questions and writes the page; a sealed page wants a code long enough.
    Skutek zapisz(const QString& kod, Opcje opcje);
    // Separate copies: the count as typed (1..60), then test-01.html … and kody.pdf in the set's
    // folder, each copy drawn anew (the first takes the draw made) and sealed by its own issued
    // code. An empty count is a cancel: nothing is written.
    Skutek zapiszKopie(const QString& ile, Opcje opcje, const QDate& data);
    static constexpr int najwiecejKopii = 60;
    // The codes of the copies written last, the first copy's first.
    const QStringList& kody() const { return kody_; }

    // The drawn test or its key as a PDF.
    Skutek drukuj(bool klucz, const QString& sciezka, const QDate& data) const;

    QString sciezkaStrony() const { return folder_.plik(QStringLiteral("test.html")); }

    // A class test takes the count as the page does, and the whole set: each pupil draws anew.
    struct DoKlasy
    {
        QList<Pytanie> zestaw;
        QString plik, folder, nazwa; // the set's path, its folder and its name as chosen
        int liczba = 0;
    };
    Skutek doKlasy(const QString& ilosc, DoKlasy& klasa) const;
    // Whole minutes typed in the user's own format; none for no number or less than a minute.
    static std::optional<int> minutyKlasy(const QString& minuty);

private:
    // Reads the drawn questions into pytania_.
    Skutek czytaj();

    BiezacyFolder& folder_;
    losowanie::Zrodlo losowe_;
    std::unique_ptr<QIODevice> plik_;
    QString nazwa_, folderZestawu_, sciezkaZestawu_;
    qint16 iloscrekordow_ = 0;
    int bledne_ = 0;
    losowanie::Wylosowane wylosowane_{};
    int n_ = 0;
    QString sekundy_, minuty_, kod_;
    Opcje opcje_;
    QList<rekord> pytania_; // the drawn records in page order
    QStringList kody_;
};
