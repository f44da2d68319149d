#pragma once

#include "pieczec.h"
#include "rekord.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The sealed test page: the default page's head, blocks, tail and foot, with a script that holds
// neither the release code nor the answers. What scoring needs (per question its type and its
// marks, right index or model answer) is sealed under the key of the release code and opened in
// the page when the code is typed.
namespace strona {

// Shorter codes are tried out too quickly for the seal to protect anything.
constexpr int najkrotszyKod = 6;

// One page's seal: fresh salt and nonce for every page, fixed ones in tests.
struct Pieczec
{
    bool losowo = false; // each opening shows the questions, and each one's answers, in a new order
    int iteracje = pieczec::iteracje;
    QByteArray sol;   // 16 bytes
    QByteArray nonce; // 16 bytes
    int kopia = 0;    // one of separate copies, from 1, shown on the page and in its result; 0: none

    // Salt and nonce from the system's random source.
    static Pieczec nowa(bool losowo);
};

// A copy's number as its file name and page show it: "07".
QString numerKopii(int kopia);

// The page of the questions in draw order; seconds as strona::sekundy formats them.
QString zapieczetowana(const QList<rekord>& pytania, const QString& seconds, const QString& code,
                       const Pieczec& p);
// The same with the code's key already derived (pieczec::klucz with the seal's salt and
// iterations), which is the only slow part.
QString zapieczetowanaKluczem(const QList<rekord>& pytania, const QString& seconds, const QByteArray& klucz,
                              const Pieczec& p);

} // namespace strona
