#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>
#include <cstddef>

// One question exactly as a set file stores it: 1314 bytes, fixed-width Windows-1250 text
// fields, 16-bit little-endian marks and answer type. Every field keeps its stored bytes, so a
// record read and written back unchanged is the same 1314 bytes.
struct rekord
{
    static constexpr int size = 1314;

    template <std::size_t N>
    using pole = std::array<char, N>;

    pole<300> pytanie{};
    pole<150> odp1{}, odp2{}, odp3{}, odp4{}, odp5{}, odp6{};
    qint16 poprawna1 = 0, poprawna2 = 0, poprawna3 = 0, poprawna4 = 0, poprawna5 = 0, poprawna6 = 0;
    pole<100> rysunek{};
    qint16 typ = 0;

    // Answer k (1..6) and its mark, for code that walks the answers in order.
    pole<150>& odp(int k);
    const pole<150>& odp(int k) const;
    qint16& poprawna(int k);
    qint16 poprawna(int k) const;

    // Exactly 1314 bytes; a shorter input reads as if padded with zero bytes.
    static rekord decode(const QByteArray& bytes);
    QByteArray encode() const;

    // A new set's first question: every byte zero except an all-blank picture name.
    static rekord pusty();

    bool operator==(const rekord&) const = default;
};

// Writing a text: cut to the field's width, padded on the right with spaces.
template <std::size_t N>
void ustawTekst(rekord::pole<N>& pole, const QString& text);
// Reading a text: up to the first zero byte, leading and trailing spaces (only) removed.
template <std::size_t N>
QString tekst(const rekord::pole<N>& pole);

namespace detail {
void storeText(char* field, std::size_t width, const QString& text);
QString loadText(const char* field, std::size_t width);
} // namespace detail

template <std::size_t N>
void ustawTekst(rekord::pole<N>& pole, const QString& text)
{
    detail::storeText(pole.data(), N, text);
}

template <std::size_t N>
QString tekst(const rekord::pole<N>& pole)
{
    return detail::loadText(pole.data(), N);
}

// Removes the space character only; tabs and line breaks stay.
QString trimSpaces(const QString& text);
