#include "codepage.h"

#include <array>

namespace cp1250 {

namespace {

// Bytes 0x80..0xFF; below them the code page is ASCII. Read off ICU's windows-1250 converter,
// which also gives the five unassigned bytes (0x81, 0x83, 0x88, 0x90, 0x98) their C1 controls.
constexpr std::array<char16_t, 128> upperHalf = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160, 0x2039, 0x015A,
    0x0164, 0x017D, 0x0179, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154,
    0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD,
    0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA,
    0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4,
    0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9};

constexpr char substitute = 0x1A;

// Characters the converter drops instead of substituting: the default-ignorable code points.
constexpr bool ignorable(char32_t c)
{
    return c == 0x034F || c == 0x061C || c == 0x115F || c == 0x1160 || c == 0x17B4 || c == 0x17B5 ||
           (c >= 0x180B && c <= 0x180F) || (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2060 && c <= 0x206F) || c == 0x3164 || (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF ||
           c == 0xFFA0 || (c >= 0xFFF0 && c <= 0xFFF8) || (c >= 0x1BCA0 && c <= 0x1BCA3) ||
           (c >= 0x1D173 && c <= 0x1D17A) || (c >= 0xE0000 && c <= 0xE0FFF);
}

// Byte + 1 for every character of the code page, 0 for the rest.
const std::array<quint16, 0x10000>& fromUnicode()
{
    static const std::array<quint16, 0x10000> table = [] {
        std::array<quint16, 0x10000> t{};
        for (int b = 0; b < 0x80; ++b)
            t[b] = quint16(b + 1);
        for (int b = 0; b < 0x80; ++b)
            t[upperHalf[b]] = quint16(0x80 + b + 1);
        return t;
    }();
    return table;
}

} // namespace

QByteArray encode(const QString& text)
{
    const std::array<quint16, 0x10000>& table = fromUnicode();
    const qsizetype n = text.size();
    const auto* src = reinterpret_cast<const char16_t*>(text.utf16());
    QByteArray out(n, Qt::Uninitialized);
    char* p = out.data();
    qsizetype at = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = src[i];
        if (const quint16 b = table[c]) {
            p[at++] = char(b - 1);
        } else if (QChar::isHighSurrogate(c)) {
            // A high surrogate that ends the text is held back for a partner that never comes.
            if (i + 1 == n)
                break;
            if (QChar::isLowSurrogate(src[i + 1])) {
                if (!ignorable(QChar::surrogateToUcs4(c, src[++i])))
                    p[at++] = substitute;
            } else {
                p[at++] = substitute;
            }
        } else if (!ignorable(c)) {
            p[at++] = substitute;
        }
    }
    out.truncate(at);
    return out;
}

bool zawiera(char32_t c)
{
    return c < 0x10000 && fromUnicode()[c] != 0;
}

QString decode(const QByteArray& bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* p = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const quint8 b = quint8(bytes[i]);
        p[i] = QChar(b < 0x80 ? char16_t(b) : upperHalf[b - 0x80]);
    }
    return out;
}

} // namespace cp1250
