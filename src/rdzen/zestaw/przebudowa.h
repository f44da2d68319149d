#pragma once

#include "rekord.h"
#include "wynik.h"

#include <QFile>
#include <QString>

// The two operations that change a whole set: deleting one question (the file is rebuilt
// without it) and appending the records of another set.
namespace zestaw {

// Writes a new version of the set at `path` that holds records 1..count of `source` except
// record n, renumbered without gaps, and puts it in place atomically. Records the source holds
// only in part, or not at all, are copied as the bytes present followed by zero bytes. On any
// failure, or if the process dies midway, the set at `path` is left as it was and nothing is
// left beside it.
Wynik<void> usunRekord(QFile& source, const QString& path, qint64 n, qint64 count);

// Writes all bytes of the open `source` as the file `path` the same safe way.
Wynik<void> zapiszKopie(QFile& source, const QString& path);

struct WynikDolaczania
{
    Wynik<void> wynik;
    qint64 appended = 0; // whole records that reached the set, also after a failure
};

// Appends the whole 1314-byte records of `other` (a trailing part is ignored) to `set`,
// after its record `count`. `other` may be the set itself: only the records it held
// before the append are taken.
WynikDolaczania dolaczZestaw(QFile& set, qint64 count, QFile& other);

} // namespace zestaw
