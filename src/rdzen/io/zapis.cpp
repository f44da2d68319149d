#include "zapis.h"

#ifdef Q_OS_WIN
#include "platforma.h"

#include <QRandomGenerator>
#else
#include <QSaveFile>
#endif

namespace io {

#ifdef Q_OS_WIN
// Windows cannot rename over a file held open, as a set is while its new version is written:
// the new version goes to a file beside it, which the platform then puts in its place.
Wynik<void> zapiszBezpiecznie(const QString& path, const std::function<Wynik<void>(QIODevice&)>& pisz)
{
    QFile out;
    for (int i = 0; i < 100 && !out.isOpen(); ++i) {
        out.setFileName(path + QStringLiteral(".%1").arg(QRandomGenerator::global()->generate(), 8, 16,
                                                         QLatin1Char('0')));
        out.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
    }
    if (!out.isOpen())
        return Blad{Blad::Rodzaj::Otwarcie, out.errorString()};
    Wynik<void> written = pisz(out);
    QString error;
    if (written && !platforma::zastap(out, path, error))
        written = Blad{Blad::Rodzaj::Zapis, error};
    if (!written)
        out.remove();
    return written;
}
#else

// QSaveFile writes to a file beside the target (unnamed on Linux, so a process killed midway
// leaves nothing behind), syncs it and renames it over the target. Unbuffered, so that a short
// write (disk full, size limit) fails the write itself instead of a flush inside commit(),
// which Qt 6.4 does not report.
Wynik<void> zapiszBezpiecznie(const QString& path, const std::function<Wynik<void>(QIODevice&)>& pisz)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Blad{Blad::Rodzaj::Otwarcie, out.errorString()};
    if (Wynik<void> written = pisz(out); !written)
        return written; // the temporary file goes with `out`
    if (!out.commit())
        return Blad{Blad::Rodzaj::Zapis, out.errorString()};
    return {};
}
#endif

Wynik<void> zapiszBezpiecznie(const QString& path, const QByteArray& bajty)
{
    return zapiszBezpiecznie(path, [&](QIODevice& out) { return zapiszCalosc(out, bajty); });
}

Wynik<void> zapiszCalosc(QIODevice& device, const QByteArray& bajty)
{
    if (device.write(bajty) != bajty.size())
        return Blad{Blad::Rodzaj::Zapis, device.errorString()};
    return {};
}

} // namespace io
