#include "przebudowa.h"

#include "platforma.h"
#include "setfile.h"
#include "zapis.h"

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
        } else {
            buffer.fill('\0', step);
        }
        if (out.write(buffer) != buffer.size()) {
            error = out.errorString();
            return false;
        }
        pos += buffer.size();
    }
    return true;
}

// Puts a new version of `path` in place, or leaves the old one when any write falls short.
template <class Fill>
WynikDawny zastap(const QString& path, qint64 expected, Fill fill)
{
    return WynikDawny::z(io::zapiszBezpiecznie(path, [&](QIODevice& out) -> Wynik<void> {
        QString error;
        if (!fill(out, error))
            return Blad{Blad::Rodzaj::Zapis, error};
        if (out.size() != expected)
            return Blad{Blad::Rodzaj::Zapis, QStringLiteral("nowa wersja zestawu ma złą długość")};
        return {};
    }));
}

} // namespace

WynikDawny usunRekord(QFile& source, const QString& path, qint64 n, qint64 count)
{
    const qint64 len = dlugoscrekordu;
    const qint64 expected = (count - (n >= 1 && n <= count ? 1 : 0)) * len;
    return zastap(path, expected, [&](QIODevice& out, QString& error) {
        return copyRange(source, 0, (std::min(n, count + 1) - 1) * len, out, error) &&
               copyRange(source, std::min(n, count) * len, count * len, out, error);
    });
}

WynikDawny zapiszKopie(QFile& source, const QString& path)
{
    const qint64 size = source.size();
    return zastap(path, size,
                  [&](QIODevice& out, QString& error) { return copyRange(source, 0, size, out, error); });
}

WynikDolaczania dolaczZestaw(QFile& set, qint64 count, QFile& other)
{
    WynikDolaczania result;
    const qint64 len = dlugoscrekordu;
    const qint64 records = pelneRekordy(other.size());
    // The set appended to itself after fewer records than it holds: the copy would overwrite
    // records it has yet to read, so it goes from the last piece to the first, as memmove does.
    const bool backwards =
        count < records && platforma::tozsamosc(set.handle()) == platforma::tozsamosc(other.handle());
    const qint64 perChunk = chunk / len;
    const qint64 pieces = (records + perChunk - 1) / perChunk;
    QByteArray buffer;
    for (qint64 piece = 0; piece < pieces; ++piece) {
        const qint64 first = (backwards ? pieces - 1 - piece : piece) * perChunk;
        const qint64 take = std::min(perChunk, records - first);
        buffer.resize(take * len);
        if (!other.seek(first * len) || other.read(buffer.data(), buffer.size()) != buffer.size()) {
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
        if (!backwards || piece == 0)
            result.last = rekord::decode(buffer.right(len));
        if (!backwards)
            result.appended = first + take;
    }
    result.appended = records;
    result.ok = true;
    return result;
}

} // namespace zestaw
