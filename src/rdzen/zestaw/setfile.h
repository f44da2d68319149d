#pragma once

#include "rekord.h"
#include "wynik.h"

#include <QFile>
#include <QIODevice>
#include <QString>

// A question set on disk: nothing but 1314-byte records, record n (from 1) at (n-1)*1314.
namespace zestaw {

constexpr int dlugoscrekordu = rekord::size;

// Records counted from a length in bytes: length/1314 rounded to the nearest whole number,
// halves to the even neighbour (0..657 -> 0, 658..1970 -> 1, 1971 -> 2, 3285 -> 2).
qint64 liczbaRekordow(qint64 length);

// Whole 1314-byte records in a length, the fraction dropped (used when appending a set).
qint64 pelneRekordy(qint64 length);

// Reads record n. A record the device holds only in part reads as the bytes present followed
// by zero bytes; one wholly past the end reads as 1314 zero bytes.
Wynik<rekord> czytaj(QIODevice& device, qint64 n);
// Writes record n; writing one past the last record appends.
Wynik<void> zapisz(QIODevice& device, qint64 n, const rekord& in);

} // namespace zestaw

// An open set file with record access. Opening creates a missing file empty.
class SetFile
{
public:
    enum class Mode { ReadWrite, ReadOnlyFallback };

    SetFile() = default;
    SetFile(const SetFile&) = delete;
    SetFile& operator=(const SetFile&) = delete;

    // ReadOnlyFallback opens an existing file read-only when it cannot be opened for writing.
    Wynik<void> open(const QString& name, Mode mode = Mode::ReadWrite);
    void close();
    bool isOpen() const { return file_.isOpen(); }

    qint64 length() const { return file_.isOpen() ? file_.size() : 0; }
    qint64 count() const { return zestaw::liczbaRekordow(length()); }
    // False when the file's name no longer leads to the file held open: it was deleted,
    // renamed or replaced by another program while open.
    bool isAtItsPath() const;

    Wynik<rekord> read(qint64 n) { return zestaw::czytaj(file_, n); }
    Wynik<void> write(qint64 n, const rekord& in) { return zestaw::zapisz(file_, n, in); }

    QString fileName() const { return file_.fileName(); }
    QFile& device() { return file_; }

private:
    QFile file_;
};
