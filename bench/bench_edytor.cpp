// The editor on the largest set against a tiny one: bytes read and written by one ">>" move
// (the kernel's count), the median move time on 32767 and on 10 records, and resident memory
// with the editor open on 32767 and on 1 record.
//
//   bench_edytor [MOVES]        run by hand (offscreen, or under xvfb-run)

#include "benchdialogs.h"
#include "frmwyb.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

qint64 procValue(const char* file, const QByteArray& key)
{
    QFile f(QString::fromLatin1(file));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').first().toLongLong();
    return -1;
}

void makeSet(const QString& path, int records)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    rekord r = rekord::pusty();
    for (int k = 1; k <= 5; ++k)
        ustawTekst(r.odp(k), QStringLiteral("odpowiedź %1").arg(k));
    QByteArray block;
    for (int n = 0; n < 1000; ++n)
        block += r.encode();
    for (int written = 0; written < records; written += 1000)
        f.write(block.left(std::min(1000, records - written) * rekord::size));
}

struct Moves
{
    double medianUs = 0;
    qint64 readPerMove = 0, writtenPerMove = 0;
    long rssKb = 0;
};

Moves measure(const QString& set, int moves)
{
    BenchDialogs dialogs;
    dialogs.set = set;
    BiezacyFolder folder(QFileInfo(set).absolutePath());
    FrmWyb editor(dialogs, folder);
    editor.load(false);
    editor.show();
    QCoreApplication::processEvents();
    auto* next = editor.findChild<QPushButton*>(QStringLiteral("cmddalej"));
    auto* back = editor.findChild<QPushButton*>(QStringLiteral("cmdwstecz"));
    // Start in the middle of a large set; a small one is walked back and forth.
    std::vector<double> times;
    const qint64 r0 = procValue("/proc/self/io", "rchar:"), w0 = procValue("/proc/self/io", "wchar:");
    QElapsedTimer t;
    for (int i = 0; i < moves; ++i) {
        QPushButton* button = (editor.sesja().iloscrekordow() < moves && (i / 9) % 2 == 1) ? back : next;
        t.start();
        button->click();
        times.push_back(t.nsecsElapsed() / 1e3);
    }
    const qint64 r1 = procValue("/proc/self/io", "rchar:"), w1 = procValue("/proc/self/io", "wchar:");
    std::sort(times.begin(), times.end());
    Moves m;
    m.medianUs = times[times.size() / 2];
    m.readPerMove = (r1 - r0) / moves;
    m.writtenPerMove = (w1 - w0) / moves;
    m.rssKb = procValue("/proc/self/status", "VmRSS:");
    return m;
}

} // namespace

// Resident memory of a fresh process with the editor open on a set, after a few moves.
long childRss(const QString& self, const QString& set)
{
    QProcess child;
    child.start(self, {QStringLiteral("--rss"), set});
    child.waitForFinished(-1);
    return child.readAllStandardOutput().trimmed().toLong();
}

int main(int argc, char* argv[])
{
    if (argc > 2 && std::strcmp(argv[1], "--rss") == 0) {
        QApplication app(argc, argv);
        const Moves m = measure(QString::fromLocal8Bit(argv[2]), 20);
        std::printf("%ld\n", m.rssKb);
        return 0;
    }

    const int moves = argc > 1 ? std::max(20, std::atoi(argv[1])) : 400;
    QApplication app(argc, argv);
    QTemporaryDir dir(QStringLiteral("./bench-edytor-XXXXXX"));
    const QString big = dir.filePath(QStringLiteral("duzy")), small = dir.filePath(QStringLiteral("maly")),
                  one = dir.filePath(QStringLiteral("jeden"));
    makeSet(big, 32767);
    makeSet(small, 10);
    makeSet(one, 1);

    // Warm both once so that neither pays for first use of fonts and styles.
    measure(small, 20);
    const Moves onSmall = measure(small, moves);
    const Moves onBig = measure(big, moves);
    std::printf("'>>' on 10 records   : median %7.1f us, per move read %lld B, written %lld B\n",
                onSmall.medianUs, onSmall.readPerMove, onSmall.writtenPerMove);
    std::printf("'>>' on 32767 records: median %7.1f us, per move read %lld B, written %lld B   ratio %.2f\n",
                onBig.medianUs, onBig.readPerMove, onBig.writtenPerMove, onBig.medianUs / onSmall.medianUs);

    const QString self = QCoreApplication::applicationFilePath();
    const long rssOne = childRss(self, one), rssBig = childRss(self, big);
    std::printf("resident memory, editor open: 1 record %ld KiB, 32767 records %ld KiB   ratio %.3f\n",
                rssOne, rssBig, double(rssBig) / rssOne);

    return 0;
}
