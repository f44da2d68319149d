#pragma once

#include <QString>

// What an operation of the core reports: success, or the reason in Polish for the user's message.
// Operations that also hand back data return a struct derived from this one.
struct Wynik
{
    bool ok = false;
    QString error;

    static Wynik sukces() { return {true, {}}; }
    static Wynik blad(const QString& why) { return {false, why}; }
};
