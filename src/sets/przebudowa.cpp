#include "przebudowa.h"

#include "setfile.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace zestaw {

namespace {

// Large copies go in chunks of whole records.
constexpr qint64 chunk = qint64(dlugoscrekordu) * 800;

// Copies [from, to) of source into out, reading zeros where the source has no bytes.
bool copyRange(QFile& source, qint64 from, qint64 to, QIODevice& out, QString& error)
{
    const qint64 available = std::min(to, std::max<qint64>(from, source.size()));
    if (from < available && !source.seek(from)) {
        error = source.errorString();
        return false;
    }
    QByteArray buffer;
    for (qint64 pos = from; pos < to;) {
        const qint64 step = std::min(chunk, to - pos);
        if (pos < available) {
            const qint64 want = std::min(step, available - pos);
            buffer.resize(want);
            const qint64 got = source.read(buffer.data(), want);
            if (got != want) {
                error = got < 0 ? source.errorString()
                                : QStringLiteral("plik zestawu skrócił się podczas kopiowania");
                return false;
            }
            if (out.write(buffer) != want) {
                error = out.errorString();
                return false;
            }
            pos += want;
        } else {
            const QByteArray zeros(step, '\0');
            if (out.write(zeros) != step) {
                error = out.errorString();
                return false;
            }
            pos += step;
        }
    }
    return true;
}

} // namespace

namespace {

// Writes a new file at `path` through a temporary file beside it: `fill` writes the content,
// which must come to `expected` bytes; the data is synced before an atomic rename puts it in
// place, so `path` holds either its old or its new content at every moment.
template <class Fill>
WynikUsuwania zastap(const QString& path, qint64 expected, Fill fill)
{
    WynikUsuwania result;
    const QFileInfo target(path);
    // A name of its own, created only if free: no file already in the folder (a stale
    // temporary file, or a set that happens to be called usun.tmp) is ever removed or reused.
    QFile out;
    QString tmpPath;
    for (int attempt = 0; attempt < 100 && !out.isOpen(); ++attempt) {
        tmpPath =
            target.dir().filePath(QStringLiteral(".usun-%1.tmp")
                                      .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        out.setFileName(tmpPath);
        if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered) &&
            !QFileInfo::exists(tmpPath))
            break;
    }
    if (!out.isOpen()) {
        result.error = out.errorString();
        return result;
    }
    auto fail = [&](const QString& error) {
        result.error = error;
        out.close();
        QFile::remove(tmpPath);
        return result;
    };
    QString error;
    if (!fill(out, error))
        return fail(error);
    if (::fsync(out.handle()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    if (out.size() != expected)
        return fail(QStringLiteral("nowa wersja zestawu ma złą długość"));
    out.close();
    if (target.exists())
        QFile::setPermissions(tmpPath, QFile::permissions(path));
    if (std::rename(QFile::encodeName(tmpPath).constData(), QFile::encodeName(path).constData()) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(tmpPath);
        result.error = why;
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace

WynikUsuwania usunRekord(QFile& source, const QString& path, qint64 n, qint64 count)
{
    const qint64 len = dlugoscrekordu;
    const qint64 expected = (count - (n >= 1 && n <= count ? 1 : 0)) * len;
    return zastap(path, expected, [&](QFile& out, QString& error) {
        return copyRange(source, 0, (std::min(n, count + 1) - 1) * len, out, error) &&
               copyRange(source, std::min(n, count) * len, count * len, out, error);
    });
}

WynikUsuwania zapiszKopie(QFile& source, const QString& path)
{
    const qint64 size = source.size();
    return zastap(path, size,
                  [&](QFile& out, QString& error) { return copyRange(source, 0, size, out, error); });
}

WynikDolaczania dolaczZestaw(QFile& set, qint64 count, QFile& other)
{
    WynikDolaczania result;
    const qint64 len = dlugoscrekordu;
    const qint64 records = pelneRekordy(other.size());
    // The set appended to itself after fewer records than it holds: the copy would overwrite
    // records it has yet to read, so it goes from the last piece to the first, as memmove does.
    struct stat a{}, b{};
    const bool backwards = count < records && ::fstat(set.handle(), &a) == 0 && ::fstat(other.handle(), &b) == 0
                           && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    const qint64 perChunk = chunk / len;
    const qint64 pieces = (records + perChunk - 1) / perChunk;
    QByteArray buffer;
    for (qint64 piece = 0; piece < pieces; ++piece) {
        const qint64 first = (backwards ? pieces - 1 - piece : piece) * perChunk;
        const qint64 take = std::min(perChunk, records - first);
        if (!other.seek(first * len)) {
            result.error = other.errorString();
            return result;
        }
        buffer.resize(take * len);
        if (other.read(buffer.data(), buffer.size()) != buffer.size()) {
            result.error = other.errorString();
            return result;
        }
        if (!set.seek((count + first) * len)) {
            result.error = set.errorString();
            return result;
        }
        const qint64 written = set.write(buffer);
        set.flush();
        if (written != buffer.size()) {
            // Whatever whole records did reach the file in order belong to the set from now on.
            if (!backwards) {
                const qint64 reached = std::max<qint64>(0, set.size() - (count + first) * len) / len;
                result.appended = first + std::min(reached, take);
                if (result.appended > 0)
                    czytaj(set, count + result.appended, result.last);
            }
            result.error = set.errorString();
            return result;
        }
        if (!backwards) {
            result.appended = first + take;
            result.last = rekord::decode(buffer.right(len));
        } else if (piece == 0) {
            result.last = rekord::decode(buffer.right(len));
        }
    }
    result.appended = records;
    result.ok = true;
    return result;
}

} // namespace zestaw
