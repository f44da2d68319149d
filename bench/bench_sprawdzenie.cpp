// Checking a 32767-record set read from its file, the whole check as the editor runs it: every
// record read, checked, its text compared with all before it and its picture looked at.
// The set mixes the three answer types, findings of most kinds and 50 pictures shared by many
// questions, one of them missing.
//
//   bench_sprawdzenie [ROUNDS]   run by hand from a Release or RelWithDebInfo build

#include "pytanie.h"
#include "setfile.h"
#include "sprawdzenie.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int records = 32767;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

rekord question(int n)
{
    rekord r = rekord::pusty();
    r.typ = qint16(n % 3);
    // Every 100th text repeats an earlier one; a few hold a lone "<" or "&".
    const int text = n % 100 == 0 ? n / 2 : n;
    ustawTekst(r.pytanie, QStringLiteral("Pytanie numer %1: ile to %2 + %3? Zapisz wynik <b>cyframi</b>%4")
                              .arg(text)
                              .arg(n % 17)
                              .arg(n % 23)
                              .arg(n % 250 == 0 ? QStringLiteral(" & < ") : QString()));
    for (int k = 1; k <= 4; ++k)
        ustawTekst(r.odp(k), QStringLiteral("Odpowiedź %1 do pytania %2").arg(k).arg(n));
    if (typZKodu(r.typ) == Pytanie::Typ::Tekst)
        ustawTekst(r.odp1, n % 7 == 0 ? QStringLiteral("Wynik") : QStringLiteral("%1").arg(n % 40));
    else if (typZKodu(r.typ) == Pytanie::Typ::Opcja)
        r.poprawna(n % 5 + 1) = -1;
    else
        r.poprawna(n % 4 + 1) = n % 11 == 0 ? 0 : 1;
    if (n % 4 == 0)
        ustawTekst(r.rysunek, QStringLiteral("rys%1.png").arg(n % 50));
    return r;
}

void makeSet(const QString& path, const QString& folder)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        std::exit(1);
    for (int n = 1; n <= records; ++n)
        f.write(question(n).encode());
    for (int p = 1; p < 50; ++p) {
        QFile picture(folder + QStringLiteral("/rys%1.png").arg(p));
        if (!picture.open(QIODevice::WriteOnly) || picture.write("\x89PNG\r\n\x1a\n") != 8)
            std::exit(1);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir dir(QStringLiteral("./bench-sprawdzenie-XXXXXX"));
    const QString set = dir.filePath(QStringLiteral("zestaw"));
    makeSet(set, dir.path());
    std::printf("set: %d records, %lld bytes\n", records, qint64(records) * rekord::size);

    std::vector<double> times;
    qsizetype found = 0;
    int errors = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer t;
        t.start();
        const auto result = sprawdzenie::sprawdzZestaw(set);
        times.push_back(t.nsecsElapsed() / 1e6);
        if (!result) {
            std::fprintf(stderr, "check failed: %s\n", qPrintable(result.error().szczegol));
            return 1;
        }
        found = result->size();
        errors = sprawdzenie::pytaniaZBledami(*result);
    }
    std::printf(
        "check the whole set: median %8.1f ms, best %8.1f ms over %d rounds (target: under 1000 ms)\n",
        median(times), *std::min_element(times.begin(), times.end()), rounds);
    std::printf("findings: %lld, questions with errors: %d\n", qint64(found), errors);
    return 0;
}
