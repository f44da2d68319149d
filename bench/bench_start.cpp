// The time from process start to the main menu on screen, against a bare Qt Widgets program
// showing one window with one button. Each is started afresh, and the median of the rounds kept.
//
//   bench_start [ROUNDS]        offscreen or under xvfb-run; scripts/startup.sh runs it

#include "biezacyfolder.h"
#include "frmmenu.h"
#include "qtdialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

static int child(bool bare)
{
    int argc = 1;
    char name[] = "bench_start";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QtDialogs dialogs;
    BiezacyFolder folder(QCoreApplication::applicationDirPath());
    // A window with any text in it pays for loading the fonts, which an empty one never does.
    std::unique_ptr<QWidget> window;
    if (bare)
        window = std::make_unique<QPushButton>(QStringLiteral("OK"));
    else
        window = std::make_unique<FrmMenu>(dialogs, folder);
    window->show();
    return QTest::qWaitForWindowExposed(window.get()) ? 0 : 1;
}

static double medianMs(const QString& self, const char* mode, int rounds)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer t;
        t.start();
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(self, {QString::fromLatin1(mode)});
        if (!process.waitForFinished(-1) || process.exitCode() != 0)
            return -1;
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

int main(int argc, char* argv[])
{
    if (argc > 1 && (std::strcmp(argv[1], "--menu") == 0 || std::strcmp(argv[1], "--bare") == 0))
        return child(std::strcmp(argv[1], "--bare") == 0);
    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 15;
    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    medianMs(self, "--menu", 2); // warm the disk cache for both
    const double bare = medianMs(self, "--bare", rounds), menu = medianMs(self, "--menu", rounds);
    std::printf("start-up to window shown: bare Qt window %.1f ms, main menu %.1f ms   ratio %.2f\n", bare,
                menu, menu / bare);
    return bare > 0 && menu > 0 ? 0 : 1;
}
