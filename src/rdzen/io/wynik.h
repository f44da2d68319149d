#pragma once

#include <QString>

#include <utility>
#include <variant>

// Why an operation of the core failed: the kind, which the interface layer turns into the user's
// words, and the detail (the system's message, a file name, a number) it may add to them.
struct Blad
{
    enum class Rodzaj {
        Otwarcie,     // the file cannot be opened or created
        Odczyt,       // reading failed or came back short
        Zapis,        // writing failed: a full disk, a size limit, no rights
        Folder,       // the name leads to a folder
        PustaNazwa,   // no file name given
        NieZestaw,    // the file is not a set
        ZleDane,      // the data cannot be taken as it is
        PozaZakresem, // a record number outside the set
        ZaDuzy,       // the result would exceed what a set or page can hold
        Format,       // a format this operation does not handle
        Skrocony,     // the source grew shorter while it was copied
        ZlaDlugosc,   // a written file came out of another length than it must have
        Dokument,     // a printed document could not be started
    };
    Rodzaj rodzaj;
    QString szczegol;
    bool operator==(const Blad&) const = default;
};

// A value or the reason there is none, in the manner of std::expected (not in C++20 yet).
template <class T>
class [[nodiscard]] Wynik
{
public:
    Wynik(T wartosc) : stan_(std::in_place_index<0>, std::move(wartosc)) {}
    Wynik(Blad blad) : stan_(std::in_place_index<1>, std::move(blad)) {}

    bool has_value() const { return stan_.index() == 0; }
    explicit operator bool() const { return has_value(); }
    const T& value() const& { return std::get<0>(stan_); }
    T& value() & { return std::get<0>(stan_); }
    T&& value() && { return std::get<0>(std::move(stan_)); }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }
    const Blad& error() const { return std::get<1>(stan_); }

private:
    std::variant<T, Blad> stan_;
};

template <>
class [[nodiscard]] Wynik<void>
{
public:
    Wynik() = default;
    Wynik(Blad blad) : blad_(std::move(blad)), ok_(false) {}

    bool has_value() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const Blad& error() const { return blad_; }

private:
    Blad blad_{};
    bool ok_ = true;
};
