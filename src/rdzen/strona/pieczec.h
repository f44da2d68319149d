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

// A typed code as the key takes it: NFC, and trimmed of the white space JavaScript's trim()
// removes, so the page's script (normalize("NFC").trim()) turns the same typing into the same key.
QString kodKlucza(const QString& code);
// The code's length that counts against guessing: code points, white space left out.
int znakiKodu(const QString& code);
// A code the program issues: from the system's cryptographic source, in an alphabet without
// look-alikes (no 0/o, 1/l/i), 9 characters of 31: 44 bits.
QString wydajKod();
inline const QString alfabetKodow = QStringLiteral("23456789abcdefghjkmnpqrstuvwxyz");
constexpr int dlugoscWydanegoKodu = 9;

// The 32-byte key of a code: PBKDF2 over the UTF-8 of kodKlucza(code). This is the slow step.
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
