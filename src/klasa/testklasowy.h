#pragma once

#include "arkusz.h"
#include "magazyn.h"

#include <QDateTime>
#include <QHash>
#include <QHostAddress>
#include <QJsonArray>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <variant>

// A class test: the pupils' draws, their saved answers and their scores, kept in the store. The
// pupils' changes made in one turn of the event loop go to the disk at one commit, just after the
// turn; a call's answer may be given only once zapisano(true) says it is there (zapisano(false):
// it was undone, nothing was saved). The server turns the pupil's calls into HTTP; the teacher's
// window reads the rest. Nothing a pupil's call returns holds a mark, a model answer or another
// pupil's data.
class TestKlasowy : public QObject
{
    Q_OBJECT

public:
    using Zegar = std::function<QDateTime()>;
    struct Ustawienia
    {
        QList<Pytanie> zestaw;
        QString folder; // the set's folder, where its pictures are
        int liczba = 0; // questions a pupil gets
        int minuty = 0;
        Zegar zegar;           // now in UTC; the system clock when empty
        losowanie::Zrodlo los; // the draw; seeded from the system when empty
    };
    // A new test, or with wznow the store's unfinished one, with its PIN, deadline and answers.
    static ::Wynik<std::unique_ptr<TestKlasowy>> otworz(std::unique_ptr<Magazyn> magazyn, Ustawienia u,
                                                        bool wznow);
    ~TestKlasowy() override;

    // Why a pupil's call is refused; the server gives each its status and words.
    enum class Odmowa {
        ZlyKsztalt,
        BrakImienia,
        NieznanyToken,
        ZlyPin,
        Oddano,
        ImieZajete,
        Zamkniety,
        Blokada,
        Komplet,
        Zapis, // the store failed; nothing was acknowledged, the pupil tries again
    };
    template <class T>
    using Albo = std::variant<Odmowa, T>;

    struct Dolaczenie
    {
        QString token;
        QDateTime koniec;
        QJsonArray pytania;
    };
    struct Stan
    {
        QJsonArray pytania, odpowiedzi;
        bool oddano = false;
        QDateTime koniec;
        std::optional<reguly::Punkty> wynik; // handed in, while the teacher shows pupils their results
    };
    struct Oddanie
    {
        std::optional<reguly::Punkty> wynik; // only while the teacher shows pupils their results
    };
    Albo<Dolaczenie> dolacz(const QString& imie, const QString& pin, const QHostAddress& adres);
    Albo<Stan> stan(const QString& token);
    std::optional<Odmowa> zapisz(const QString& token, const QJsonValue& odpowiedzi);
    Albo<Oddanie> oddaj(const QString& token, const QJsonValue& odpowiedzi);
    // The picture file behind an opaque ID the draw handed out; empty for any other.
    QString rysunek(const QString& id) const;
    // While true, pupils' changes wait for their commit: a reply about them waits for zapisano.
    bool czekaNaZapis() const { return partia_; }
    // Commits the waiting changes now; the teacher's calls and the deadline do it first.
    ::Wynik<void> zatwierdz();

    // The teacher's side.
    QString pin() const { return test_.pin; }
    QDateTime koniec() const { return test_.koniec; }
    qint64 pozostaloSekund() const;
    bool zakonczony() const { return test_.zakonczony; }
    bool pokaz() const { return test_.pokaz; }
    ::Wynik<void> ustawPokaz(bool pokaz);
    // "Zakończ test", and the deadline: every pupil still writing is scored on what they saved.
    ::Wynik<void> zakoncz();
    void sprawdzCzas();

    struct Wiersz
    {
        qint64 id = 0;
        QString uczen, stan; // "pisze", "oddał", "po czasie"
        int punkty = 0, maks = 0;
        std::optional<double> procent;
        QDateTime oddano;
    };
    QList<Wiersz> wiersze() const;
    struct OdpowiedzNaPytanie
    {
        int nr = 0;      // as the pupil saw it
        int pytanie = 0; // in the set, from 0
        QString tresc, odpowiedz;
        reguly::Punkty punkty;
    };
    QList<OdpowiedzNaPytanie> odpowiedziUcznia(qint64 id) const;
    struct WierszPytania
    {
        int pytanie = 0; // in the set, from 0
        int ilu = 0;     // pupils who got it
        int punkty = 0, maks = 0;
        double udzial = 0; // points earned / points possible
    };
    // Each question drawn, the least understood first.
    QList<WierszPytania> pytania() const;
    // Lets a pupil whose browser broke join again under the same name, keeping the sheet.
    ::Wynik<void> zwolnij(qint64 id);
    QByteArray csv() const;

    static constexpr int maksImienia = 60;
    static constexpr int maksUczniow = 500;
    static constexpr int probyPinu = 10;
    static constexpr int blokadaSekund = 60;

signals:
    void zmiana(); // something the teacher sees changed, and is on the disk
    void bladZapisu(const Blad& blad);
    void zapisano(bool ok); // the waiting changes were committed, or undone

private:
    struct Uczen
    {
        Magazyn::Uczen zapis;
        klasa::Arkusz arkusz;
        klasa::Odpowiedzi odpowiedzi;
    };
    struct Proby
    {
        int zle = 0;
        QDateTime do_;
    };
    TestKlasowy(std::unique_ptr<Magazyn> m, Ustawienia u);
    QDateTime teraz() const;
    Uczen* uczen(const QString& token);
    struct Przyjete
    {
        Uczen* u;
        klasa::Odpowiedzi odp;
        QByteArray json;
    };
    Albo<Przyjete> przyjmij(const QString& token, const QJsonValue& odpowiedzi);
    std::optional<Odmowa> otwarty();
    QJsonArray pytaniaDla(const klasa::Arkusz& a) const;
    Odmowa zapisBledny(const Blad& b);
    std::optional<Blad> partia();
    void zmieniany(qsizetype i, bool nowy);
    Odmowa porzuc(const Blad& b);

    std::unique_ptr<Magazyn> magazyn_;
    Ustawienia u_;
    Magazyn::Test test_;
    QList<Uczen> uczniowie_;
    QHash<QString, qsizetype> tokeny_;
    QHash<QString, qsizetype> imiona_; // by the name in one letter case
    QHash<QString, Proby> proby_;
    QHash<int, QString> rysunkiPytan_; // question -> ID
    QHash<QString, QString> rysunki_;  // ID -> file
    QTimer zegarKonca_;
    bool partia_ = false;
    struct Cofniecie
    {
        qsizetype i;
        std::optional<Uczen> przed; // none: joined in this batch
    };
    QList<Cofniecie> cofnij_; // the batch's changes to the pupils, to undo if its commit fails
};
