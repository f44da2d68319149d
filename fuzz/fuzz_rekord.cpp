// Any bytes as a question record: decoding and encoding give back the same 1314 bytes, and
// every text field reads and writes back without loss.

#include "common.h"

#include "codepage.h"
#include "rekord.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

// What reading a field must give, worked out without the record code: the bytes before the
// first zero byte, decoded, without the spaces at both ends.
template <std::size_t N>
QString oczekiwanyTekst(const rekord::pole<N>& pole)
{
    QByteArray bytes(pole.data(), qsizetype(N));
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    while (bytes.startsWith(' '))
        bytes.remove(0, 1);
    while (bytes.endsWith(' '))
        bytes.chop(1);
    return cp1250::decode(bytes);
}

template <std::size_t N>
void sprawdzPole(const rekord::pole<N>& pole)
{
    const QString text = tekst(pole);
    FUZZ_CHECK(text == oczekiwanyTekst(pole));
    FUZZ_CHECK(text.size() <= qsizetype(N));
    FUZZ_CHECK(!text.startsWith(QLatin1Char(' ')) && !text.endsWith(QLatin1Char(' ')));
    FUZZ_CHECK(!text.contains(QChar(0)));

    // Written back, the text is stored as its bytes padded with spaces, and reads the same.
    rekord::pole<N> copy;
    copy.fill('\x55');
    ustawTekst(copy, text);
    const QByteArray encoded = cp1250::encode(text);
    FUZZ_CHECK(encoded.size() == text.size());
    FUZZ_CHECK(QByteArray(copy.data(), encoded.size()) == encoded);
    for (std::size_t i = std::size_t(encoded.size()); i < N; ++i)
        FUZZ_CHECK(copy[i] == ' ');
    FUZZ_CHECK(tekst(copy) == text);
}

// Any text, also one with characters outside the code page, goes into a field cut to its width
// and never past it.
template <std::size_t N>
void sprawdzZapis(const QString& text)
{
    struct
    {
        rekord::pole<N> pole;
        char guard[16];
    } space;
    space.pole.fill('\x55');
    std::memset(space.guard, 0x77, sizeof space.guard);
    ustawTekst(space.pole, text);
    for (char c : space.guard)
        FUZZ_CHECK(c == 0x77);

    const QString read = tekst(space.pole);
    FUZZ_CHECK(read.size() <= qsizetype(N));
    FUZZ_CHECK(read == oczekiwanyTekst(space.pole));

    // A text the code page holds, without zero characters, reads back as it was written, cut and
    // without its outer spaces.
    const QString cut = text.left(qsizetype(N));
    if (!cut.contains(QChar(0)) && cp1250::decode(cp1250::encode(cut)) == cut)
        FUZZ_CHECK(read == trimSpaces(cut));
}

void sprawdzTrim(const QString& text)
{
    const QString t = trimSpaces(text);
    FUZZ_CHECK(!t.startsWith(QLatin1Char(' ')) && !t.endsWith(QLatin1Char(' ')));
    FUZZ_CHECK(text.contains(t));
    const qsizetype begin = text.indexOf(t);
    for (qsizetype i = 0; i < begin; ++i)
        FUZZ_CHECK(text.at(i) == QLatin1Char(' '));
    for (qsizetype i = begin + t.size(); i < text.size(); ++i)
        FUZZ_CHECK(text.at(i) == QLatin1Char(' '));
}

// The code page's own conversions agree with Qt's converter for every byte and every text,
// substitutes for characters outside the code page included.
void sprawdzKodowanie(const QByteArray& bytes, const QString& text)
{
    QStringDecoder decoder("windows-1250");
    QStringEncoder encoder("windows-1250");
    FUZZ_CHECK(decoder.isValid() && encoder.isValid());
    const QString decoded = cp1250::decode(bytes);
    FUZZ_CHECK(decoded == decoder.decode(bytes));
    FUZZ_CHECK(cp1250::encode(decoded) == bytes);
    FUZZ_CHECK(cp1250::encode(text) == encoder.encode(text));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));

    const rekord r = rekord::decode(input);
    const QByteArray encoded = r.encode();
    QByteArray expected = input.left(rekord::size);
    expected.append(rekord::size - expected.size(), '\0');
    FUZZ_CHECK_MSG(encoded == expected, roznica(encoded, expected));
    FUZZ_CHECK(rekord::decode(encoded) == r);

    // Fields through the numbered accessors are the fields at their stored offsets.
    for (int k = 1; k <= 6; ++k) {
        FUZZ_CHECK(QByteArray(r.odp(k).data(), 150) == expected.mid(300 + (k - 1) * 150, 150));
        const auto lo = uchar(expected[1200 + (k - 1) * 2]);
        const auto hi = uchar(expected[1201 + (k - 1) * 2]);
        FUZZ_CHECK(r.poprawna(k) == qint16(quint16(lo | (hi << 8))));
    }
    FUZZ_CHECK(r.typ == qint16(quint16(uchar(expected[1312]) | (uchar(expected[1313]) << 8))));

    sprawdzPole(r.pytanie);
    for (int k = 1; k <= 6; ++k)
        sprawdzPole(r.odp(k));
    sprawdzPole(r.rysunek);

    // Setting the decoded texts into a fresh record gives the same texts back.
    rekord copy;
    ustawTekst(copy.pytanie, tekst(r.pytanie));
    ustawTekst(copy.odp1, tekst(r.odp1));
    ustawTekst(copy.rysunek, tekst(r.rysunek));
    FUZZ_CHECK(tekst(copy.pytanie) == tekst(r.pytanie));
    FUZZ_CHECK(tekst(copy.odp1) == tekst(r.odp1));
    FUZZ_CHECK(tekst(copy.rysunek) == tekst(r.rysunek));

    // The input as typed text, UTF-16 and UTF-8, into each width of field.
    const QString utf16(reinterpret_cast<const QChar*>(input.constData()), input.size() / 2);
    const QString utf8 = QString::fromUtf8(input);
    for (const QString& text : {utf16, utf8}) {
        sprawdzKodowanie(input, text);
        sprawdzZapis<300>(text);
        sprawdzZapis<150>(text);
        sprawdzZapis<100>(text);
        sprawdzTrim(text);
    }
    return 0;
}
