// The class server in a process of its own, so a test can kill it mid-save or limit its files.
// Arguments: the store's file, then "wznow" to continue its test. It prints "port pin" when it
// listens on 127.0.0.1. Lines on its input: "limit" stops its files from growing, "bez" lifts it,
// "pokaz" shows pupils their results; each answered "ok". "wiersze" prints the teacher's table,
// "pupil;state;points;maximum" for each pupil, joined by "|".
#include "serwerklasy.h"
#include "zestawklasy.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const auto args = app.arguments();
    auto m = Magazyn::otworz(args.value(1));
    if (!m)
        return 2;
    auto t =
        TestKlasowy::otworz(std::move(*m), {zestawKlasy(), {}, 3, 60, {}, {}}, args.value(2) == u"wznow");
    if (!t)
        return 3;
    QObject::connect(t->get(), &TestKlasowy::bladZapisu,
                     [](const Blad& b) { std::fprintf(stderr, "blad %s\n", qPrintable(b.szczegol)); });
    SerwerKlasy serwer(**t);
    const auto port = serwer.nasluchuj({QHostAddress::LocalHost}, 18080);
    if (!port)
        return 4;
    std::printf("%d %s\n", int(*port), qPrintable((*t)->pin()));
    std::fflush(stdout);
    std::signal(SIGXFSZ, SIG_IGN);
    QSocketNotifier wejscie(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&wejscie, &QSocketNotifier::activated, [&] {
        char linia[64] = {};
        if (read(STDIN_FILENO, linia, sizeof linia - 1) <= 0)
            return app.quit();
        if (qstrncmp(linia, "wiersze", 7) == 0) {
            QStringList w;
            for (const auto& r : (*t)->wiersze())
                w.append(u"%1;%2;%3;%4"_qs.arg(r.uczen, r.stan).arg(r.punkty).arg(r.maks));
            std::printf("%s\n", qPrintable(w.join(u'|')));
            return (void)std::fflush(stdout);
        }
        if (qstrncmp(linia, "pokaz", 5) == 0 && !(*t)->ustawPokaz(true))
            return;
        rlim_t granica = RLIM_INFINITY;
        if (qstrncmp(linia, "limit", 5) == 0)
            granica = rlim_t(std::max(QFileInfo(args[1]).size(), QFileInfo(args[1] + u"-wal"_qs).size()));
        const rlimit r{granica, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &r);
        std::printf("ok\n");
        std::fflush(stdout);
    });
    return app.exec();
}
