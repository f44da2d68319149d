// Separate sealed copies through the real generator window: 30 copies of a 40-question test from
// a set of 200, shuffled, against what they cannot do without: one key derivation per copy.
// Target: the whole at most 30 key derivations plus 1 s, in wall time. The keys are derived on
// every core, so it may beat the target by far; the processor time of the whole process is shown
// beside it, as a shared machine blurs the wall time.
//
//   bench_kopie [ROUNDS]        run by hand from a Release or RelWithDebInfo build

#include "benchdialogs.h"
#include "frmtest.h"
#include "pieczec.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

QByteArray setOf(int records)
{
    return zestawBenchmarku(
        records, [](int n) { return typZKodu(qint16(n % 3)); }, [](int n) { return 1 + n % 4; });
}

struct Pomiar
{
    double wall = 0, cpu = 0;
};

template <class F>
Pomiar zmierz(F&& f)
{
    QElapsedTimer timer;
    const double cpu = cpuMs();
    timer.start();
    f();
    return {timer.nsecsElapsed() / 1e6, cpuMs() - cpu};
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    BenchDialogs dialogs;
    dialogs.set = dir.filePath(QStringLiteral("zestaw"));
    QFile set(dialogs.set);
    if (!set.open(QIODevice::WriteOnly) || set.write(setOf(200)) != 200 * rekord::size)
        return 1;
    set.close();

    QList<Pomiar> copies, keys;
    for (int i = 0; i < rounds; ++i) {
        keys << zmierz([] { pieczec::klucz(pieczec::wydajKod(), QByteArray(16, 'x'), pieczec::iteracje); });
        BiezacyFolder folder(QDir::currentPath());
        FrmTest window(dialogs, folder);
        if (!window.load())
            return 1;
        window.findChild<QLineEdit*>(QStringLiteral("txtiloscpytan"))->setText(QStringLiteral("40"));
        for (const char* box : {"chkukryj", "chklosowo", "chkkopie"})
            window.findChild<QCheckBox*>(QLatin1String(box))->setChecked(true);
        copies << zmierz([&] { window.findChild<QPushButton*>(QStringLiteral("cmdgeneruj"))->click(); });
        if (!QFile::exists(QStringLiteral("test-30.html")) || !QFile::exists(QStringLiteral("kody.pdf")))
            return 1;
    }
    auto median = [](QList<Pomiar> v, double Pomiar::*field) {
        std::sort(v.begin(), v.end(),
                  [field](const Pomiar& a, const Pomiar& b) { return a.*field < b.*field; });
        return v[v.size() / 2].*field;
    };
    const double kdf = median(keys, &Pomiar::wall), all = median(copies, &Pomiar::wall);
    std::printf("%d rounds, medians; ms wall (ms processor)\n", rounds);
    std::printf("one key derivation (%d iterations): %9.1f (%9.1f)\n", pieczec::iteracje, kdf,
                median(keys, &Pomiar::cpu));
    std::printf("30 copies of 40 questions, kody.pdf: %9.1f (%9.1f)\n", all, median(copies, &Pomiar::cpu));
    const double kdfCpu = median(keys, &Pomiar::cpu), allCpu = median(copies, &Pomiar::cpu);
    std::printf(
        "target 30 x key + 1000 ms:           %9.1f             %s; processor beyond 30 keys %.1f ms\n",
        30 * kdf + 1000, all <= 30 * kdf + 1000 ? "met" : "NOT met", allCpu - 30 * kdfCpu);
    return 0;
}
