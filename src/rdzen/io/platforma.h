#pragma once

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

} // namespace platforma
