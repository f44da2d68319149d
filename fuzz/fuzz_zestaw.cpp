// Any bytes as a set file: opening and counting it, reading every record and some past the
// end, appending a record, deleting one and appending another set, each checked byte for byte
// against what the operation must leave.

#include "common.h"

#include "przebudowa.h"
#include "rekord.h"
#include "setfile.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace {

constexpr qint64 L = rekord::size;

// Record n (from 1) as the bytes present, filled up with zero bytes.
QByteArray rekordZ(const QByteArray& file, qint64 n)
{
    QByteArray r = file.mid((n - 1) * L, L);
    r.append(L - r.size(), '\0');
    return r;
}

// The file after writing `bytes` at `pos`: a gap before it reads as zero bytes.
QByteArray poZapisie(QByteArray file, qint64 pos, const QByteArray& bytes)
{
    if (file.size() < pos)
        file.append(pos - file.size(), '\0');
    const qint64 end = pos + bytes.size();
    if (file.size() < end)
        file.resize(end);
    std::memcpy(file.data() + pos, bytes.constData(), size_t(bytes.size()));
    return file;
}

void sprawdzLiczenie(quint64 raw)
{
    const qint64 length = qint64(raw >> 1);
    const qint64 count = zestaw::liczbaRekordow(length);
    // The count is the whole number nearest to length/1314, the even one of two equally near.
    const __int128 rest = __int128(length) - __int128(count) * L;
    FUZZ_CHECK(rest >= -L / 2 && rest <= L / 2);
    if (rest == L / 2 || rest == -L / 2)
        FUZZ_CHECK(count % 2 == 0);
    FUZZ_CHECK(zestaw::pelneRekordy(length) == length / L);
    FUZZ_CHECK(zestaw::liczbaRekordow(-length) == 0 && zestaw::pelneRekordy(-length) == 0);
}

