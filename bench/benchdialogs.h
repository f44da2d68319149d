#pragma once

#include "dialogs.h"
#include "pytanie.h"
#include "rekord.h"

#include <cstdio>
#include <cstdlib>

// Answers the windows' dialogs in a benchmark: `set` for every open-file dialog, the time limit
// (45 minutes), 30 separate copies and a release code (the issued one where offered) for input
// boxes. Any message means the run went wrong.
class BenchDialogs : public Dialogs
{
public:
    QString set;
    Answer message(QWidget*, const QString& text, Buttons, Icon, const QString&) override
    {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        std::exit(1);
    }
    QString input(QWidget*, const QString& prompt, const QString&) override
    {
        return prompt.contains(QStringLiteral("czas"))    ? QStringLiteral("45")
               : prompt.contains(QStringLiteral("kopii")) ? QStringLiteral("30")
                                                          : QStringLiteral("kod");
    }
    QString inputCode(QWidget*, const QString&, const QString&, const QString& initial) override
    {
        return initial;
    }
    void help(QWidget*, const QString&, int, int) override {}

protected:
    QString chooseFile(QWidget*, const OpenFileDialog&) override { return set; }
    void chooseSaveFile(QWidget*, SaveFileDialog& dialog) override { dialog.fileName.clear(); }
};

// A set of `records` questions for the generator's benchmarks: question n is of the type
// `typ(n)` and has its right answer (its only one, for a single choice) at `prawidlowa(n)`, 1..4.
template <class Typ, class Prawidlowa>
QByteArray zestawBenchmarku(int records, Typ typ, Prawidlowa prawidlowa)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(records) * rekord::size);
    for (int n = 1; n <= records; ++n) {
        rekord r = rekord::pusty();
        const Pytanie::Typ t = typ(n);
        r.typ = kodTypu(t);
        ustawTekst(r.pytanie,
                   QStringLiteral("Pytanie numer %1: które z poniższych zdań jest prawdziwe?").arg(n));
        for (int k = 1; k <= 5; ++k)
            ustawTekst(r.odp(k), QStringLiteral("Odpowiedź %1 do pytania %2").arg(k).arg(n));
        r.poprawna(prawidlowa(n)) = t == Pytanie::Typ::Opcja ? -1 : 1;
        bytes += r.encode();
    }
    return bytes;
}
