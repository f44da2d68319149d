#pragma once

#include "rekord.h"

#include <QFile>
#include <QString>

// The two operations that change a whole set: deleting one question (the file is rebuilt
// without it) and appending the records of another set.
namespace zestaw {

struct WynikUsuwania
{
    bool ok = false;
    QString error;
};

// Writes a new version of the set at `path` that holds records 1..count of `source` except
// record n, renumbered without gaps, and puts it in place by an atomic rename in the set's
// own folder. Records the source holds only in part, or not at all, are copied as the bytes
// present followed by zero bytes. On any failure the set at `path` is left as it was.
WynikUsuwania usunRekord(QFile& source, const QString& path, qint64 n, qint64 count);

// Writes all bytes of the open `source` as the file `path` the same safe way.
WynikUsuwania zapiszKopie(QFile& source, const QString& path);

struct WynikDolaczania
{
    qint64 appended = 0; // whole records that reached the set, also after a failure
    bool ok = false;
    QString error;
    rekord last; // the last record appended
};

// Appends the whole 1314-byte records of `other` (a trailing part is ignored) to `set`,
// after its record `count`. `other` may be the set itself: only the records it held
// before the append are taken.
WynikDolaczania dolaczZestaw(QFile& set, qint64 count, QFile& other);

} // namespace zestaw
