#include "rekord.h"

#include "codepage.h"

#include <QtEndian>

#include <cstring>

namespace {

constexpr int offPytanie = 0;
constexpr int offOdp = 300;
constexpr int odpWidth = 150;
constexpr int offPoprawna = 1200;
constexpr int offRysunek = 1212;
constexpr int offTyp = 1312;

qint16 readInt16(const char* p)
{
    return qFromLittleEndian<qint16>(p);
}

void writeInt16(char* p, qint16 value)
{
    qToLittleEndian<qint16>(value, p);
}

} // namespace

rekord::pole<150>& rekord::odp(int k)
{
    switch (k) {
    case 1:
        return odp1;
    case 2:
        return odp2;
    case 3:
        return odp3;
    case 4:
        return odp4;
    case 5:
        return odp5;
    default:
        return odp6;
    }
}

const rekord::pole<150>& rekord::odp(int k) const
{
    return const_cast<rekord*>(this)->odp(k);
}

qint16& rekord::poprawna(int k)
{
    switch (k) {
    case 1:
        return poprawna1;
    case 2:
        return poprawna2;
    case 3:
        return poprawna3;
    case 4:
        return poprawna4;
    case 5:
        return poprawna5;
    default:
        return poprawna6;
    }
}

qint16 rekord::poprawna(int k) const
{
    return const_cast<rekord*>(this)->poprawna(k);
}

rekord rekord::decode(const QByteArray& bytes)
{
    std::array<char, size> raw{};
    std::memcpy(raw.data(), bytes.constData(), std::min<qsizetype>(bytes.size(), size));

    rekord r;
    std::memcpy(r.pytanie.data(), raw.data() + offPytanie, r.pytanie.size());
    for (int k = 1; k <= 6; ++k) {
        std::memcpy(r.odp(k).data(), raw.data() + offOdp + (k - 1) * odpWidth, odpWidth);
        r.poprawna(k) = readInt16(raw.data() + offPoprawna + (k - 1) * 2);
    }
    std::memcpy(r.rysunek.data(), raw.data() + offRysunek, r.rysunek.size());
    r.typ = readInt16(raw.data() + offTyp);
    return r;
}

QByteArray rekord::encode() const
{
    QByteArray raw(size, '\0');
    char* p = raw.data();
    std::memcpy(p + offPytanie, pytanie.data(), pytanie.size());
    for (int k = 1; k <= 6; ++k) {
        std::memcpy(p + offOdp + (k - 1) * odpWidth, odp(k).data(), odpWidth);
        writeInt16(p + offPoprawna + (k - 1) * 2, poprawna(k));
    }
    std::memcpy(p + offRysunek, rysunek.data(), rysunek.size());
    writeInt16(p + offTyp, typ);
    return raw;
}

rekord rekord::pusty()
{
    rekord r;
    ustawTekst(r.rysunek, QString());
    return r;
}

namespace detail {

void storeText(char* field, std::size_t width, const QString& text)
{
    // Cut by characters before converting: every character is one byte in the code page.
    const QByteArray bytes = cp1250::encode(text.left(qsizetype(width)));
    const std::size_t n = std::min<std::size_t>(std::size_t(bytes.size()), width);
    std::memcpy(field, bytes.constData(), n);
    std::memset(field + n, ' ', width - n);
}

QString loadText(const char* field, std::size_t width)
{
    const char* end = static_cast<const char*>(std::memchr(field, '\0', width));
    const qsizetype n = end ? end - field : qsizetype(width);
    return trimSpaces(cp1250::decode(QByteArray(field, n)));
}

} // namespace detail

QString trimSpaces(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}
