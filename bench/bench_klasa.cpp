// The class server under a class all at once: 200 pupils over loopback join, save 20 times each
// and hand in. The server runs in a child process of this program, so its memory is its own.
// Prints the 99th-percentile reply time, the server's peak memory, and checks the store after.
#include "serwerklasy.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int uczniow = 200, zapisow = 20, pytan = 10;

QList<Pytanie> zestaw()
{
    QList<Pytanie> z;
    for (int i = 0; i < 30; ++i) {
        Pytanie p;
        p.typ = i % 3 == 0 ? Pytanie::Typ::Opcja : i % 3 == 1 ? Pytanie::Typ::Wybor : Pytanie::Typ::Tekst;
        p.tresc = QStringLiteral("Pytanie %1").arg(i);
        p.odpowiedzi = {
            QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"), {}};
        p.znaczniki = {0, 1, 0, 0, 0};
        z.append(p);
    }
    return z;
}

int serwer(const QString& plik)
{
    auto m = Magazyn::otworz(plik);
    auto t = m ? TestKlasowy::otworz(std::move(*m), {zestaw(), {}, pytan, 60, {}, {}}, false)
               : ::Wynik<std::unique_ptr<TestKlasowy>>(m.error());
    if (!t)
        return 2;
    SerwerKlasy s(**t);
    const auto port = s.nasluchuj({QHostAddress::LocalHost}, 18180);
    if (!port)
        return 3;
    std::printf("%d %s\n", int(*port), qPrintable((*t)->pin()));
    std::fflush(stdout);
    return QCoreApplication::exec();
}

// One pupil over one kept-alive connection, each request sent when the last reply is whole.
struct Uczen : QObject
{
    QTcpSocket s;
    QByteArray bufor, token;
    QJsonArray pytania, ostatnie;
    int krok = 0; // 0 join, 1..zapisow saves, then the hand-in
    QElapsedTimer czas;
    QList<double>* czasy = nullptr;
    int* bledy = nullptr;
    std::function<void()> gotowe;
    QString pin, imie;

    void wyslij(const QByteArray& metoda, const QByteArray& sciezka, const QByteArray& tresc)
    {
        QByteArray z =
            metoda + ' ' + sciezka + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n";
        if (!token.isEmpty())
            z += "Authorization: Bearer " + token + "\r\n";
        z += "Content-Length: " + QByteArray::number(tresc.size()) + "\r\n\r\n" + tresc;
        czas.start();
        s.write(z);
    }
    void dalej()
    {
        if (krok == 0) {
            wyslij("POST", "/api/dolacz",
                   QJsonDocument(QJsonObject{{QStringLiteral("imie"), imie}, {QStringLiteral("pin"), pin}})
                       .toJson(QJsonDocument::Compact));
            return;
        }
        ostatnie = {};
        for (const auto& p : std::as_const(pytania)) {
            const auto typ = p[QStringLiteral("typ")].toString();
            ostatnie.append(typ == QStringLiteral("tekst")   ? QJsonValue(QStringLiteral("t%1").arg(krok))
                            : typ == QStringLiteral("opcja") ? QJsonValue(krok % 4)
                                                             : QJsonValue(QJsonArray{krok % 4}));
        }
        const auto tresc = QJsonDocument(QJsonObject{{QStringLiteral("odpowiedzi"), ostatnie}})
                               .toJson(QJsonDocument::Compact);
        wyslij(krok <= zapisow ? "PUT" : "POST", krok <= zapisow ? "/api/odpowiedzi" : "/api/oddaj", tresc);
    }
    void odczyt()
    {
        bufor += s.readAll();
        const auto koniec = bufor.indexOf("\r\n\r\n");
        if (koniec < 0)
            return;
        qsizetype dlugosc = 0;
        for (const auto& l : bufor.left(koniec).split('\n'))
            if (l.toLower().startsWith("content-length:"))
                dlugosc = l.mid(15).trimmed().toLongLong();
        if (bufor.size() < koniec + 4 + dlugosc)
            return;
        czasy->append(czas.nsecsElapsed() / 1e6);
        const auto status = bufor.mid(9, 3).toInt();
        const auto tresc = bufor.mid(koniec + 4, dlugosc);
        bufor.remove(0, koniec + 4 + dlugosc);
        const int oczekiwany = krok == 0 || krok > zapisow ? 200 : 204;
        if (status != oczekiwany) {
            ++*bledy;
            std::fprintf(stderr, "%s step %d: %d %s\n", qPrintable(imie), krok, status, tresc.constData());
        }
        if (krok == 0) {
            const auto j = QJsonDocument::fromJson(tresc).object();
            token = j[QStringLiteral("token")].toString().toLatin1();
            pytania = j[QStringLiteral("pytania")].toArray();
        }
        if (++krok > zapisow + 1)
            return gotowe();
        dalej();
    }
};

// The child's processor time so far, user and system, in seconds.
double czasProcesora(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    f.open(QIODevice::ReadOnly);
    const auto pola = f.readAll().split(')').value(1).split(' ');
    return (pola.value(12).toDouble() + pola.value(13).toDouble()) / 100.0;
}

long szczytPamieci(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    f.open(QIODevice::ReadOnly);
    for (const auto& l : f.readAll().split('\n'))
        if (l.startsWith("VmHWM:"))
            return l.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().value(1) == QStringLiteral("--serwer"))
        return serwer(app.arguments().value(2));
    QTemporaryDir dir;
    const auto plik = dir.filePath(QStringLiteral("bench.klasa.sqlite"));
    QProcess p;
    p.start(app.applicationFilePath(), {QStringLiteral("--serwer"), plik});
    if (!p.waitForReadyRead(10000))
        return 1;
    const auto start = QString::fromLatin1(p.readLine()).trimmed().split(u' ');
    const auto port = quint16(start.value(0).toInt());
    QList<double> czasy;
    int bledy = 0, gotowych = 0;
    std::vector<std::unique_ptr<Uczen>> klasa;
    QElapsedTimer calosc;
    calosc.start();
    for (int i = 0; i < uczniow; ++i) {
        auto u = std::make_unique<Uczen>();
        u->czasy = &czasy;
        u->bledy = &bledy;
        u->pin = start.value(1);
        u->imie = QStringLiteral("Uczeń %1").arg(i);
        u->gotowe = [&] {
            if (++gotowych == uczniow)
                app.quit();
        };
        auto* w = u.get();
        QObject::connect(&w->s, &QTcpSocket::readyRead, w, [w] { w->odczyt(); });
        QObject::connect(&w->s, &QTcpSocket::connected, w, [w] { w->dalej(); });
        QObject::connect(&w->s, &QTcpSocket::disconnected, w, [&, w] {
            if (w->krok <= zapisow + 1) {
                ++bledy;
                w->gotowe();
            }
        });
        w->s.connectToHost(QHostAddress::LocalHost, port);
        klasa.push_back(std::move(u));
    }
    app.exec();
    const double sekund = calosc.elapsed() / 1000.0;
    const long pamiec = szczytPamieci(p.processId());
    const double procesor = czasProcesora(p.processId());
    p.kill();
    p.waitForFinished();
    std::sort(czasy.begin(), czasy.end());
    const auto centyl = [&](double q) {
        return czasy.isEmpty() ? 0 : czasy[qsizetype(q * (czasy.size() - 1))];
    };
    // The store after the run: every pupil once, handed in, with the answers last sent.
    int zgodnych = 0, wierszy = 0;
    {
        auto m = Magazyn::otworz(plik);
        const auto uczniowie = (*m)->uczniowie(1);
        wierszy = uczniowie ? int(uczniowie->size()) : -1;
        for (const auto& u : klasa)
            for (const auto& z : uczniowie ? *uczniowie : QList<Magazyn::Uczen>())
                if (z.imie == u->imie && z.oddano.isValid() && !z.poCzasie &&
                    QJsonDocument::fromJson(z.odpowiedzi).array() == u->ostatnie)
                    ++zgodnych;
    }
    std::printf("%d pupils, %lld replies in %.1f s; reply time p50 %.1f ms, p99 %.1f ms, max %.1f ms\n",
                uczniow, qsizetype(czasy.size()), sekund, centyl(0.5), centyl(0.99), centyl(1.0));
    std::printf("server processor time %.2f s\n", procesor);
    std::printf("server peak memory %.1f MB; errors %d; store: %d rows, %d handed in with the last answers\n",
                pamiec / 1024.0, bledy, wierszy, zgodnych);
    return bledy || wierszy != uczniow || zgodnych != uczniow ? 1 : 0;
}
