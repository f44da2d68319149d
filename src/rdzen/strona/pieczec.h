#pragma once

#include "wynik.h"

#include <QByteArray>
#include <QString>

// The seal of a sealed test page: a key derived from the release code with PBKDF2-HMAC-SHA256,
// and encryption built from HMAC-SHA256 alone (encrypt, then authenticate), so that the page's own
// small script can open it where the browser offers no crypto.subtle. A wrong code fails the
// authentication and decrypts nothing.
namespace pieczec {

// Iterations of one guess: 0.17 to 0.4 s in Chromium on the reference machine (bench_pieczec.mjs),
// for the page and for anyone trying codes in its script.
constexpr int iteracje = 400000;

QByteArray hmac(const QByteArray& key, const QByteArray& message);
QByteArray pbkdf2(const QByteArray& password, const QByteArray& salt, int iterations, int length);

// The 32-byte key of a code: PBKDF2 over the code's UTF-8. This is the slow step.
QByteArray klucz(const QString& code, const QByteArray& sol, int iteracje);

struct Zamkniete
{
    QByteArray szyfr;    // ciphertext, as long as the text
    QByteArray znacznik; // 32-byte tag over nonce and ciphertext
};

// Keystream block j is HMAC(kEnc, nonce || j as 4 bytes big-endian); the tag is
// HMAC(kMac, nonce || ciphertext). kEnc and kMac are HMAC(key, 01) and HMAC(key, 02).
Zamkniete zamknij(const QByteArray& klucz, const QByteArray& nonce, const QByteArray& tekst);

// The text, or ZleDane when the key or the nonce is not the seal's or the seal was changed.
Wynik<QByteArray> otworz(const QByteArray& klucz, const QByteArray& nonce, const Zamkniete& zamkniete);

} // namespace pieczec