void wyczysc(const QDir& dir)
{
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        FUZZ_CHECK(QFile::remove(dir.filePath(name)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Wejscie in(data, size);
    const uint8_t flags = in.bajt();
    const bool setIsTmpName = flags & 1;  // the set itself is called usun.tmp
    const bool staleTmp = flags & 2;      // an old temporary file lies beside the set
    const bool mergeSelf = flags & 4;     // the set is appended to itself
    const int deleteDelta = ((flags >> 3) & 3) - 1; // the caller's count may differ from the file's
    const int mergeDelta = ((flags >> 5) & 3) - 1;
    const bool copyOverExisting = flags & 0x80; // the copy replaces a file that exists
    const uint8_t nSelector = in.bajt();
    const quint32 split = in.bajt() | (in.bajt() << 8) | (quint32(in.bajt()) << 16);
    sprawdzLiczenie(in.liczba64());
    const QByteArray rest = in.reszta();
    QByteArray content = rest.left(split % (rest.size() + 1));
    const QByteArray otherContent = rest.mid(content.size());

    const QDir& dir = katalogRoboczy();
    wyczysc(dir);
    const QString setName = setIsTmpName ? QStringLiteral("usun.tmp") : QStringLiteral("zestaw");
    const QString tmpName = setIsTmpName ? QStringLiteral("usun.tmp~") : QStringLiteral("usun.tmp");
    const QString path = dir.filePath(setName);
    zapiszPlik(path, content);

    // Open and count.
    SetFile set;
    FUZZ_CHECK_MSG(set.open(path), set.errorString());
    FUZZ_CHECK(set.length() == content.size());
    const qint64 count = set.count();
    FUZZ_CHECK(count == qint64(std::nearbyint(double(content.size()) / double(L))));

    // Every record, and a few past the end, read as the bytes present and zeros after them.
    rekord r;
    FUZZ_CHECK(!set.read(0, r) && !set.read(-1, r));
    for (qint64 n = 1; n <= count + 3; ++n) {
        FUZZ_CHECK_MSG(set.read(n, r), set.errorString());
        FUZZ_CHECK(r.encode() == rekordZ(content, n));
    }
    FUZZ_CHECK(zawartosc(path) == content);
    FUZZ_CHECK(set.isAtItsPath());

    // The open set written out whole as another file, through the same safe replacement.
    const QString copyPath = dir.filePath(QStringLiteral("kopia"));
    if (copyOverExisting)
        zapiszPlik(copyPath, otherContent);
    const zestaw::WynikUsuwania copied = zestaw::zapiszKopie(set.device(), copyPath);
    FUZZ_CHECK_MSG(copied.ok, copied.error);
    FUZZ_CHECK(zawartosc(copyPath) == content);

    // A new question goes after the last counted record.
    const rekord added = rekord::decode(otherContent.left(L));
    FUZZ_CHECK_MSG(set.write(count + 1, added), set.errorString());
    content = poZapisie(content, count * L, added.encode());
    FUZZ_CHECK_MSG(zawartosc(path) == content, roznica(zawartosc(path), content));
    FUZZ_CHECK(set.length() == content.size() && set.count() == count + 1);

    // Deleting record n of the first `total` records.
    if (staleTmp)
        zapiszPlik(dir.filePath(tmpName), QByteArrayLiteral("stary plik tymczasowy"));
    const qint64 total = std::max<qint64>(0, count + 1 + deleteDelta);
    const qint64 n = qint64(nSelector % (total + 3)) - 1;
    QByteArray kept;
    for (qint64 i = 1; i <= total; ++i) {
        if (i != n)
            kept += rekordZ(content, i);
    }
    const zestaw::WynikUsuwania deleted = zestaw::usunRekord(set.device(), path, n, total);
    const QByteArray afterDelete = zawartosc(path);
    if (deleted.ok) {
        FUZZ_CHECK_MSG(afterDelete == kept, roznica(afterDelete, kept));
        content = kept;
    } else {
        // Only a number below 1 that is no record at all may be refused; the set stays whole.
        FUZZ_CHECK_MSG(n < 0, deleted.error);
        FUZZ_CHECK(afterDelete == content);
    }
    // A file lying there under a temporary-looking name is someone's and keeps its bytes; no
    // temporary file of the replacement is left behind.
    if (staleTmp)
        FUZZ_CHECK(zawartosc(dir.filePath(tmpName)) == QByteArrayLiteral("stary plik tymczasowy"));
    FUZZ_CHECK(QDir(dir.path()).entryList({QStringLiteral(".usun-*")}, QDir::Files | QDir::Hidden).isEmpty());
    // The handle still holds the old file, which no longer has the set's name once replaced.
    FUZZ_CHECK(set.isAtItsPath() == !deleted.ok);
    set.close();

    // Appending another set, or the set itself, after the caller's count.
    FUZZ_CHECK_MSG(set.open(path), set.errorString());
    const qint64 base = std::max<qint64>(0, set.count() + mergeDelta);
    const QString otherPath = mergeSelf ? path : dir.filePath(QStringLiteral("inny"));
    if (!mergeSelf)
        zapiszPlik(otherPath, otherContent);
    const QByteArray source = zawartosc(otherPath);
    QFile other(otherPath);
    FUZZ_CHECK(other.open(QIODevice::ReadOnly));
    const qint64 whole = source.size() / L;
    const zestaw::WynikDolaczania merged = zestaw::dolaczZestaw(set.device(), base, other);
    FUZZ_CHECK_MSG(merged.ok, merged.error);
    FUZZ_CHECK(merged.appended == whole);
    if (whole > 0)
        FUZZ_CHECK(merged.last.encode() == rekordZ(source, whole));
    const QByteArray expected = whole > 0 ? poZapisie(content, base * L, source.left(whole * L)) : content;
    const QByteArray afterMerge = zawartosc(path);
    FUZZ_CHECK_MSG(afterMerge == expected, roznica(afterMerge, expected));
    if (!mergeSelf)
        FUZZ_CHECK(zawartosc(otherPath) == otherContent);
    return 0;
}
