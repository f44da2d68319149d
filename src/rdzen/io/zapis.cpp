#include "zapis.h"

#include <QSaveFile>

namespace io {

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
