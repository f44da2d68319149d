#pragma once

#include "wynik.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

// The class test's results in SQLite beside the set. Outside a batch every call that changes
// something returns only after its transaction is on the disk (WAL, synchronous=FULL); inside one
// (zacznij .. zatwierdz) the changes reach the disk together at zatwierdz, and only then may the
// pupils be told they are saved. Either way what a pupil was told survives a killed program or a
// power loss.
class Magazyn
{
public:
    struct Test
    {
        qint64 id = 0;
        QString pin;
        QDateTime koniec; // UTC
        int liczba = 0;   // questions a pupil gets
        bool pokaz = false;
        bool zakonczony = false;
    };
    struct Uczen
    {
        qint64 id = 0;
        QString imie, token;
        QByteArray arkusz, odpowiedzi; // their stored JSON
        QDateTime oddano;              // null while writing
        bool poCzasie = false;         // closed by the deadline or the teacher, not handed in
        bool zwolniony = false;        // the teacher let the name join again from another browser
    };

    // "<set>.klasa.sqlite" beside the set.
    static QString plikDla(const QString& zestaw);
    static ::Wynik<std::unique_ptr<Magazyn>> otworz(const QString& plik);
    ~Magazyn();
    Magazyn(const Magazyn&) = delete;
    Magazyn& operator=(const Magazyn&) = delete;

    // The latest test not yet ended, which a new start may continue.
    ::Wynik<std::optional<Test>> niedokonczony();
    ::Wynik<qint64> nowyTest(const Test& t);
    ::Wynik<QList<Uczen>> uczniowie(qint64 test);
    ::Wynik<qint64> dolacz(qint64 test, const Uczen& u);
    ::Wynik<void> nowyToken(qint64 uczen, const QString& token);
    ::Wynik<void> zwolnij(qint64 uczen);
    ::Wynik<void> zapisz(qint64 uczen, const QByteArray& odpowiedzi);
    // Handed in (poCzasie false) or closed at the end of the test with what was saved.
    ::Wynik<void> oddaj(qint64 uczen, const QByteArray& odpowiedzi, const QDateTime& kiedy, bool poCzasie);
    ::Wynik<void> ustawPokaz(qint64 test, bool pokaz);
    // Ends the test: every pupil still writing is closed with what they saved, at one commit.
    ::Wynik<void> zakoncz(qint64 test, const QDateTime& kiedy);

    // A batch: the changes up to zatwierdz are one transaction, all on the disk or none.
    ::Wynik<void> zacznij();
    ::Wynik<void> zatwierdz();
    void wycofaj();

    static constexpr int wersjaSchematu = 1;

private:
    explicit Magazyn(QString polaczenie);
    QString polaczenie_;
};
