// Any bytes as a set file, opened as the editor opens it, on real files: the count, every record and
// some past the end, appending another set or the set itself, and deleting record n, byte for byte.

#include "otwartyzestaw.h"

#include <QDataStream>
#include <QDir>
#include <QTemporaryDir>

#include <cassert>

constexpr qint64 L = rekord::size;

static QByteArray zawartosc(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QDataStream in(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    quint64 flags = 0, split = 0;
    in >> flags >> split;
    const QByteArray rest = in.device()->readAll();
    QByteArray file = rest.left(qsizetype(split % quint64(rest.size() + 1)));
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zestaw")), inny = dir.filePath(QStringLiteral("inny"));
    for (const auto& [name, bytes] : {std::pair(path, file), std::pair(inny, rest.mid(file.size()))}) {
        QFile f(name);
        assert(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
    }

    const qint64 count = zestaw::liczbaRekordow(file.size()); // its rounding is tst_sets' table
    OtwartyZestaw set;
    const Wynik<void> opened = set.otworz(path);
    if (count == 0 && !file.isEmpty()) { // too short to be a set: left alone
        assert(!opened && opened.error().rodzaj == Blad::Rodzaj::NieZestaw && zawartosc(path) == file);
        return 0;
    }
    file = file.isEmpty() ? rekord::pusty().encode() : file; // an empty set gets its first question
    assert(opened && set.iloscrekordow() == qMax(count, 1) && zawartosc(path) == file);
    for (qint32 n = 1; n <= count + 2; ++n) // the bytes present, then zero bytes
        assert(set.czytaj(n) && set.czytaj(n)->encode() == file.mid((n - 1) * L, L).leftJustified(L, '\0'));

    // Appending the whole records of another set, or of the set itself, after the counted ones.
    const QString other = flags & 1 ? path : inny;
    const QByteArray source = zawartosc(other);
    const qint64 base = set.iloscrekordow(), whole = source.size() / L;
    assert(set.dolacz(other) && set.iloscrekordow() == base + whole);
    if (whole > 0)
        file = file.leftJustified(base * L, '\0').replace(base * L, whole * L, source.first(whole * L));
    assert(zawartosc(path) == file && (flags & 1 || zawartosc(inny) == source));

    // Deleting record n keeps the other counted records, each whole; deleting the only one leaves
    // an empty question. Nothing is left beside the set.
    const qint64 total = set.iloscrekordow(), n = 1 + qint64(flags / 2 % quint64(total));
    const QByteArray kept = total == 1 ? rekord::pusty().encode()
                                       : file.leftJustified(total * L, '\0', true).remove((n - 1) * L, L);
    assert(set.usun(qint32(n)) && zawartosc(path) == kept && set.iloscrekordow() == kept.size() / L);
    assert(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size() == 2);
    return 0;
}
