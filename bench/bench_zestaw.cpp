// Deleting one question from a 32767-record set (43 MB) against copying the file with cp, and
// appending a 32767-record set against `cat a b > c`, timed in the same run. Peak resident
// memory is printed after each step to show that no set is held in memory.
//
//   bench_zestaw [ROUNDS]        run by hand from a Release or RelWithDebInfo build

#include "przebudowa.h"
#include "setfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int records = 32767;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void makeSet(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        std::exit(1);
    QByteArray block;
    for (int n = 1; n <= 1000; ++n) {
        rekord r = rekord::pusty();
        ustawTekst(r.pytanie, QStringLiteral("Pytanie numer %1").arg(n));
        block += r.encode();
    }
    for (int written = 0; written < records; written += 1000)
        f.write(block.left(std::min(1000, records - written) * rekord::size));
}

double timeShell(const QString& command)
{
    QElapsedTimer t;
    t.start();
    QProcess::execute(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir dir(QStringLiteral("./bench-zestaw-XXXXXX"));
    const QString a = dir.filePath(QStringLiteral("a")), b = dir.filePath(QStringLiteral("b"));
    makeSet(a);
    makeSet(b);
    std::printf("set: %d records, %lld bytes; peak RSS at start %ld KiB\n", records,
                qint64(records) * rekord::size, peakRssKb());

    std::vector<double> del, cp, app_, cat;
    for (int round = 0; round < rounds; ++round) {
        const QString work = dir.filePath(QStringLiteral("work"));
        QFile::remove(work);
        QFile::copy(a, work);

        cp.push_back(timeShell(QStringLiteral("cp '%1' '%2'").arg(a, dir.filePath(QStringLiteral("copy")))));

        SetFile set;
        (void)set.open(work);
        QElapsedTimer t;
        t.start();
        const auto result = zestaw::usunRekord(set.device(), set.fileName(), records / 2, records);
        del.push_back(t.nsecsElapsed() / 1e6);
        set.close();
        if (!result || QFile(work).size() != qint64(records - 1) * rekord::size) {
            std::fprintf(stderr, "deletion failed: %s\n",
                         qPrintable(result ? QString() : result.error().szczegol));
            return 1;
        }

        QFile::remove(work);
        QFile::copy(a, work);
        cat.push_back(
            timeShell(QStringLiteral("cat '%1' '%2' > '%3'").arg(a, b, dir.filePath(QStringLiteral("cat")))));
        (void)set.open(work);
        SetFile other;
        (void)other.open(b);
        t.restart();
        const auto appended = zestaw::dolaczZestaw(set.device(), records, other.device());
        app_.push_back(t.nsecsElapsed() / 1e6);
        if (!appended.wynik || appended.appended != records) {
            std::fprintf(stderr, "append failed: %s\n",
                         qPrintable(appended.wynik ? QString() : appended.wynik.error().szczegol));
            return 1;
        }
    }
    std::printf("delete one question : median %8.1f ms   cp of the set      : median %8.1f ms   ratio %.2f\n",
                median(del), median(cp), median(del) / median(cp));
    std::printf("append a whole set  : median %8.1f ms   cat a b > c        : median %8.1f ms   ratio %.2f\n",
                median(app_), median(cat), median(app_) / median(cat));
    std::printf("peak RSS after %d rounds: %ld KiB (a set is %lld KiB)\n", rounds, peakRssKb(),
                qint64(records) * rekord::size / 1024);
    return 0;
}
