#include "pieczec.h"

#include <QList>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>

namespace pieczec {

namespace {

QByteArray bigEndian(quint32 n)
{
    const char bytes[] = {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
    return QByteArray(bytes, 4);
}

// XORs the keystream of kEnc and the nonce into the bytes: encrypting and decrypting alike.
QByteArray xorKeystream(const QByteArray& kEnc, const QByteArray& nonce, QByteArray bytes)
{
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, kEnc);
    char* out = bytes.data();
    for (qsizetype at = 0; at < bytes.size(); at += 32) {
        mac.reset();
        mac.addData(nonce);
        mac.addData(bigEndian(quint32(at / 32)));
        const QByteArray block = mac.result();
        for (qsizetype k = 0; k < 32 && at + k < bytes.size(); ++k)
            out[at + k] ^= block.at(k);
    }
    return bytes;
}

QByteArray encryptionKey(const QByteArray& klucz)
{
    return hmac(klucz, QByteArray(1, '\x01'));
}

QByteArray macKey(const QByteArray& klucz)
{
    return hmac(klucz, QByteArray(1, '\x02'));
}

// The UTF-8 a browser's TextEncoder makes of the same text: a lone surrogate becomes U+FFFD.
QByteArray utf8(const QString& text)
{
    QString s = text;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate())
            ++i;
        else if (s.at(i).isSurrogate())
            s[i] = QChar(QChar::ReplacementCharacter);
    }
    return s.toUtf8();
}

// The white space of JavaScript's String.prototype.trim(), which differs from QChar::isSpace()
// (U+0085 is none, U+FEFF is).
bool bialy(char32_t c)
{
    switch (c) {
    case 0x09:
    case 0x0a:
    case 0x0b:
    case 0x0c:
    case 0x0d:
    case 0x20:
    case 0xa0:
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x202f:
    case 0x205f:
    case 0x3000:
    case 0xfeff:
        return true;
    default:
        return c >= 0x2000 && c <= 0x200a;
    }
}

} // namespace

QString kodKlucza(const QString& code)
{
    const QString s = code.normalized(QString::NormalizationForm_C);
    qsizetype from = 0, to = s.size();
    while (from < to && bialy(s.at(from).unicode()))
        ++from;
    while (to > from && bialy(s.at(to - 1).unicode()))
        --to;
    return s.mid(from, to - from);
}

int znakiKodu(const QString& code)
{
    int n = 0;
    for (const char32_t c : kodKlucza(code).toUcs4())
        n += bialy(c) ? 0 : 1;
    return n;
}

QString wydajKod()
{
    // Bytes above the last whole multiple of the alphabet are drawn again, so every letter is as likely.
    const int size = int(alfabetKodow.size()), limit = 256 / size * size;
    QString code;
    while (code.size() < dlugoscWydanegoKodu) {
        const int b = int(QRandomGenerator::system()->generate() & 0xff);
        if (b < limit)
            code += alfabetKodow.at(b % size);
    }
    return code;
}

QByteArray hmac(const QByteArray& key, const QByteArray& message)
{
    return QMessageAuthenticationCode::hash(message, key, QCryptographicHash::Sha256);
}

QByteArray pbkdf2(const QByteArray& password, const QByteArray& salt, int iterations, int length)
{
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, password);
    QByteArray out;
    out.reserve(length);
    for (quint32 block = 1; out.size() < length; ++block) {
        mac.reset();
        mac.addData(salt);
        mac.addData(bigEndian(block));
        QByteArray u = mac.result();
        QByteArray t = u;
        for (int i = 1; i < iterations; ++i) {
            mac.reset();
            mac.addData(u);
            u = mac.result();
            char* x = t.data();
            for (qsizetype k = 0; k < t.size(); ++k)
                x[k] ^= u.at(k);
        }
        out += t.left(length - out.size());
    }
    return out;
}

QByteArray klucz(const QString& code, const QByteArray& sol, int iteracje)
{
    return pbkdf2(utf8(kodKlucza(code)), sol, iteracje, 32);
}

Zamkniete zamknij(const QByteArray& klucz, const QByteArray& nonce, const QByteArray& tekst)
{
    Zamkniete z;
    z.szyfr = xorKeystream(encryptionKey(klucz), nonce, tekst);
    z.znacznik = hmac(macKey(klucz), nonce + z.szyfr);
    return z;
}

Wynik<QByteArray> otworz(const QByteArray& klucz, const QByteArray& nonce, const Zamkniete& zamkniete)
{
    const QByteArray tag = hmac(macKey(klucz), nonce + zamkniete.szyfr);
    // Every byte compared, so the time taken tells nothing of where a forged tag went wrong.
    char difference = char(tag.size() != zamkniete.znacznik.size());
    for (qsizetype k = 0; k < tag.size() && k < zamkniete.znacznik.size(); ++k)
        difference |= char(tag.at(k) ^ zamkniete.znacznik.at(k));
    if (difference)
        return Blad{Blad::Rodzaj::ZleDane, {}};
    return xorKeystream(encryptionKey(klucz), nonce, zamkniete.szyfr);
}

} // namespace pieczec
