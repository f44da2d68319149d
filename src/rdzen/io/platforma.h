#pragma once

#include <QFile>
#include <QString>
#include <QtGlobal>

// The few calls the core needs of the operating system beyond Qt. A port changes this file only.
namespace platforma {

// Which file a handle or a path leads to; `ok` is false when it could not be told.
struct Tozsamosc
{
    bool ok = false;
    quint64 urzadzenie = 0, wezel = 0;

    bool operator==(const Tozsamosc& o) const
    {
        return ok && o.ok && urzadzenie == o.urzadzenie && wezel == o.wezel;
    }
};

Tozsamosc tozsamosc(int handle);
Tozsamosc tozsamosc(const QString& path);

// Opens `file`, its name set, as QFile::open does. On Windows it is shared for deletion as well,
// so that a new version can be renamed over it while it is open, as POSIX allows; the QFile then
// forgets its name, which the caller keeps.
bool otworz(QFile& file, QIODevice::OpenMode mode);

#ifdef Q_OS_WIN
// Syncs and closes `nowy` and puts it in the place of `cel`, which may be open if it was opened
// by otworz. False, with the reason in `blad`, when it could not.
bool zastap(QFile& nowy, const QString& cel, QString& blad);
#endif

} // namespace platforma
