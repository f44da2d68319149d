#pragma once

#include "rekord.h"
#include "wynik.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// Paper copies as PDF: the whole set for review, a drawn test for a pupil without a computer,
// and its answer key. One layout for all three: A4, a question never split across pages.
// Needs a QGuiApplication (fonts and pictures).
namespace druk {

// What the test and the key print about the test besides its questions.
struct Opis
{
    QString nazwaZestawu;
    QString minuty; // the time limit as the teacher typed it; nothing is printed when empty
    QString kod;    // the release code; printed in the key only
    QDate data;     // nothing is printed when null
    // For a page whose questions and answers are shuffled: the key gives no question numbers
    // and no answer letters, so each question is found by its text and each answer by its text.
    bool wgTekstu = false;
};

// Every question of the set with its record number, type, text, picture and answers, the right
// ones marked; a typed answer shows its model answer.
Wynik<void> zestaw(const QList<rekord>& rekordy, const QString& nazwaZestawu, const QString& folder,
                   const QString& path);

// The drawn questions in page order, numbered 1..N, with empty boxes and no marks.
Wynik<void> test(const QList<rekord>& rekordy, const Opis& opis, const QString& folder, const QString& path);

// The same questions with the right answers marked, and the time limit, release code, date and
// set's name.
Wynik<void> klucz(const QList<rekord>& rekordy, const Opis& opis, const QString& folder, const QString& path);

// A class test's results: the rows of label and value under the title, then the table, its
// header repeated on every page. Every cell is plain text.
struct Tabela
{
    QList<std::pair<QString, QString>> opis;
    QStringList naglowki;
    QList<QStringList> wiersze;
};
Wynik<void> wyniki(const QString& tytul, const Tabela& tabela, const QString& path);

// Pictures are looked up in `folder` by the record's picture name, as the page does beside the
// set. `path` is replaced whole or not at all: a failed write leaves an earlier file as it was.

} // namespace druk
