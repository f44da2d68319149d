// Any bytes as a set file, opened as the editor opens it, on real files: the count, every record and
// some past the end, appending another set or the set itself, and deleting record n, byte for byte.

#include "otwartyzestaw.h"

#include <QDataStream>
#include <QDir>
#include <QTemporaryDir>

#include <cassert>

namespace {

constexpr qint64 L = rekord::size;

QByteArray zawartosc(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void zapisz(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    assert(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
}

// Record n (from 1) as the bytes present, filled up with zero bytes.
QByteArray rekordZ(const QByteArray& file, qint64 n)
{
    return file.mid((n - 1) * L, L).leftJustified(L, '\0');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QDataStream in(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    quint8 flags = 0;
    quint32 split = 0;
    in >> flags >> split;
    const QByteArray rest = in.device()->readAll();
    QByteArray file = rest.left(split % (rest.size() + 1));
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zestaw")), inny = dir.filePath(QStringLiteral("inny"));
    zapisz(path, file);
    zapisz(inny, rest.mid(file.size()));

    // The count is the whole number nearest to length/1314, the even one of two equally near.
    const qint64 count = zestaw::liczbaRekordow(file.size()), twice = 2 * (file.size() - count * L);
    assert(twice >= -L && twice <= L && ((twice != L && twice != -L) || count % 2 == 0));
    OtwartyZestaw set;
    const OtwartyZestaw::WynikOtwarcia opened = set.otworz(path);
    if (count == 0 && !file.isEmpty()) { // too short to be a set: left alone
        assert(opened.stan == OtwartyZestaw::Stan::NieZestaw && zawartosc(path) == file);
        return 0;
    }
    file = file.isEmpty() ? rekord::pusty().encode() : file; // an empty set gets its first question
    assert(opened.ok && set.iloscrekordow() == qMax(count, 1) && zawartosc(path) == file);
    rekord r;
    for (qint32 n = 0; n <= count + 2; ++n)
        assert(set.czytaj(n, r).ok == (n > 0) && (n == 0 || r.encode() == rekordZ(file, n)));

    // Appending the whole records of another set, or of the set itself, after the counted ones.
    const QString other = flags & 1 ? path : inny;
    const QByteArray source = zawartosc(other);
    const qint64 base = set.iloscrekordow(), whole = source.size() / L;
    const zestaw::WynikDolaczania merged = set.dolacz(other);
    assert(merged.ok && merged.appended == whole && set.iloscrekordow() == base + whole);
    if (whole > 0) {
        assert(merged.last.encode() == rekordZ(source, whole));
        file = file.leftJustified((base + whole) * L, '\0')
                   .replace(base * L, whole * L, source.first(whole * L));
    }
    assert(zawartosc(path) == file && (flags & 1 || zawartosc(inny) == source));

    // Deleting record n keeps the other counted records, each whole; deleting the only one leaves
    // an empty question. Nothing is left beside the set.
    const qint64 total = set.iloscrekordow(), n = 1 + (flags >> 1) % total;
    QByteArray kept;
    for (qint64 i = 1; i <= total; ++i)
        kept += i == n ? QByteArray() : rekordZ(file, i);
    kept = kept.isEmpty() ? rekord::pusty().encode() : kept;
    assert(set.usun(qint32(n)).ok && zawartosc(path) == kept && set.iloscrekordow() == kept.size() / L);
    assert(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size() == 2);
    return 0;
}
