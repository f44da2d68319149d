// Generating a 100-question page from a set of 32767 records (43 MB) through the real generator
// window, against the least any generator must do: read those 100 records and write the page's
// bytes. Time and bytes read (the kernel's count for this process) are compared in one run. The
// page's bytes are written twice in the baseline: plainly, and the way the page itself must be
// written (QSaveFile: temporary file, data synced, renamed over the old page).
//
//   bench_generowanie [ROUNDS]        run by hand from a Release or RelWithDebInfo build

#include "benchdialogs.h"
#include "frmtest.h"
#include "setfile.h"
#include "strona.h"
#include "zapieczetowana.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <unistd.h>

namespace {

struct Io
{
    qint64 rchar = 0, syscr = 0;
};

// Bytes and read calls of this process so far, as the kernel counts them.
Io io()
{
    Io result;
    QFile f(QStringLiteral("/proc/self/io"));
    if (!f.open(QIODevice::ReadOnly))
        return result;
    // Read in one call and parse after, so reading the counters does not blur them.
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith("rchar:"))
            result.rchar = line.mid(6).trimmed().toLongLong();
        else if (line.startsWith("syscr:"))
            result.syscr = line.mid(6).trimmed().toLongLong();
    }
    return result;
}

QByteArray setOf(int records)
{
    std::mt19937 random(1);
    return zestawBenchmarku(
        records, [&](int) { return typZKodu(qint16(random() % 3)); },
        [&](int) { return 1 + int(random() % 4); });
}

// Processor time of this thread, without the time spent waiting for the disk.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Round
{
    double generate = 0, baseline = 0, safeBaseline = 0, sealed = 0; // milliseconds
    double generateCpu = 0, baselineCpu = 0, safeBaselineCpu = 0;    // milliseconds
    qint64 generateRead = 0, baselineRead = 0, generateCalls = 0, baselineCalls = 0, page = 0;
};

void baseline(const QString& setName, const QList<qint64>& numbers, const QByteArray& page, bool safe)
{
    QFile set(setName);
    set.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    char record[rekord::size];
    for (qint64 n : numbers) {
        set.seek((n - 1) * rekord::size);
        set.read(record, rekord::size);
    }
    if (safe) {
        QSaveFile out(QStringLiteral("baseline.html"));
        out.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        out.write(page);
        out.commit();
    } else {
        QFile out(QStringLiteral("baseline.html"));
        out.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        out.write(page);
    }
}

// The sealed page from the same records, its key derived beforehand (that part is slow on purpose
// and not counted): read the records, build the page, write it as the generator does.
void sealedPage(const QString& setName, const QList<qint64>& numbers, const QByteArray& key,
                const strona::Pieczec& p)
{
    SetFile set;
    (void)set.open(setName, SetFile::Mode::ReadOnlyFallback);
    QList<rekord> records;
    for (qsizetype i = 0; i < numbers.size(); ++i)
        records.append(set.read(numbers[i]).value());
    (void)strona::zapisz(QStringLiteral("sealed.html"),
                         strona::zapieczetowanaKluczem(records, QStringLiteral(" 2700"), key, p));
}

Round round(BenchDialogs& dialogs, quint64 seed)
{
    Round r;
    BiezacyFolder folder(QDir::currentPath());
    FrmTest window(dialogs, folder);
    window.setRandom(losowanie::zrodlo(seed));
    if (!window.load())
        std::exit(1);
    window.findChild<QLineEdit*>(QStringLiteral("txtiloscpytan"))->setText(QStringLiteral("100"));
    QPushButton* generuj = window.findChild<QPushButton*>(QStringLiteral("cmdgeneruj"));

    QElapsedTimer timer;
    Io before = io();
    double cpu = cpuMs();
    timer.start();
    generuj->click();
    r.generate = timer.nsecsElapsed() / 1e6;
    r.generateCpu = cpuMs() - cpu;
    Io after = io();
    r.generateRead = after.rchar - before.rchar;
    r.generateCalls = after.syscr - before.syscr;
    r.page = QFileInfo(QStringLiteral("test.html")).size();

    QList<qint64> numbers;
    const QStringList drawn = window.findChild<QLabel*>(QStringLiteral("lblspr"))
                                  ->text()
                                  .mid(2)
                                  .split(QLatin1Char('-'), Qt::SkipEmptyParts);
    for (const QString& n : drawn)
        numbers << n.trimmed().toLongLong();
    if (numbers.size() != 100)
        std::exit(1);

    // The baseline: the same records read one by one, the page's size written in one piece.
    const QByteArray page(r.page, 'x');
    before = io();
    cpu = cpuMs();
    timer.restart();
    baseline(dialogs.set, numbers, page, false);
    r.baseline = timer.nsecsElapsed() / 1e6;
    r.baselineCpu = cpuMs() - cpu;
    after = io();
    r.baselineRead = after.rchar - before.rchar;
    r.baselineCalls = after.syscr - before.syscr;

    cpu = cpuMs();
    timer.restart();
    baseline(dialogs.set, numbers, page, true);
    r.safeBaseline = timer.nsecsElapsed() / 1e6;
    r.safeBaselineCpu = cpuMs() - cpu;

    static const strona::Pieczec seal = strona::Pieczec::nowa(true);
    static const QByteArray key = pieczec::klucz(QStringLiteral("kod123"), seal.sol, seal.iteracje);
    timer.restart();
    sealedPage(dialogs.set, numbers, key, seal);
    r.sealed = timer.nsecsElapsed() / 1e6;
    return r;
}

template <class T>
T median(QList<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    BenchDialogs dialogs;
    dialogs.set = dir.filePath(QStringLiteral("zestaw"));
    {
        QFile set(dialogs.set);
        if (!set.open(QIODevice::WriteOnly) || set.write(setOf(32767)) != qint64(32767) * rekord::size)
            return 1;
    }
    std::printf("set: 32767 records, %lld bytes\n", QFileInfo(dialogs.set).size());

    round(dialogs, 0); // warm-up
    QList<Round> results;
    for (int i = 1; i <= rounds; ++i)
        results << round(dialogs, quint64(i));
    auto med = [&results](auto field) {
        QList<double> values;
        for (const Round& r : results)
            values << double(field(r));
        return median(values);
    };

    std::printf("page: 100 questions, about %.0f bytes; %d rounds, medians; ms wall (ms processor)\n",
                med([](const Round& r) { return r.page; }), rounds);
    std::printf("generation, click to written page:         %7.3f (%7.3f)   %6.0f bytes read in %.0f reads\n",
                med([](const Round& r) { return r.generate; }),
                med([](const Round& r) { return r.generateCpu; }),
                med([](const Round& r) { return r.generateRead; }),
                med([](const Round& r) { return r.generateCalls; }));
    std::printf("baseline: read 100 records, write page:    %7.3f (%7.3f)   %6.0f bytes read in %.0f reads\n",
                med([](const Round& r) { return r.baseline; }),
                med([](const Round& r) { return r.baselineCpu; }),
                med([](const Round& r) { return r.baselineRead; }),
                med([](const Round& r) { return r.baselineCalls; }));
    std::printf("baseline with the write the page gets:     %7.3f (%7.3f)\n",
                med([](const Round& r) { return r.safeBaseline; }),
                med([](const Round& r) { return r.safeBaselineCpu; }));
    std::printf("sealed page, key derived beforehand:       %7.3f\n",
                med([](const Round& r) { return r.sealed; }));
    std::printf("ratios (median of rounds), target within 1.5x:\n");
    std::printf("  bytes read %.2fx\n",
                med([](const Round& r) { return double(r.generateRead) / r.baselineRead; }));
    std::printf("  time against the plain write %.2fx (processor %.2fx)\n",
                med([](const Round& r) { return r.generate / r.baseline; }),
                med([](const Round& r) { return r.generateCpu / r.baselineCpu; }));
    std::printf("  time against the synced write %.2fx (processor %.2fx)\n",
                med([](const Round& r) { return r.generate / r.safeBaseline; }),
                med([](const Round& r) { return r.generateCpu / r.safeBaselineCpu; }));
    std::printf("  sealed page against the synced write %.2fx\n",
                med([](const Round& r) { return r.sealed / r.safeBaseline; }));
    return 0;
}
